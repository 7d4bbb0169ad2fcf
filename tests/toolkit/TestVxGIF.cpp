#include "toolkit/VxGIF.h"
#include "toolkit/VxTypes.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeData>
#include <QPainter>
#include <QPalette>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "GuiApp.h"

#include <gtest/gtest.h>

namespace {

QByteArray Hex(const char *hex)
{
    return QByteArray::fromHex(hex);
}

// Header, logical screen 2x2, a black/white global table.
const QByteArray Gif2x2 = Hex("474946383761" "0200020080" "0000" "000000ffffff"
                              "2c000000000200020000" "02034402 0500" "3b");

QList<int> Indices(const QImage &image)
{
    QList<int> out;
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8);
    for (int y = 0; y < indexed.height(); ++y)
        for (int x = 0; x < indexed.width(); ++x)
            out.append(indexed.pixelIndex(x, y));
    return out;
}

QString ReadError(const QByteArray &file)
{
    TVxGIFImage gif;
    try {
        gif.LoadFromData(file);
    } catch (const EVxException &e) {
        return e.Message();
    }
    return gif.Corrupted() ? QStringLiteral("corrupted") : QStringLiteral("ok");
}

} // namespace

TEST(VxGIF, WritesTwoByTwoBlackAndWhiteIn36Bytes)
{
    QImage image(2, 2, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.setPixel(0, 0, 0);
    image.setPixel(1, 0, 1);
    image.setPixel(0, 1, 1);
    image.setPixel(1, 1, 0);
    TVxGIFImage gif;
    gif.AddFrame(image);
    const QByteArray file = gif.SaveToData();
    EXPECT_EQ(file.size(), 36);
    EXPECT_EQ(file.toHex(), Gif2x2.toHex());
}

TEST(VxGIF, OnlyPlainFilesAreLoaded)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("two.gif")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Gif2x2);
    file.close();
    struct
    {
        QString path;
        bool loaded;
        int frames;
    } cases[] = {
        {file.fileName(), true, 1},
        {dir.filePath(QStringLiteral("none.gif")), false, 0},
        {dir.path(), false, 0},
        {QStringLiteral("/dev/null"), false, 0}, // a device: /dev/zero would never end
    };
    for (const auto &c : cases) {
        TVxGIFImage gif;
        EXPECT_EQ(gif.LoadFromFile(c.path), c.loaded) << c.path.toStdString();
        EXPECT_EQ(gif.Count(), c.frames) << c.path.toStdString();
    }
}

TEST(VxLZW, InterlacedRowsAreStoredInPassOrder)
{
    // One pixel a row, its value the row number.
    const int height = 10;
    QByteArray pixels(4 * height, '\0');
    for (int row = 0; row < height; ++row)
        pixels[4 * (height - 1 - row)] = char(row);
    QByteArray stream;
    LZWEncode(stream, {1, height, 8}, true, {}, reinterpret_cast<const uint8_t *>(pixels.constData()));
    QByteArray plain(4 * height, '\0');
    bool corrupted = false;
    LZWDecode(stream, {1, height, 8}, false, {}, corrupted, reinterpret_cast<uint8_t *>(plain.data()), 8, false);
    QList<int> order;
    for (int row = 0; row < height; ++row)
        order.append(plain[4 * (height - 1 - row)]);
    EXPECT_EQ(order, (QList<int>{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}));
    QByteArray back(4 * height, '\0');
    LZWDecode(stream, {1, height, 8}, true, {}, corrupted, reinterpret_cast<uint8_t *>(back.data()), 8, false);
    EXPECT_EQ(back, pixels);
    EXPECT_FALSE(corrupted);
}

TEST(VxLZW, FiveZeroPixelsUseTheStringPlusFirstPixelCode)
{
    const QByteArray stream = Hex("0202845d00");
    QByteArray zeros(4, '\0');
    QByteArray encoded;
    LZWEncode(encoded, {5, 1, 1}, false, {}, reinterpret_cast<const uint8_t *>(zeros.constData()));
    EXPECT_EQ(encoded.toHex(), stream.toHex());
    QByteArray pixels(4, '\xAA');
    pixels.fill('\0');
    bool corrupted = false;
    LZWDecode(stream, {5, 1, 8}, false, {}, corrupted, reinterpret_cast<uint8_t *>(pixels.data()), 1, false);
    EXPECT_EQ(pixels, QByteArray(4, '\0'));
    EXPECT_FALSE(corrupted);
}

TEST(VxLZW, RandomPixelsSurviveEncodingAtEveryDepth)
{
    QRandomGenerator random(17);
    for (int bitCount : {1, 4, 8})
        for (bool interlaced : {false, true})
            for (int size : {1, 7, 97}) {
                const int width = size, height = size + 3;
                QByteArray pixels(LZWRowBytes(width, bitCount) * height, '\0');
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x) {
                        // Runs as well as noise, so strings grow long enough to fill the table.
                        const int value = (x / 3 + (random.bounded(4) == 0 ? random.bounded(256) : 0)) % (1 << bitCount);
                        uint8_t *row = reinterpret_cast<uint8_t *>(pixels.data()) + y * LZWRowBytes(width, bitCount);
                        if (bitCount == 1)
                            row[x / 8] |= uint8_t(value << (7 - x % 8));
                        else if (bitCount == 4)
                            row[x / 2] |= uint8_t(value << ((x & 1) ? 0 : 4));
                        else
                            row[x] = uint8_t(value);
                    }
                QByteArray stream;
                LZWEncode(stream, {width, height, bitCount}, interlaced, {}, reinterpret_cast<const uint8_t *>(pixels.constData()));
                EXPECT_EQ(stream[0], char(bitCount == 1 ? 2 : bitCount));
                QByteArray back(pixels.size(), '\0');
                bool corrupted = false;
                LZWDecode(stream, {width, height, bitCount}, interlaced, {}, corrupted, reinterpret_cast<uint8_t *>(back.data()), bitCount, false);
                EXPECT_EQ(back, pixels) << bitCount << " " << interlaced << " " << size;
            }
}

TEST(VxGIF, RandomImagesOfEveryDepthRoundTripThroughOurReaderAndQts)
{
    EnsureApp();
    ASSERT_TRUE(QImageReader::supportedImageFormats().contains("gif"));
    QRandomGenerator random(5);
    for (int bits = 1; bits <= 8; ++bits) {
        const int colours = 1 << bits;
        QImage image(31 + bits, 17, bits == 1 ? QImage::Format_Mono : QImage::Format_Indexed8);
        QList<QRgb> table;
        for (int i = 0; i < colours; ++i)
            table.append(qRgb(i, 255 - i, (i * 37) & 0xFF));
        image.setColorTable(table);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, random.bounded(colours));
        TVxGIFImage gif;
        gif.AddFrame(image);
        const QByteArray file = gif.SaveToData();
        TVxGIFImage back;
        back.LoadFromData(file);
        EXPECT_EQ(Colours(back.Frame(0).Bitmap()), Colours(image)) << bits;
        EXPECT_EQ(back.SaveToData(), file) << bits;
        EXPECT_EQ(Colours(QImage::fromData(file, "GIF")), Colours(image)) << bits;
    }
    // A true-colour picture of few colours keeps them exactly through the popularity palette.
    QImage rgb(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            rgb.setPixel(x, y, qRgb(x * 16, y * 16, 99));
    TVxGIFImage gif;
    gif.AddFrame(rgb);
    EXPECT_EQ(Colours(QImage::fromData(gif.SaveToData(), "GIF")), Colours(rgb));
}

TEST(VxGIF, ReadsExtensionsAndWritesUnchangedFileBackByteForByte)
{
    const QByteArray file = Hex("474946383961" "0200020080" "0000" "000000ffffff"
                                "21ff0b4e45545343415045322e300301409c00" // loop 40000
                                "21fe0568656c6c6f00"                      // "hello"
                                "21f90409050001 00"                       // transparent 1, 50 ms, restore background
                                "2c000000000200020000" "020344020500"
                                "21f90400020000 00"
                                "2c000000000200020040" "020344020500"
                                "21fe036e6f7400" "3b");
    TVxGIFImage gif;
    gif.LoadFromData(file);
    ASSERT_EQ(gif.Count(), 2);
    EXPECT_TRUE(gif.Looping());
    EXPECT_EQ(gif.RepeatCount(), 30000);
    EXPECT_EQ(gif.Frame(0).Comment(), QStringList{QStringLiteral("hello")});
    EXPECT_EQ(gif.Frame(0).TransparentColor(), 0xFFFFFFu);
    EXPECT_EQ(gif.Frame(0).AnimateInterval(), 50);
    EXPECT_EQ(gif.Frame(0).DisposalMethod(), dmRestoreBackground);
    EXPECT_EQ(gif.Frame(1).AnimateInterval(), 20);
    EXPECT_TRUE(gif.Frame(1).Interlaced());
    EXPECT_EQ(gif.Comment(), QStringList{QStringLiteral("not")});
    QByteArray expected = file;
    expected.replace(Hex("409c"), Hex("3075")); // the count kept is the bounded one
    EXPECT_EQ(gif.SaveToData().toHex(), expected.toHex());
    // A plain-text extension is read and dropped with whatever came before it.
    TVxGIFImage text;
    text.LoadFromData(Hex("474946383961" "0200020080" "0000" "000000ffffff"
                          "21f90409050001 00" "2101 0c 0000000002000200 01010000 01 41 00"
                          "2c000000000200020000" "020344020500" "3b"));
    ASSERT_EQ(text.Count(), 1);
    EXPECT_EQ(text.Frame(0).TransparentColor(), clNone);
}

TEST(VxGIF, TransparentEntryIsMadeUniqueByItsBlue)
{
    struct
    {
        const char *table;
        uint32_t expected;
    } cases[] = {
        {"000000" "000000" "000001" "050505", 0x020000}, // blue 0 steps upwards past the clash
        {"090909" "090909" "000000" "000000", 0x080909}, // otherwise downwards
        {"ffffff" "000000" "ffffff" "000000", 0x010000}, // the transparent entry is entry 1 (black)
    };
    for (const auto &c : cases) {
        TVxGIFImage gif;
        gif.LoadFromData(Hex("474946383961" "0100010081" "0000") + Hex(c.table)
                         + Hex("21f904010000010 0" "2c000000000100010000" "02024c0100" "3b"));
        EXPECT_EQ(gif.Frame(0).TransparentColor(), c.expected) << c.table;
    }
}

TEST(VxGIF, DamagedFilesGiveTheirErrorOrACorruptedFrame)
{
    struct
    {
        QByteArray file;
        QString expected;
    } cases[] = {
        {Hex("474946383961"), QStringLiteral("Stream read error")},
        {Hex("474946383861") + Gif2x2.mid(6), QStringLiteral("Unknown GIF version")},
        {Hex("584946383761") + Gif2x2.mid(6), QStringLiteral("Unknown GIF version")},
        {Gif2x2.left(19) + Hex("21990100") + Gif2x2.mid(19), QStringLiteral("Unrecognized extension block: 99")},
        {Gif2x2.left(19) + Hex("55") + Gif2x2.mid(19), QStringLiteral("Stream read error")},
        {Gif2x2.left(19) + Hex("0000") + Gif2x2.mid(19), QStringLiteral("ok")},
        {Gif2x2.left(35), QStringLiteral("ok")},                      // no trailer
        {Gif2x2.left(35) + Hex("55"), QStringLiteral("ok")},          // stray byte after the image
        {Gif2x2.left(32), QStringLiteral("corrupted")},               // sub-block cut short
        {Gif2x2.left(29) + Hex("020348a000 00 3b"), QStringLiteral("ok")},       // no leading clear
        {Gif2x2.left(29) + Hex("020104 00 3b"), QStringLiteral("corrupted")},     // data end before the last row
        {Gif2x2.left(29) + Hex("02012c 00 3b"), QStringLiteral("corrupted")}, // end code right after clear
        {Gif2x2.left(29) + Hex("0c0100 00 3b"), QStringLiteral("corrupted")}, // code size 12
        {Gif2x2.left(29) + Hex("02027f0f 00 3b"), QStringLiteral("corrupted")}, // code above the next free one
        {Hex("474946383761" "ffffffff0000 00" "2c00000000ffffffff00" "020344020500 3b"), QStringLiteral("Stream read error")},
        {Gif2x2.left(19) + Gif2x2.mid(19, 16).repeated(65536) + Hex("3b"), QStringLiteral("ok")},
        {Gif2x2.left(19) + Gif2x2.mid(19, 16).repeated(65537) + Hex("3b"), QStringLiteral("Stream read error")}, // frames
        // A comment of 1,048,575 one-byte sub-blocks fills the count of extension blocks with its own
        // record; one more does not fit.
        {Gif2x2.left(19) + Hex("21fe") + Hex("0141").repeated(1048575) + Hex("00") + Gif2x2.mid(19), QStringLiteral("ok")},
        {Gif2x2.left(19) + Hex("21fe") + Hex("0141").repeated(1048576) + Hex("00") + Gif2x2.mid(19), QStringLiteral("Stream read error")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ReadError(c.file), c.expected) << c.file.toHex().constData();
}

TEST(VxGIF, CutOffFrameIsWrittenBackWellFormed)
{
    TVxGIFImage gif;
    gif.LoadFromData(Gif2x2.left(32));
    EXPECT_TRUE(gif.Corrupted());
    EXPECT_EQ(gif.SaveToData().toHex(), (Gif2x2.left(29) + Hex("02014400" "3b")).toHex());

    // A comment whose first block is cut off before its first byte holds no text: none is
    // written, so that the written file reads back to itself.
    TVxGIFImage comment;
    comment.LoadFromData(Gif2x2.chopped(1) + Hex("21fe2c"));
    EXPECT_TRUE(comment.Comment().isEmpty());
    EXPECT_EQ(comment.SaveToData().toHex(), Gif2x2.toHex());

    // A frame of no height on a screen of none holds no picture and is not written.
    TVxGIFImage flat;
    flat.LoadFromData(Hex("474946383761" "0200000000 0000" "2c000000000200020000" "02034402 0500"
                          "2c000000000200000000" "02034402 0500" "3b"));
    EXPECT_EQ(flat.Count(), 2);
    EXPECT_THROW(flat.SaveToData(), EInvalidGraphicOperation);
    // Shown, it is nothing, as a picture of no size is.
    flat.SetFrameIndex(1);
    EXPECT_EQ(flat.Width(), 0);
    QImage canvas(2, 2, QImage::Format_RGB32);
    QPainter painter(&canvas);
    EXPECT_NO_THROW(flat.Draw(painter, canvas.rect()));
}

TEST(VxGIF, FrameWithoutColourTableIsGrey)
{
    TVxGIFImage gif;
    gif.LoadFromData(Hex("474946383761" "0200020000" "0000" "2c000000000200020000" "020344020500" "3b"));
    const QImage &bitmap = gif.Frame(0).Bitmap();
    EXPECT_EQ(Colours(bitmap), (QList<QRgb>{0xFF000000, 0xFF555555, 0xFF555555, 0xFF000000}));
    // Given to another image, the frame still has no table of its own to write.
    TVxGIFImage copy;
    copy.Assign(gif.Frame(0));
    TVxGIFImage again;
    again.LoadFromData(copy.SaveToData());
    EXPECT_EQ(Colours(again.Frame(0).Bitmap()), Colours(bitmap));
}

TEST(VxGIF, ClipboardCarriesTheFileAndTheBitmap)
{
    EnsureApp();
    TVxGIFImage gif;
    gif.LoadFromData(Gif2x2);
    QMimeData mime;
    gif.SaveToClipboardFormat(mime);
    ASSERT_TRUE(mime.hasFormat(CF_VXGIF));
    EXPECT_TRUE(mime.hasImage());
    TVxGIFImage back;
    back.LoadFromClipboardFormat(mime);
    EXPECT_EQ(back.SaveToData(), Gif2x2);
    EXPECT_EQ(Indices(back.Frame(0).Bitmap()), (QList<int>{0, 1, 1, 0}));
}

TEST(VxGIF, SystemTransparentColourFindsItsTableEntry)
{
    EnsureApp();
    constexpr TColor ButtonFace = 0x8000000F; // follows the palette's button colour
    QImage image(2, 1, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), QGuiApplication::palette().color(QPalette::Button).rgb()});
    image.setPixel(0, 0, 0);
    image.setPixel(1, 0, 1);
    TVxGIFImage gif;
    gif.AddFrame(image);
    gif.Frame(0).SetTransparentColor(ButtonFace);
    TVxGIFImage again;
    again.LoadFromData(gif.SaveToData());
    EXPECT_EQ(RgbFromColor(again.Frame(0).TransparentColor()), QGuiApplication::palette().color(QPalette::Button).rgb());
}

TEST(VxGIF, NewBitmapOfALoadedFrameIsWhatIsWritten)
{
    EnsureApp();
    QImage image(3, 1, QImage::Format_Indexed8);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 0)});
    image.setPixel(0, 0, 1);
    image.setPixel(1, 0, 0);
    image.setPixel(2, 0, 1);
    TVxGIFImage gif;
    gif.LoadFromData(Gif2x2);
    gif.Frame(0).SetBitmap(image);
    TVxGIFImage again;
    again.LoadFromData(gif.SaveToData());
    EXPECT_EQ(Colours(again.Frame(0).Bitmap()), Colours(image));
}

TEST(VxGIF, CyrillicCommentsAreWrittenInTheEightBitCodePage)
{
    EnsureApp();
    const QStringList text{QStringLiteral("Аккорд Ля"), QStringLiteral("ёЁ")};
    TVxGIFImage gif;
    gif.LoadFromData(Gif2x2);
    gif.SetComment(text);
    gif.Frame(0).SetComment(text);
    const QByteArray file = gif.SaveToData();
    EXPECT_TRUE(file.contains(Hex("09c0eaeaeef0e420cbff")));
    TVxGIFImage again;
    again.LoadFromData(file);
    EXPECT_EQ(again.Comment(), text);
    EXPECT_EQ(again.Frame(0).Comment(), text);
}

TEST(VxGIF, OwnFrameAssignedToTheImageStaysWhole)
{
    EnsureApp();
    const QByteArray file = Hex("474946383961" "0200020080" "0000" "000000ffffff"
                                "2c000000000200020000" "020344020500"
                                "21fe036e6f7400"
                                "2c000000000200020000" "02034c020500" "3b");
    TVxGIFImage gif;
    gif.LoadFromData(file);
    ASSERT_EQ(gif.Count(), 2);
    const QList<QRgb> second = Colours(gif.Frame(1).Bitmap());
    gif.Frame(1).Assign(gif.Frame(1));
    gif.Assign(gif.Frame(1));
    ASSERT_EQ(gif.Count(), 1);
    EXPECT_EQ(Colours(gif.Frame(0).Bitmap()), second);
    EXPECT_EQ(gif.Frame(0).Comment(), QStringList{QStringLiteral("not")});
    TVxGIFImage again;
    again.LoadFromData(gif.SaveToData());
    EXPECT_EQ(Colours(again.Frame(0).Bitmap()), second);
}

TEST(VxGIF, TwoColourFrameIsDrawnWithoutItsOwnTransparentColour)
{
    EnsureApp();
    const QRgb red = qRgb(255, 0, 0), white = qRgb(255, 255, 255), green = qRgb(0, 255, 0);
    struct
    {
        const char *table;
        const char *transparent;
        QList<QRgb> expected;
    } cases[] = {
        {"ff0000" "000000", "01", {red, green}},
        {"000000" "ffffff", "00", {green, white}},
    };
    for (const auto &c : cases) {
        TVxGIFImage gif;
        gif.LoadFromData(Hex("474946383961" "0200010080" "0000") + Hex(c.table) + Hex("21f904010000")
                         + Hex(c.transparent) + Hex("00" "2c000000000200010000" "0202440a00" "3b"));
        QImage canvas(2, 1, QImage::Format_RGB32);
        canvas.fill(green);
        QPainter painter(&canvas);
        gif.Draw(painter, canvas.rect());
        painter.end();
        EXPECT_EQ(Colours(canvas), c.expected) << c.table;
    }
}

TEST(VxGIF, DelaysLongerThanTheIntervalHoldsAreWrittenBackAsRead)
{
    struct
    {
        const char *delay;
        int interval; // set before writing; -1 leaves the one read
        const char *written;
    } cases[] = {
        {"581b", -1, "581b"}, // 70 s
        {"581b", 500, "3200"}, // a new interval is written
    };
    for (const auto &c : cases) {
        TVxGIFImage gif;
        gif.LoadFromData(Hex("474946383961" "0200020080" "0000" "000000ffffff" "21f90400") + Hex(c.delay)
                         + Hex("0000" "2c000000000200020000" "020344020500" "3b"));
        if (c.interval >= 0)
            gif.Frame(0).SetAnimateInterval(uint16_t(c.interval));
        EXPECT_TRUE(gif.SaveToData().contains(Hex("21f90400") + Hex(c.written) + Hex("0000"))) << c.delay;
    }
}
