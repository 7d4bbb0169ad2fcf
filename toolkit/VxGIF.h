#pragma once
// GIF 87a/89a pictures with any number of frames. Each frame keeps its compressed data as read,
// so an unchanged picture is written back byte for byte; a frame is decoded only when its bitmap
// is needed.
#include "toolkit/VxGraphics.h"
#include "toolkit/VxLZW.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QSize>
#include <QStringList>

#include <array>
#include <memory>

class QMimeData;
class QPainter;
class TVxAni;
class TVxGIFImage;

enum TGIFVersion { gvUnknown, gv87a, gv89a };
enum TDisposalMethod {
    dmUndefined, dmLeave, dmRestoreBackground, dmRestorePrevious, dmReserved4, dmReserved5, dmReserved6, dmReserved7
};
enum TExtensionType { etGraphic, etPlainText, etApplication, etComment };

// The mime type our own clipboard data go under ("VxGIF Image": count + GIF file).
inline const QString CF_VXGIF = QStringLiteral("application/x-vxgif-image");

// Whether a damaged frame is decoded as far as it goes instead of raising an error.
inline bool TolerateCorruptGIF = true;

struct TGIFColorTable
{
    int Count = 0;
    std::array<QRgb, 256> Colors{};
};

// One extension block: its fixed record (as stored after the label) and its data sub-blocks,
// both kept as raw bytes.
class TExtension
{
public:
    TExtensionType FExtType = etComment;
    QByteArray FRecord;
    QList<QByteArray> FData;
    bool IsLoopExtension() const;
};

struct TGIFData
{
    QStringList FComment;
    uint8_t FAspectRatio = 0;
    uint8_t FBitsPerPixel = 1;
    uint8_t FColorResBits = 1;
    TGIFColorTable FColorMap;
};

struct TGIFItem
{
    QByteArray FImageData;
    QSize FSize;
    uint8_t FPackedFields = 0;
    uint8_t FBitsPerPixel = 0;
    TGIFColorTable FColorMap;
};

class TVxGIFFrame
{
public:
    explicit TVxGIFFrame(TVxGIFImage *owner) : FOwner(owner) {}
    // The decoded picture (decoded on first use): 1-bit or 8-bit indexed.
    const QImage &Bitmap();
    bool HasBitmap() const { return !FBitmap.isNull(); }
    void SetBitmap(const QImage &bitmap);
    int ColorCount() const { return FImage ? FImage->FColorMap.Count : 0; }
    QStringList Comment() const;
    void SetComment(const QStringList &lines);
    uint16_t AnimateInterval() const { return FAnimateInterval; }
    void SetAnimateInterval(uint16_t value);
    TDisposalMethod DisposalMethod() const { return FDisposal; }
    void SetDisposalMethod(TDisposalMethod value);
    TColor TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor value);
    bool Interlaced() const { return FInterlaced; }
    bool Corrupted() const { return FCorrupted; }
    QPoint Origin() const { return FTopLeft; }
    int Width() const { return FImage ? FImage->FSize.width() : FBitmap.width(); }
    int Height() const { return FImage ? FImage->FSize.height() : FBitmap.height(); }
    const QList<TExtension> &Extensions() const { return FExtensions; }
    bool HasData() const { return FImage && !FImage->FImageData.isEmpty(); }
    const TGIFItem *Item() const { return FImage.get(); }
    void Assign(const TVxGIFFrame &source);

private:
    friend class TVxGIFImage;
    void Decode();
    void Encode();
    void UpdateGraphicControl();

    TVxGIFImage *FOwner;
    QImage FBitmap;
    std::shared_ptr<TGIFItem> FImage;
    QList<TExtension> FExtensions;
    QPoint FTopLeft;
    bool FInterlaced = false;
    bool FCorrupted = false;
    bool FGrayscale = false;
    TColor FTransparentColor = clNone;
    uint16_t FAnimateInterval = 0;
    TDisposalMethod FDisposal = dmUndefined;
    bool FLocalColors = false;
};

class TVxGIFImage
{
public:
    TVxGIFImage();
    ~TVxGIFImage();
    TVxGIFImage(const TVxGIFImage &) = delete;
    TVxGIFImage &operator=(const TVxGIFImage &) = delete;

    // Whole GIF files; reading decodes the current frame at once.
    void LoadFromData(QByteArrayView data);
    QByteArray SaveToData();
    // The form-stream form: a 32-bit little-endian byte count, then the file.
    void ReadData(QByteArrayView data, bool decode = true);
    QByteArray WriteData();
    bool LoadFromFile(const QString &fileName);

    void SaveToClipboardFormat(QMimeData &mime);
    void LoadFromClipboardFormat(const QMimeData &mime);

    void Assign(const TVxGIFImage &source);
    void Assign(const TVxGIFFrame &source);
    void Assign(const QImage &bitmap);
    void Assign(const TVxAni &cursor);
    void Clear();
    int AddFrame(const QImage &bitmap);

    void Draw(QPainter &canvas, const QRect &rect);
    // The current frame's picture, as another graphic takes it.
    QImage ToImage();

    bool Empty();
    int Width();
    int Height();
    void SetWidth(int);
    void SetHeight(int);
    bool Equals(const TVxGIFImage &other) const { return FImage == other.FImage; }

    int Count() const { return int(FItems.size()); }
    TVxGIFFrame &Frame(int index) { return *FItems[index]; }
    int FrameIndex() const { return FFrameIndex; }
    void SetFrameIndex(int value);
    TGIFVersion Version() const { return FVersion; }
    void SetVersion(TGIFVersion value) { FVersion = value; }
    TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor value) { FBackgroundColor = value; }
    bool Looping() const { return FLooping; }
    void SetLooping(bool value) { FLooping = value; }
    uint16_t RepeatCount() const { return FRepeatCount; }
    void SetRepeatCount(uint16_t value) { FRepeatCount = value; }
    bool Corrupted() const;
    QStringList Comment() const { return FImage->FComment; }
    void SetComment(const QStringList &lines);
    int GlobalColorCount() const { return FImage->FColorMap.Count; }
    const TGIFData &Data() const { return *FImage; }
    int ScreenWidth() const { return FItems.empty() ? 0 : FScreenWidth; }
    int ScreenHeight() const { return FItems.empty() ? 0 : FScreenHeight; }
    TColor TransparentColor() const;
    TPixelFormat PixelFormat() const;
    bool Transparent = true;

    TProgressEvent OnProgress;
    std::function<void()> OnChange;

private:
    friend class TVxGIFFrame;
    void ResetImage();
    void ReadGIF(QByteArrayView data, bool decode);
    void ReadFrame(class TGIFReader &reader, TVxGIFFrame &frame);
    void EncodeFrames();
    void RecomputeScreenSize();
    void AppendFrame(const QImage &bitmap); // AddFrame without measuring the screen
    void Changed();
    TGIFData &OwnData();

    std::shared_ptr<TGIFData> FImage;
    TGIFVersion FVersion = gvUnknown;
    std::vector<std::unique_ptr<TVxGIFFrame>> FItems;
    int FFrameIndex = -1;
    uint16_t FScreenWidth = 0;
    uint16_t FScreenHeight = 0;
    TColor FBackgroundColor = clNone;
    bool FLooping = false;
    bool FCorrupted = false;
    uint16_t FRepeatCount = 1;
};
