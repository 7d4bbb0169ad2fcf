#include "toolkit/VxGraphics.h"

#include "GuiApp.h"

#include <gtest/gtest.h>

#include <memory>

TEST(VxGraphics, ComponentReferenceFollowsFreeNotification)
{
    QObject *field = nullptr;
    QObject owner;
    auto first = std::make_unique<QObject>();
    auto second = std::make_unique<QObject>();
    EXPECT_TRUE(SwapComponentReference(&owner, first.get(), field));
    EXPECT_FALSE(SwapComponentReference(&owner, first.get(), field));
    EXPECT_FALSE(SwapComponentReference<QObject>(nullptr, second.get(), field));
    EXPECT_TRUE(SwapComponentReference(&owner, second.get(), field));
    first.reset(); // the old reference no longer touches the field
    EXPECT_EQ(field, second.get());
    second.reset();
    EXPECT_EQ(field, nullptr);
}

TEST(VxGraphics, ImageListReferenceMovesChangeLink)
{
    TCustomImageList *field = nullptr; // lives as long as the owner, as a member would
    QObject owner;
    TCustomImageList a, b;
    int changes = 0;
    TChangeLink link;
    link.OnChange = [&] { ++changes; };
    EXPECT_TRUE(SwapImageListReference(&owner, &a, field, &link));
    a.Change();
    EXPECT_TRUE(SwapImageListReference(&owner, &b, field, &link));
    a.Change();
    b.Change();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(field, &b);
}

#include "toolkit/VxTypes.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

namespace {

// One bottom-up 24-bit row of the given colours.
TDib Row(const QList<QRgb> &colours)
{
    TDib dib;
    dib.Width = int(colours.size());
    dib.Height = 1;
    dib.BitCount = 24;
    for (QRgb c : colours) {
        dib.Pixels.append(char(qBlue(c)));
        dib.Pixels.append(char(qGreen(c)));
        dib.Pixels.append(char(qRed(c)));
    }
    dib.Pixels.append(QByteArray(BmpRowBytes(dib.Width, 24) - dib.Pixels.size(), '\0'));
    return dib;
}

QList<int> Indices(const TDib &dib)
{
    QList<int> out;
    for (int x = 0; x < dib.Width; ++x)
        out.append(uint8_t(dib.Pixels[x]));
    return out;
}

} // namespace

TEST(VxGraphics, BmpAtEveryDepthReadsBackInQt)
{
    EnsureApp();
    QImage image(5, 3, QImage::Format_RGB32);
    const QList<QRgb> &vga = DefaultPalette16();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, y, vga[(x * 3 + y * 5) % 16]);
    QImage mono = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            mono.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    struct
    {
        TPixelFormat format;
        const QImage &source;
        int bitCount;
    } cases[] = {{pf1bit, mono, 1}, {pf4bit, image, 4}, {pf8bit, image, 8}, {pf24bit, image, 24}};
    for (const auto &c : cases) {
        const QByteArray bmp = BitmapToMemoryStream(c.source, c.format, cmPopularity);
        EXPECT_EQ(uint8_t(bmp[28]), c.bitCount);
        EXPECT_EQ(Colours(QImage::fromData(bmp, "BMP")), Colours(c.source)) << c.bitCount;
        EXPECT_EQ(Colours(ImageFromDib(BmpToDib(bmp))), Colours(c.source)) << c.bitCount;
    }
}

TEST(VxGraphics, FourBitBmpHasTheDefaultPaletteAndLayout)
{
    QImage image(1, 1, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 0));
    const QByteArray bmp = BitmapToMemoryStream(image, pf4bit, cmPopularity);
    EXPECT_EQ(bmp.toHex(), QByteArray("424d7a00000000000000" "76000000" "28000000" "01000000" "01000000" "0100" "0400"
                                      "00000000" "04000000" "00000000" "00000000" "10000000" "00000000"
                                      "00000000" "00008000" "00800000" "00808000" "80000000" "80008000" "80800000" "c0c0c000"
                                      "80808000" "0000ff00" "00ff0000" "00ffff00" "ff000000" "ff00ff00" "ffff0000" "ffffff00"
                                      "b0000000"));
}

TEST(VxGraphics, FormatAndColourCountRules)
{
    struct
    {
        int colours;
        TPixelFormat format;
    } cases[] = {{2, pf1bit}, {3, pf4bit}, {16, pf4bit}, {17, pf8bit}, {256, pf8bit}, {257, pf24bit}};
    for (const auto &c : cases)
        EXPECT_EQ(PixelFormatOfColors(c.colours), c.format) << c.colours;
    EXPECT_EQ(ColorsOfFormat(pf1bit), 2);
    EXPECT_EQ(ColorsOfFormat(pf4bit), 16);
    EXPECT_EQ(ColorsOfFormat(pf8bit), 256);
    EXPECT_EQ(ColorsOfFormat(pf24bit), 0);
    EXPECT_THROW(BitmapToMemoryStream(QImage(), pf8bit, cmPopularity), EInvalidGraphic);
    EXPECT_THROW(BitmapToMemoryStream(QImage(1, 1, QImage::Format_RGB32), pf16bit, cmPopularity), EVxException);
}

TEST(VxGraphics, ColourReductionMethodsOnOneRow)
{
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255);
    struct
    {
        TColorMappingMethod method;
        QList<QRgb> row;
        QList<int> indices;
        int used;
        QList<QRgb> palette; // leading entries
    } cases[] = {
        {cmPopularity, {blue, red, red}, {1, 0, 0}, 0, {red, blue, qRgb(128, 128, 128)}},
        {cmMedianCut, {red, red, red}, {0, 0, 0}, 1, {qRgb(255, 15, 15), 0}},
        {cmMedianCut, {red, blue, red}, {1, 0, 1}, 2, {qRgb(15, 15, 255), qRgb(255, 15, 15)}},
        {cmPalette784, {qRgb(128, 36, 170), qRgb(255, 255, 255)}, {102, 223}, 224, {}},
        {cmPalette666, {qRgb(51, 102, 255), qRgb(60, 60, 60)}, {53, 43}, 216, {}},
        {cmChannelRamps, {qRgb(40, 80, 120), qRgb(40, 80, 120), qRgb(40, 80, 120)}, {10, 84, 158}, 0, {}},
        {cmGrayscale, {red, qRgb(255, 255, 255)}, {76, 255}, 0, {qRgb(0, 0, 0), qRgb(1, 1, 1)}},
    };
    for (const auto &c : cases) {
        TDib dib = Row(c.row);
        ReduceColors(dib, c.method);
        EXPECT_EQ(dib.BitCount, 8);
        EXPECT_EQ(Indices(dib), c.indices) << c.method;
        EXPECT_EQ(dib.ClrUsed, c.used) << c.method;
        EXPECT_EQ(dib.Palette.mid(0, c.palette.size()), c.palette) << c.method;
    }
}

TEST(VxGraphics, PopularityDropsPrecisionUntilTheColoursFit)
{
    QList<QRgb> colours;
    for (int i = 0; i < 4096; ++i)
        colours.append(qRgb(i & 0xFF, (i >> 8) * 16, (i * 7) & 0xFF));
    TDib dib = Row(colours);
    ReduceColors(dib, cmPopularity);
    ASSERT_EQ(dib.Palette.size(), 256);
    // Blue loses its lowest bit first.
    for (QRgb c : dib.Palette.mid(0, 255))
        EXPECT_EQ(qBlue(c) & 1, 0);
}

TEST(VxGraphics, TransparentDrawingLeavesTheKeyColourOut)
{
    QImage bitmap(2, 1, QImage::Format_RGB32);
    bitmap.setPixel(0, 0, qRgb(255, 0, 0));
    bitmap.setPixel(1, 0, qRgb(0, 255, 0));
    struct
    {
        TColor key;
        QList<QRgb> expected;
    } cases[] = {
        {0x0000FF, {qRgb(255, 255, 255), qRgb(0, 255, 0)}},
        {clDefault, {qRgb(255, 255, 255), qRgb(0, 255, 0)}},
        {clNone, {qRgb(255, 0, 0), qRgb(0, 255, 0)}},
    };
    for (const auto &c : cases) {
        QImage canvas(4, 1, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        StretchBitmapTransparent(painter, bitmap, c.key, 0, 0, 4, 1, 0, 0, 0, 0);
        painter.end();
        EXPECT_EQ(Colours(canvas), (QList<QRgb>{c.expected[0], c.expected[0], c.expected[1], c.expected[1]}));
    }
}

TEST(VxGraphics, SystemColourKeyIsThePalettesColour)
{
    EnsureApp();
    constexpr TColor ButtonFace = 0x8000000F; // follows the palette's button colour
    const QRgb face = QGuiApplication::palette().color(QPalette::Button).rgb();
    QImage bitmap(2, 1, QImage::Format_RGB32);
    bitmap.setPixel(0, 0, face);
    bitmap.setPixel(1, 0, qRgb(0, 255, 0));
    QImage canvas(2, 1, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    StretchBitmapTransparent(painter, bitmap, ButtonFace, 0, 0, 2, 1, 0, 0, 0, 0);
    painter.end();
    EXPECT_EQ(Colours(canvas), (QList<QRgb>{qRgb(0, 0, 0), qRgb(0, 255, 0)}));
}
