#include "toolkit/VxAni.h"
#include "toolkit/VxGIF.h"
#include "toolkit/VxShellUtils.h"
#include "toolkit/VxTypes.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QtEndian>
#include <QtTest/QTest>

#include "GuiApp.h"

#include <gtest/gtest.h>

namespace {

QByteArray Hex(const char *hex)
{
    return QByteArray::fromHex(hex);
}

QByteArray Chunk(const char *id, const QByteArray &data)
{
    QByteArray out(id, 4);
    out.resize(8);
    qToLittleEndian<uint32_t>(uint32_t(data.size()), out.data() + 4);
    out += data;
    if (data.size() & 1)
        out.append('\0');
    return out;
}

// The information header of a 2 x 1 image (height doubled for the mask) at Bits.
QByteArray DibHeader(int bits, int used = 0)
{
    QByteArray h = Hex("28000000" "02000000" "02000000" "0100") + char(bits) + QByteArray(5, '\0');
    h += QByteArray(12, '\0');
    h += char(used) + QByteArray(7, '\0');
    return h;
}

// An icon (type 1) or cursor (type 2) file holding one 2 x 1 one-bit image: white, black.
QByteArray IconFile(int type, int hotX, int hotY)
{
    const QByteArray image = DibHeader(1) + Hex("00000000 ffffff00") + Hex("80000000") + Hex("00000000");
    QByteArray file = Hex("0000") + char(type) + Hex("00 0100" "02 01 02 00") + char(hotX) + '\0' + char(hotY) + '\0';
    file.resize(file.size() + 8);
    qToLittleEndian<uint32_t>(uint32_t(image.size()), file.data() + 14);
    qToLittleEndian<uint32_t>(22, file.data() + 18);
    return file + image;
}

QByteArray Anih(uint32_t frames, uint32_t rate, uint32_t flags)
{
    QByteArray h(36, '\0');
    qToLittleEndian<uint32_t>(36, h.data());
    qToLittleEndian<uint32_t>(frames, h.data() + 4);
    qToLittleEndian<uint32_t>(rate, h.data() + 28);
    qToLittleEndian<uint32_t>(flags, h.data() + 32);
    return Chunk("anih", h);
}

QByteArray Words(std::initializer_list<uint32_t> values)
{
    QByteArray out;
    for (uint32_t v : values) {
        char b[4];
        qToLittleEndian<uint32_t>(v, b);
        out.append(b, 4);
    }
    return out;
}

QByteArray Riff(const QByteArray &body)
{
    return Chunk("RIFF", "ACON" + body);
}

// A walking cursor: a cursor and an icon, played cursor, icon, cursor.
QByteArray Walker(const QByteArray &rate = Words({6, 0, 12}), const QByteArray &seq = Words({0, 1, 0}))
{
    return Riff(Chunk("LIST", "INFO" + Chunk("INAM", QByteArray("Walk", 5)) + Chunk("IART", QByteArray("Me", 3)))
                + Anih(2, 3, 1) + Chunk("rate", rate) + Chunk("seq ", seq)
                + Chunk("LIST", "fram" + Chunk("icon", IconFile(2, 0, 1)) + Chunk("icon", IconFile(1, 0, 0))));
}

QString LoadError(const QByteArray &file)
{
    TVxAni ani;
    try {
        ani.LoadFromData(file);
    } catch (const EVxException &e) {
        return e.Message();
    }
    return QStringLiteral("ok");
}

} // namespace

TEST(VxAni, ReadsAHandMadeCursorAndWritesItBack)
{
    TVxAni ani;
    ani.LoadFromData(Walker());
    EXPECT_EQ(ani.Title(), QStringLiteral("Walk"));
    EXPECT_EQ(ani.Author(), QStringLiteral("Me"));
    EXPECT_EQ(ani.IconCount(), 2);
    ASSERT_EQ(ani.FrameCount(), 3);
    EXPECT_EQ(ani.OriginalColors(), 2);
    struct
    {
        bool isIcon;
        QPoint hotSpot;
        uint32_t rate;
        int interval;
    } steps[] = {{false, {0, 1}, 6, 100}, {true, {1, 0}, 0, 100}, {false, {0, 1}, 12, 200}};
    for (int i = 0; i < 3; ++i) {
        const TVxIconFrame frame = ani.Frame(i);
        EXPECT_EQ(frame.IsIcon, steps[i].isIcon) << i;
        EXPECT_EQ(frame.HotSpot, steps[i].hotSpot) << i;
        EXPECT_EQ(frame.Rate, steps[i].rate) << i;
        ani.SetIndex(i);
        EXPECT_EQ(ani.StepInterval(), steps[i].interval) << i;
        EXPECT_EQ(frame.Icon.pixel(0, 0), 0xFFFFFFFFu);
        EXPECT_EQ(frame.Icon.pixel(1, 0), 0xFF000000u);
    }
    const QByteArray saved = ani.SaveToData();
    EXPECT_EQ(saved, Walker());
    TVxAni back;
    back.LoadFromData(saved);
    EXPECT_EQ(back.Frame(0).HotSpot, QPoint(0, 1));
    // Without seq the icons play in list order, one step each, at the header's rate.
    TVxAni plain;
    plain.LoadFromData(Riff(Anih(2, 3, 1) + Chunk("LIST", "fram" + Chunk("icon", IconFile(1, 0, 0)) + Chunk("icon", IconFile(2, 1, 0)))));
    EXPECT_EQ(plain.FrameCount(), 2);
    EXPECT_EQ(plain.Frame(1).HotSpot, QPoint(1, 0));
    EXPECT_EQ(plain.Frame(1).Rate, 3u);
    EXPECT_EQ(plain.StepInterval(), 50);
}

TEST(VxAni, DamagedCursorsRaiseStreamReadError)
{
    const QString error = QStringLiteral("Stream read error");
    struct
    {
        QByteArray file;
        QString expected;
    } cases[] = {
        {Walker(), QStringLiteral("ok")},
        {Hex("52494646"), error},
        {Chunk("RIFF", "WAVE"), error},
        {Riff(Anih(2, 3, 0) + Chunk("LIST", "fram" + Chunk("icon", IconFile(1, 0, 0)))), error}, // no icon flag
        {Riff(Anih(0, 3, 1) + Chunk("LIST", "fram" + Chunk("icon", IconFile(1, 0, 0)))), error}, // no frames
        {Riff(Anih(1, 3, 1)), error},                                                           // no icons
        {Riff(Anih(1, 3, 1) + Chunk("LIST", "fram" + Chunk("icon", Hex("0000010001")))), error}, // unreadable icon
        {Walker(Words({6, 0, 12}), Words({0, 2, 0})), error},                                   // seq out of range
        {Walker(Words({6, 0}), Words({0, 1, 0})), error},                                       // short rate
        {Walker().left(100), error},                                                            // cut off
    };
    for (const auto &c : cases)
        EXPECT_EQ(LoadError(c.file), c.expected) << c.file.toHex().left(80).constData();
    TVxAni empty;
    EXPECT_THROW(empty.SaveToData(), EInvalidGraphicOperation);
    EXPECT_THROW(empty.SetWidth(3), EInvalidGraphicOperation);
}

TEST(VxAni, CursorsOfMoreStepsOrPixelsThanAnyRealOneAreRefused)
{
    EnsureApp();
    QImage large(1024, 1024, QImage::Format_ARGB32);
    large.fill(0);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(large.save(&buffer, "PNG"));
    QByteArray largeIcon = Hex("0000 0100 0100" "00 00 00 00" "0100 2000") + QByteArray(8, '\0');
    qToLittleEndian<uint32_t>(uint32_t(png.size()), largeIcon.data() + 14);
    qToLittleEndian<uint32_t>(22, largeIcon.data() + 18);
    largeIcon += png;
    const auto steps = [](int count, const QByteArray &icon) {
        return Riff(Anih(1, 3, 1) + Chunk("seq ", QByteArray(4 * count, '\0')) + Chunk("LIST", "fram" + Chunk("icon", icon)));
    };
    const QString error = QStringLiteral("Stream read error");
    struct
    {
        const char *name;
        QByteArray file;
        QString expected;
    } cases[] = {
        {"65536 steps", steps(65536, IconFile(1, 0, 0)), QStringLiteral("ok")},
        {"65537 steps", steps(65537, IconFile(1, 0, 0)), error},
        {"64 steps of a megapixel", steps(64, largeIcon), QStringLiteral("ok")},
        {"65 steps of a megapixel", steps(65, largeIcon), error},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LoadError(c.file), c.expected) << c.name;
}

TEST(VxAni, TimerStepsThroughTheSequence)
{
    EnsureApp();
    TVxAni ani;
    ani.LoadFromData(Walker(Words({1, 1, 1})));
    QList<int> seen;
    ani.OnChange = [&] { seen.append(ani.Index()); };
    ani.SetAnimated(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return seen.size() >= 4; }, 5000));
    ani.SetAnimated(false);
    EXPECT_EQ(seen.mid(0, 4), (QList<int>{1, 2, 0, 1}));
    // A GIF made from it has one frame per step.
    TVxGIFImage gif;
    gif.Assign(ani);
    EXPECT_EQ(gif.Count(), 3);
    EXPECT_EQ(gif.Frame(0).AnimateInterval(), 16);
}

TEST(VxShellUtils, IconImagesOfEveryDepthWithTheirMask)
{
    struct
    {
        QByteArray image;
        QList<QRgb> expected;
    } cases[] = {
        {DibHeader(1) + Hex("00000000 ffffff00") + Hex("40000000") + Hex("80000000"), {0x00000000, 0xFFFFFFFF}},
        {DibHeader(4) + Hex("0000ff00 ff000000") + QByteArray(14 * 4, '\0') + Hex("10000000") + Hex("00000000"),
         {0xFF0000FF, 0xFFFF0000}},
        {DibHeader(8, 2) + Hex("0000ff00 00ff0000") + Hex("01000000") + Hex("40000000"), {0xFF00FF00, 0x00000000}},
        {DibHeader(24) + Hex("010203 040506 0000") + Hex("00000000"), {0xFF030201, 0xFF060504}},
        {DibHeader(32) + Hex("10203080 00000000") + Hex("c0000000"), {0x80302010, 0x00000000}},
        {DibHeader(24) + Hex("0102"), {}}, // cut short
    };
    for (const auto &c : cases) {
        const QImage image = DIBToIconImage(c.image);
        QList<QRgb> pixels;
        for (int x = 0; x < image.width(); ++x)
            pixels.append(image.pixel(x, 0));
        EXPECT_EQ(pixels, c.expected) << c.image.toHex().constData();
    }
}

TEST(VxShellUtils, PngIconImagesNoLargerThanAnIconIsAllowed)
{
    EnsureApp();
    struct
    {
        QSize size;
        int expectedWidth;
    } cases[] = {{{1024, 1}, 1024}, {{1, 1024}, 1}, {{1025, 1}, 0}, {{1, 1025}, 0}};
    for (const auto &c : cases) {
        QImage picture(c.size, QImage::Format_ARGB32);
        picture.fill(0);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(picture.save(&buffer, "PNG"));
        EXPECT_EQ(DIBToIconImage(png).width(), c.expectedWidth) << c.size.width() << "x" << c.size.height();
    }
}

TEST(VxShellUtils, EntryChoiceAndSmallRules)
{
    QList<TIconDirEntry> entries(3);
    entries[0].ColorCount = 16;
    entries[1].ColorCount = 0;
    entries[2].ColorCount = 2;
    struct
    {
        uint16_t display;
        int expected;
    } cases[] = {{2, 2}, {16, 0}, {256, 0}, {1, 1}, {0, 1}};
    for (const auto &c : cases)
        EXPECT_EQ(ChooseIconEntry(entries, c.display), c.expected) << c.display;
    EXPECT_EQ(BitsToScanlineBytes(33), 8);
    EXPECT_EQ(PaletteEntriesForBits(24), 0);
    EXPECT_GE(ShellLibraryVersion(), 0x00050000u);
    SetAnimationEnabled(true);
    EXPECT_FALSE(AnimationEnabled());
    TIconDirectory directory;
    QByteArray lying = IconFile(1, 0, 0);
    lying[18] = char(0x7F); // image offset past the end
    EXPECT_FALSE(ReadIconDirectory(lying, directory));
}

TEST(VxShellUtils, OurIconsReadBackInQt)
{
    EnsureApp();
    ASSERT_TRUE(QImageReader::supportedImageFormats().contains("ico"));
    QImage icon(16, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            icon.setPixel(x, y, (x + y) % 3 ? qRgba(x * 16, y * 16, 200, 255) : 0);
    const QByteArray file = IconToIconFile(icon);
    const QImage qt = QImage::fromData(file, "ICO").convertToFormat(QImage::Format_ARGB32);
    const QImage ours = IconFromIconFile(file);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(qt.pixel(x, y), icon.pixel(x, y));
            EXPECT_EQ(ours.pixel(x, y), icon.pixel(x, y));
        }
}

TEST(VxShellUtils, TextDrawingEndsWithEllipsisAndLeavesTheTextAlone)
{
    EnsureApp();
    const QString text = QStringLiteral("A rather long caption for a narrow button");
    auto draw = [&](uint32_t flags) {
        QImage image(60, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QRect rect(0, 0, 60, 20);
        DrawTextOnCanvas(painter, text, rect, flags);
        return image;
    };
    EXPECT_EQ(draw(DT_SINGLELINE | DT_END_ELLIPSIS), draw(DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING));
    QImage measure(1, 1, QImage::Format_RGB32);
    QPainter painter(&measure);
    QRect rect(0, 0, 60, 20);
    DrawTextOnCanvas(painter, text, rect, DT_SINGLELINE | DT_END_ELLIPSIS | DT_CALCRECT);
    EXPECT_LE(rect.width(), 60);
    EXPECT_GT(rect.width(), 0);
    EXPECT_EQ(text, QStringLiteral("A rather long caption for a narrow button"));
}

TEST(VxAni, AddedIconsKeepTheirRatesThroughSaving)
{
    EnsureApp();
    const struct
    {
        QByteArray file; // what the icons are added to; empty for a new cursor
        QList<uint32_t> added;
        QList<uint32_t> expected;
    } cases[] = {
        {{}, {0, 9, 0}, {0, 9, 0}},
        {Riff(Anih(2, 3, 1) + Chunk("LIST", "fram" + Chunk("icon", IconFile(2, 0, 1)))), {9}, {3, 9}},
    };
    for (const auto &c : cases) {
        TVxAni ani;
        if (!c.file.isEmpty())
            ani.LoadFromData(c.file);
        QImage image(2, 2, QImage::Format_ARGB32);
        image.fill(Qt::red);
        for (uint32_t rate : c.added)
            ani.AddIcon(TVxIconFrame{image, false, QPoint(1, 1), rate, {}});
        TVxAni again;
        again.LoadFromData(ani.SaveToData());
        QList<uint32_t> rates;
        for (int i = 0; i < again.FrameCount(); ++i)
            rates.append(again.Frame(i).Rate);
        EXPECT_EQ(rates, c.expected);
    }
}

TEST(VxAni, SavedStepsAlwaysReadBack)
{
    EnsureApp();
    const struct
    {
        QList<uint32_t> rates, sequence;
        QString expected; // the rates read back, or the error of saving
    } cases[] = {
        {{7}, {0, 1, 0}, QStringLiteral("7 3 3")},
        {{7, 8}, {}, QStringLiteral("7 8")},
        {{}, {0, 2}, QStringLiteral("Invalid image")},
    };
    for (const auto &c : cases) {
        TVxAni ani;
        ani.LoadFromData(Walker());
        ani.SetRates(c.rates);
        ani.SetSequence(c.sequence);
        QString got;
        try {
            TVxAni again;
            again.LoadFromData(ani.SaveToData());
            for (int i = 0; i < again.FrameCount(); ++i)
                got += (i ? QStringLiteral(" ") : QString()) + QString::number(again.Frame(i).Rate);
        } catch (const EVxException &e) {
            got = e.Message();
        }
        EXPECT_EQ(got, c.expected) << c.rates.size() << ' ' << c.sequence.size();
    }
}

TEST(VxAni, CyrillicTitleAndAuthorAreWrittenInTheEightBitCodePage)
{
    EnsureApp();
    TVxAni ani;
    ani.LoadFromData(Walker());
    ani.SetTitle(QStringLiteral("Бег"));
    ani.SetAuthor(QStringLiteral("Ёж"));
    const QByteArray file = ani.SaveToData();
    EXPECT_TRUE(file.contains(Chunk("INAM", Hex("c1e5e300")) + Chunk("IART", Hex("a8e600"))));
    TVxAni again;
    again.LoadFromData(file);
    EXPECT_EQ(again.Title(), QStringLiteral("Бег"));
    EXPECT_EQ(again.Author(), QStringLiteral("Ёж"));
}

TEST(VxAni, GifFramesTakeTheStepRatesAsIntervals)
{
    EnsureApp();
    TVxAni ani;
    ani.LoadFromData(Walker(Words({0, 6, 0x80000000u})));
    TVxGIFImage gif;
    gif.Assign(ani);
    QList<int> intervals;
    for (int i = 0; i < gif.Count(); ++i)
        intervals.append(gif.Frame(i).AnimateInterval());
    EXPECT_EQ(intervals, (QList<int>{100, 100, 65535}));
}
