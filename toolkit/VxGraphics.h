#pragma once
// Bitmap utilities shared by the toolkit's components: keeping a component reference and its
// free notification in step, transparent drawing with a key colour, and .bmp images in memory at
// a chosen depth with colour reduction.
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QRect>

#include <cstdint>
#include <functional>

class QPainter;

// Colours as the class library keeps them: 0x00BBGGRR, with two special values.
using TColor = uint32_t;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;

inline TColor ColorFromRgb(QRgb rgb) { return TColor(qRed(rgb) | (qGreen(rgb) << 8) | (qBlue(rgb) << 16)); }
// System colours (0x80000000 | index) are the application palette's.
QRgb RgbFromColor(TColor color);

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

enum TColorMappingMethod { cmPopularity, cmMedianCut, cmPalette784, cmPalette666, cmChannelRamps, cmGrayscale };

// The image list a component shows its pictures from; change links hear of every change.
class TChangeLink
{
public:
    std::function<void()> OnChange;
};

class TCustomImageList : public QObject
{
public:
    using QObject::QObject;
    ~TCustomImageList() override;
    QList<QPixmap> Images;
    void RegisterChanges(TChangeLink *link);
    void UnRegisterChanges(TChangeLink *link);
    // Tells every registered link that the pictures changed; within an update, once at its end.
    void Change();
    // Updates nest; the change is told when the outermost one ends.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return FUpdateCount > 0; }

private:
    void NotifyLinks();
    QList<TChangeLink *> FLinks;
    int FUpdateCount = 0;
};

// Points Field at NewValue and keeps Owner told when the referenced component goes away (the
// field then becomes nullptr). True when the reference changed. Field must live as long as Owner.
template <class T>
bool SwapComponentReference(QObject *owner, T *newValue, T *&field)
{
    if (newValue == field || !owner)
        return false;
    if (QObject *old = field)
        QObject::disconnect(old, &QObject::destroyed, owner, nullptr);
    field = newValue;
    if (newValue)
        QObject::connect(newValue, &QObject::destroyed, owner, [&field] { field = nullptr; });
    return true;
}

// The same for an image list, moving the change link from the old list to the new one.
bool SwapImageListReference(QObject *owner, TCustomImageList *newValue, TCustomImageList *&field,
                            TChangeLink *changeLink);

// A device-independent bitmap: rows bottom first, each padded to whole 32-bit words.
struct TDib
{
    int Width = 0;
    int Height = 0;
    int BitCount = 0; // 1, 4, 8, 24 or 32
    QList<QRgb> Palette;
    QByteArray Pixels;
    int ClrUsed = 0;
};

inline int BmpRowBytes(int width, int bitCount) { return int(((int64_t(width) * bitCount + 31) & ~31) / 8); }

// The bitmap's pixel format as the class library would see it.
TPixelFormat PixelFormatOf(const QImage &bitmap);
int ColorsOfFormat(TPixelFormat format);
TPixelFormat PixelFormatOfColors(int count);
// The 16 colours a 4-bit image gets without a palette of its own.
const QList<QRgb> &DefaultPalette16();

// A complete .bmp file of Dib, and the reverse (empty Dib for anything that is not one).
QByteArray DibToBmp(const TDib &dib);
TDib BmpToDib(QByteArrayView bmp);
// The bitmap at 1, 4, 8 (its own colour table), 24 or 32 bits; 1 and 4 bits take the nearest
// colour of black/white or the default 16-colour palette unless the bitmap has its own.
TDib DibFromImage(const QImage &bitmap, int bitCount);
QImage ImageFromDib(const TDib &dib);

// Turns the 24-bit BGR rows of Dib into 8-bit palette indices by Method.
void ReduceColors(TDib &dib, TColorMappingMethod method);

// The default method for conversions by colour count.
inline TColorMappingMethod DefaultMappingMethod = cmPopularity;

QByteArray BitmapToMemoryStream(const QImage &bitmap, TPixelFormat format, TColorMappingMethod method);
QByteArray BitmapToMemoryStreamByCount(const QImage &bitmap, int colors);

// Draws Bitmap stretched with Transparent (or, for clDefault, its bottom-left pixel's colour) left
// out; clNone draws it opaque. Sizes below 1 take the bitmap's own.
void StretchBitmapTransparent(QPainter &canvas, const QImage &bitmap, TColor transparent, int x, int y,
                              int width, int height, int sourceX, int sourceY, int sourceWidth,
                              int sourceHeight);
void StretchBitmapRectTransparent(QPainter &canvas, int x, int y, int width, int height, const QRect &source,
                                  const QImage &bitmap, TColor transparent);
