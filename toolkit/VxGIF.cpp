#include "toolkit/VxGIF.h"

#include "toolkit/VxAni.h"
#include "toolkit/VxTypes.h"

#include "platform/ini/IniFile.h"
#include "platform/text/AnsiText.h"

#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QtEndian>

#include <algorithm>

namespace {

// Frames larger than this are refused rather than allocated.
constexpr int64_t MaxFramePixels = 16 * 1024 * 1024;
// An hour and a half at twelve frames a second. A frame takes 15 bytes in the file but over a
// kilobyte in memory, so a 64 MiB file of nothing else would take gigabytes.
constexpr size_t MaxFrames = 65536;
// Extensions and their sub-blocks in one file. A sub-block of one byte takes fifty in memory;
// a real file has a few per frame.
constexpr qsizetype MaxExtensionBlocks = 1 << 20;

const QByteArray NetscapeLoop = QByteArrayLiteral("NETSCAPE2.0");
const QByteArray AnimExtsLoop = QByteArrayLiteral("ANIMEXTS1.0");

constexpr uint8_t ExtensionLabel[] = {0xF9, 0x01, 0xFF, 0xFE};
constexpr uint8_t RecordSize[] = {6, 13, 12, 0};

int BitsForCount(int count)
{
    int bits = 1;
    while ((1 << bits) < count && bits < 8)
        ++bits;
    return bits;
}


void PutLE16(QByteArray &out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

void PutTable(QByteArray &out, const TGIFColorTable &table, int entries)
{
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < table.Count ? table.Colors[i] : 0;
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
}

void PutSubBlocks(QByteArray &out, const QList<QByteArray> &lines)
{
    for (const QByteArray &line : lines)
        for (qsizetype at = 0; at < line.size(); at += 255) {
            const QByteArray part = line.mid(at, 255);
            out.append(char(part.size()));
            out.append(part);
        }
    out.append('\0');
}

} // namespace

// Reads with every length checked; a short read is the class library's stream read error.
class TGIFReader
{
public:
    explicit TGIFReader(QByteArrayView data) : FData(data) {}
    bool AtEnd() const { return FPos >= FData.size(); }
    qsizetype Position() const { return FPos; }
    uint8_t Byte()
    {
        if (AtEnd())
            throw EReadError(VxConsts::SReadError);
        return uint8_t(FData[FPos++]);
    }
    uint16_t Word()
    {
        const uint16_t low = Byte();
        return uint16_t(low | Byte() << 8);
    }
    QByteArray Bytes(qsizetype count)
    {
        if (count > FData.size() - FPos)
            throw EReadError(VxConsts::SReadError);
        const QByteArray out = FData.sliced(FPos, count).toByteArray();
        FPos += count;
        return out;
    }
    // Length-prefixed sub-blocks up to a zero length or the end of the data.
    QList<QByteArray> SubBlocks()
    {
        QList<QByteArray> lines;
        while (!AtEnd()) {
            const int length = Byte();
            if (length == 0)
                break;
            // A block cut off by the end of the file keeps what is there; nothing left is no line,
            // which the writer could not give back.
            const qsizetype there = std::min<qsizetype>(length, FData.size() - FPos);
            if (there == 0)
                break;
            CountBlock();
            lines.append(FData.sliced(FPos, there).toByteArray());
            FPos += there;
        }
        return lines;
    }
    void ReadTable(TGIFColorTable &table, int entries)
    {
        const QByteArray bytes = Bytes(entries * 3);
        table.Count = entries;
        for (int i = 0; i < entries; ++i)
            table.Colors[i] = qRgb(uint8_t(bytes[3 * i]), uint8_t(bytes[3 * i + 1]), uint8_t(bytes[3 * i + 2]));
    }
    void CountBlock()
    {
        if (++FBlocks > MaxExtensionBlocks)
            throw EReadError(VxConsts::SReadError);
    }
    QByteArrayView FData;
    qsizetype FPos = 0;
    qsizetype FBlocks = 0;
};

bool TExtension::IsLoopExtension() const
{
    if (FExtType != etApplication || FRecord.size() < 12 || FData.isEmpty())
        return false;
    const QByteArray id = FRecord.mid(1, 11);
    return (id == NetscapeLoop || id == AnimExtsLoop) && FData[0].size() >= 3 && FData[0][0] == 1;
}

// --- frames -------------------------------------------------------------------------------------

const QImage &TVxGIFFrame::Bitmap()
{
    if (FBitmap.isNull() && HasData())
        Decode();
    return FBitmap;
}

void TVxGIFFrame::SetBitmap(const QImage &bitmap)
{
    // The stored data showed the old picture; the new one is encoded when the image is written.
    FBitmap = bitmap;
    FImage.reset();
    FInterlaced = false;
    FCorrupted = false;
    if (FOwner)
        FOwner->RecomputeScreenSize();
}

QStringList TVxGIFFrame::Comment() const
{
    QStringList lines;
    for (const TExtension &e : FExtensions)
        if (e.FExtType == etComment)
            for (const QByteArray &line : e.FData)
                lines.append(AnsiText::FromWindows1251(line));
    return lines;
}

void TVxGIFFrame::SetComment(const QStringList &lines)
{
    auto it = std::find_if(FExtensions.begin(), FExtensions.end(), [](const TExtension &e) { return e.FExtType == etComment; });
    if (it == FExtensions.end()) {
        FExtensions.append(TExtension{});
        it = FExtensions.end() - 1;
    }
    it->FData.clear();
    for (const QString &line : lines)
        it->FData.append(AnsiText::ToWindows1251(line));
}

void TVxGIFFrame::SetAnimateInterval(uint16_t value)
{
    FAnimateInterval = value;
    if (value && FOwner) {
        FOwner->FVersion = gv89a;
        FOwner->Changed();
    }
}

void TVxGIFFrame::SetDisposalMethod(TDisposalMethod value)
{
    FDisposal = value;
    if (value != dmUndefined && FOwner) {
        FOwner->FVersion = gv89a;
        FOwner->Changed();
    }
}

void TVxGIFFrame::SetTransparentColor(TColor value)
{
    FTransparentColor = value;
    if (FOwner) {
        FOwner->FVersion = gv89a;
        FOwner->Changed();
    }
}

void TVxGIFFrame::Assign(const TVxGIFFrame &source)
{
    if (&source == this)
        return;
    FImage = source.FImage;
    FTopLeft = source.FTopLeft;
    FInterlaced = source.FInterlaced;
    FBitmap = source.FBitmap;
    FTransparentColor = source.FTransparentColor;
    FAnimateInterval = source.FAnimateInterval;
    FDisposal = source.FDisposal;
    FGrayscale = source.FGrayscale;
    FCorrupted = source.FCorrupted;
    FExtensions.clear();
    if (!source.Comment().isEmpty())
        SetComment(source.Comment());
    FLocalColors = source.FOwner == FOwner ? source.FLocalColors : true;
    if (FOwner)
        FOwner->RecomputeScreenSize();
}

void TVxGIFFrame::Decode()
{
    const TGIFItem &item = *FImage;
    const int width = item.FSize.width(), height = item.FSize.height();
    int bits = item.FBitsPerPixel;
    QList<QRgb> palette;
    if (item.FColorMap.Count == 0) {
        // No colour table at all: a grey ramp as deep as the code size.
        bits = std::clamp(int(uint8_t(item.FImageData[0])), 1, 8);
        const int n = 1 << bits;
        for (int i = 0; i < n; ++i)
            palette.append(qRgb(i * 255 / (n - 1), i * 255 / (n - 1), i * 255 / (n - 1)));
    } else {
        for (int i = 0; i < item.FColorMap.Count; ++i)
            palette.append(item.FColorMap.Colors[i]);
    }
    TDib dib;
    dib.BitCount = bits == 1 ? 1 : bits >= 2 && bits <= 4 ? 4 : bits >= 5 && bits <= 8 ? 8 : 0;
    if (dib.BitCount == 0)
        throw EInvalidGraphicOperation(VxConsts::SWrongGIFColors);
    if (width <= 0 || height <= 0) {
        FBitmap = QImage(); // a frame of no size on a screen of none shows nothing
        return;
    }
    if (int64_t(width) * height > MaxFramePixels)
        throw EReadError(VxConsts::SReadError);
    dib.Width = width;
    dib.Height = height;
    dib.Palette = palette.mid(0, 1 << dib.BitCount);
    dib.Pixels = QByteArray(qsizetype(BmpRowBytes(width, dib.BitCount)) * height, '\0');
    bool corrupted = false;
    const TProgressEvent &progress = FOwner ? FOwner->OnProgress : TProgressEvent();
    LZWDecode(item.FImageData, {width, height, dib.BitCount}, FInterlaced, progress, corrupted,
              reinterpret_cast<uint8_t *>(dib.Pixels.data()), bits, TolerateCorruptGIF);
    FCorrupted = FCorrupted || corrupted;
    FBitmap = ImageFromDib(dib);
}

void TVxGIFFrame::Encode()
{
    if (FBitmap.isNull())
        throw EInvalidGraphicOperation(VxConsts::SNoGIFData);
    TDib dib;
    if (FBitmap.format() == QImage::Format_Mono || FBitmap.format() == QImage::Format_MonoLSB)
        dib = DibFromImage(FBitmap, 1);
    else if (FBitmap.format() == QImage::Format_Indexed8 && !FGrayscale)
        dib = DibFromImage(FBitmap, FBitmap.colorCount() <= 16 ? 4 : 8);
    else
        dib = BmpToDib(BitmapToMemoryStream(FBitmap, pf8bit, FGrayscale ? cmGrayscale : DefaultMappingMethod));
    if (dib.BitCount != 1 && dib.BitCount != 4 && dib.BitCount != 8)
        throw EInvalidGraphicOperation(VxConsts::SGIFEncodeError);
    auto item = std::make_shared<TGIFItem>();
    const int count = std::clamp(int(dib.ClrUsed ? std::min<qsizetype>(dib.ClrUsed, dib.Palette.size()) : dib.Palette.size()), 1, 256);
    item->FColorMap.Count = count;
    for (int i = 0; i < count; ++i)
        item->FColorMap.Colors[i] = i < dib.Palette.size() ? dib.Palette[i] : 0;
    item->FSize = QSize(dib.Width, dib.Height);
    LZWEncode(item->FImageData, {dib.Width, dib.Height, dib.BitCount}, false,
              FOwner ? FOwner->OnProgress : TProgressEvent(), reinterpret_cast<const uint8_t *>(dib.Pixels.constData()));
    item->FBitsPerPixel = uint8_t(BitsForCount(count));
    FInterlaced = false;
    FImage = item;
    if (FOwner && FOwner->FImage->FColorMap.Count == 0) {
        TGIFData &data = FOwner->OwnData();
        data.FColorMap = item->FColorMap;
        data.FBitsPerPixel = item->FBitsPerPixel;
        FLocalColors = false;
    } else {
        FLocalColors = true;
    }
    if (FOwner)
        FOwner->RecomputeScreenSize();
}

void TVxGIFFrame::UpdateGraphicControl()
{
    auto it = std::find_if(FExtensions.begin(), FExtensions.end(), [](const TExtension &e) { return e.FExtType == etGraphic; });
    const bool wanted = FAnimateInterval > 0 || FTransparentColor != clNone || FDisposal != dmUndefined;
    if (it == FExtensions.end()) {
        if (!wanted)
            return;
        TExtension e;
        e.FExtType = etGraphic;
        e.FRecord = QByteArray("\x04\0\0\0\0\0", 6);
        FExtensions.prepend(e);
        it = FExtensions.begin();
    }
    QByteArray &r = it->FRecord;
    r.resize(6);
    uint8_t packed = uint8_t(r[1]) & ~0x1D;
    // The interval holds at most 65.5 s: a longer delay read from the file stays while the
    // interval still says what was read.
    const int stored = qFromLittleEndian<uint16_t>(r.constData() + 2);
    const int delay = std::min(0xFFFF, stored * 10) == FAnimateInterval ? stored : FAnimateInterval / 10;
    r[2] = char(delay & 0xFF);
    r[3] = char(delay >> 8);
    if (FTransparentColor != clNone && FImage) {
        const QRgb key = RgbFromColor(FTransparentColor) | 0xFF000000;
        for (int i = 0; i < FImage->FColorMap.Count; ++i)
            if ((FImage->FColorMap.Colors[i] | 0xFF000000) == key) {
                packed |= 1;
                r[4] = char(i);
                break;
            }
    }
    packed |= uint8_t((FDisposal & 7) << 2);
    r[1] = char(packed);
}

// --- the picture --------------------------------------------------------------------------------

TVxGIFImage::TVxGIFImage()
{
    ResetImage();
}

TVxGIFImage::~TVxGIFImage() = default;

void TVxGIFImage::ResetImage()
{
    FImage = std::make_shared<TGIFData>();
    FItems.clear();
    FCorrupted = false;
    FFrameIndex = -1;
    FBackgroundColor = clNone;
    FRepeatCount = 1;
    FLooping = false;
    FVersion = gvUnknown;
    FScreenWidth = FScreenHeight = 0;
}

TGIFData &TVxGIFImage::OwnData()
{
    if (FImage.use_count() > 1)
        FImage = std::make_shared<TGIFData>(*FImage);
    return *FImage;
}

void TVxGIFImage::Changed()
{
    if (OnChange)
        OnChange();
}

void TVxGIFImage::Clear()
{
    ResetImage();
    Changed();
}

void TVxGIFImage::SetComment(const QStringList &lines)
{
    OwnData().FComment = lines;
}

bool TVxGIFImage::Corrupted() const
{
    return FCorrupted || std::any_of(FItems.begin(), FItems.end(), [](const auto &f) { return f->FCorrupted; });
}

TColor TVxGIFImage::TransparentColor() const
{
    return FFrameIndex >= 0 && FFrameIndex < Count() ? FItems[FFrameIndex]->FTransparentColor : clNone;
}

TPixelFormat TVxGIFImage::PixelFormat() const
{
    TPixelFormat format = PixelFormatOfColors(std::max(FImage->FColorMap.Count, 1));
    for (const auto &f : FItems)
        format = std::max(format, PixelFormatOfColors(std::max(f->ColorCount(), 1)));
    return format;
}

void TVxGIFImage::SetFrameIndex(int value)
{
    value = std::clamp(value, -1, Count() - 1);
    if (value == FFrameIndex)
        return;
    FFrameIndex = value;
    Changed();
}

bool TVxGIFImage::Empty()
{
    if (FItems.empty())
        return true;
    TVxGIFFrame &f = *FItems[FFrameIndex >= 0 ? FFrameIndex : 0];
    return f.FBitmap.isNull() && !f.HasData();
}

int TVxGIFImage::Width()
{
    return Empty() || FFrameIndex < 0 ? 0 : FItems[FFrameIndex]->Bitmap().width();
}

int TVxGIFImage::Height()
{
    return Empty() || FFrameIndex < 0 ? 0 : FItems[FFrameIndex]->Bitmap().height();
}

void TVxGIFImage::SetWidth(int)
{
    throw EInvalidGraphicOperation(VxConsts::SGIFImageSize);
}

void TVxGIFImage::SetHeight(int)
{
    throw EInvalidGraphicOperation(VxConsts::SGIFImageSize);
}

void TVxGIFImage::RecomputeScreenSize()
{
    int right = 0, bottom = 0;
    for (const auto &f : FItems) {
        right = std::max(right, f->FTopLeft.x() + f->Width());
        bottom = std::max(bottom, f->FTopLeft.y() + f->Height());
    }
    FScreenWidth = uint16_t(std::min(right, 0xFFFF));
    FScreenHeight = uint16_t(std::min(bottom, 0xFFFF));
}

void TVxGIFImage::LoadFromData(QByteArrayView data)
{
    ReadGIF(data, true);
}

bool TVxGIFImage::LoadFromFile(const QString &fileName)
{
    // Only a plain file of a sane size: a pipe would wait for a writer and a device never end.
    if (!QFileInfo::exists(fileName))
        return false;
    const std::optional<QByteArray> bytes = IniText::ReadFileBytes(fileName);
    if (!bytes)
        return false;
    LoadFromData(*bytes);
    return true;
}

void TVxGIFImage::ReadData(QByteArrayView data, bool decode)
{
    if (data.size() < 4)
        throw EReadError(VxConsts::SReadError);
    const int32_t count = qFromLittleEndian<int32_t>(data.data());
    if (count > data.size() - 4)
        throw EReadError(VxConsts::SReadError);
    ReadGIF(count > 0 ? data.sliced(4, count) : QByteArrayView(), decode);
}

void TVxGIFImage::ReadGIF(QByteArrayView data, bool decode)
{
    ResetImage();
    if (data.isEmpty()) {
        Changed();
        return;
    }
    TGIFReader reader(data);
    if (reader.Bytes(3) != "GIF")
        throw EInvalidGraphicOperation(VxConsts::SGIFVersion);
    const QByteArray version = reader.Bytes(3);
    if (version == "87a")
        FVersion = gv87a;
    else if (version == "89a")
        FVersion = gv89a;
    else
        throw EInvalidGraphicOperation(VxConsts::SGIFVersion);
    FScreenWidth = reader.Word();
    FScreenHeight = reader.Word();
    const uint8_t packed = reader.Byte();
    const uint8_t background = reader.Byte();
    TGIFData &data0 = *FImage;
    data0.FAspectRatio = reader.Byte();
    data0.FBitsPerPixel = uint8_t((packed & 7) + 1);
    data0.FColorResBits = uint8_t(((packed & 0x70) >> 4) + 1);
    if (packed & 0x80) {
        reader.ReadTable(data0.FColorMap, 1 << data0.FBitsPerPixel);
        if (background < data0.FColorMap.Count)
            FBackgroundColor = ColorFromRgb(data0.FColorMap.Colors[background]);
    }
    auto nextBlock = [&]() -> uint8_t {
        while (!reader.AtEnd())
            if (const uint8_t b = reader.Byte())
                return b;
        return ';';
    };
    uint8_t block = nextBlock();
    bool afterImage = false;
    while (block != ';') {
        QList<TExtension> gathered;
        while (block == '!') {
            TExtension e;
            reader.CountBlock();
            const uint8_t label = reader.Byte();
            const auto known = std::find(std::begin(ExtensionLabel), std::end(ExtensionLabel), label);
            if (known == std::end(ExtensionLabel))
                throw EInvalidGraphicOperation(VxConsts::SUnrecognizedGIFExt.arg(label, 2, 16, QLatin1Char('0')));
            e.FExtType = TExtensionType(known - std::begin(ExtensionLabel));
            e.FRecord = reader.Bytes(RecordSize[e.FExtType]);
            if (e.FExtType != etGraphic)
                e.FData = reader.SubBlocks();
            if (e.FExtType == etPlainText)
                gathered.clear();
            if (e.FExtType == etGraphic || e.FExtType == etComment)
                gathered.append(e);
            else if (e.IsLoopExtension()) {
                FLooping = true;
                const QByteArray &line = e.FData[0];
                FRepeatCount = uint16_t(std::min(30000, uint8_t(line[1]) | uint8_t(line[2]) << 8));
            }
            block = nextBlock();
        }
        if (block != ',') {
            if (FImage->FComment.isEmpty())
                for (const TExtension &e : gathered)
                    if (e.FExtType == etComment) {
                        if (!FImage->FComment.isEmpty())
                            FImage->FComment.append(QStringLiteral("\r\n\r\n"));
                        for (const QByteArray &line : e.FData)
                            FImage->FComment.append(AnsiText::FromWindows1251(line));
                    }
            if (block == ';' || afterImage)
                break;
            // A stray byte where a block should start: nothing sensible follows.
            throw EReadError(VxConsts::SReadError);
        }
        if (FItems.size() >= MaxFrames)
            throw EReadError(VxConsts::SReadError);
        auto frame = std::make_unique<TVxGIFFrame>(this);
        frame->FExtensions = gathered;
        ReadFrame(reader, *frame);
        FItems.push_back(std::move(frame));
        block = reader.AtEnd() ? ';' : reader.Byte();
        afterImage = true;
        if (block == 0)
            block = nextBlock();
        if (block != '!' && block != ',' && block != ';')
            break;
    }
    if (!FItems.empty()) {
        FFrameIndex = 0;
        if (decode)
            FItems[0]->Bitmap();
    }
    Changed();
}

void TVxGIFImage::ReadFrame(TGIFReader &reader, TVxGIFFrame &frame)
{
    auto item = std::make_shared<TGIFItem>();
    const int left = reader.Word(), top = reader.Word();
    int width = reader.Word(), height = reader.Word();
    item->FPackedFields = reader.Byte();
    frame.FInterlaced = item->FPackedFields & 0x40;
    if (FImage->FColorMap.Count > 0)
        item->FBitsPerPixel = FImage->FBitsPerPixel;
    if (item->FPackedFields & 0x80) {
        frame.FLocalColors = true;
        item->FBitsPerPixel = uint8_t((item->FPackedFields & 7) + 1);
        reader.ReadTable(item->FColorMap, 1 << item->FBitsPerPixel);
    } else {
        item->FColorMap = FImage->FColorMap;
    }
    // The compressed data exactly as stored: code size, sub-blocks, terminator.
    const qsizetype start = reader.Position();
    reader.Byte();
    bool terminated = false;
    for (;;) {
        if (reader.AtEnd())
            break;
        const int length = reader.Byte();
        if (length == 0) {
            terminated = true;
            break;
        }
        if (length > reader.FData.size() - reader.FPos) {
            frame.FCorrupted = true;
            reader.FPos = reader.FData.size();
            break;
        }
        reader.FPos += length;
    }
    item->FImageData = reader.FData.sliced(start, reader.Position() - start).toByteArray();
    if (!terminated) {
        // A cut-off frame keeps the bytes it has, in sub-blocks that say their true length and
        // end with a terminator, so writing it out gives a well-formed file.
        QByteArray whole(1, item->FImageData[0]);
        for (qsizetype at = 1; at < item->FImageData.size();) {
            const qsizetype length = std::min<qsizetype>(uint8_t(item->FImageData[at]), item->FImageData.size() - at - 1);
            if (length > 0) {
                whole.append(char(length));
                whole.append(item->FImageData.mid(at + 1, length));
            }
            at += 1 + length;
        }
        whole.append('\0');
        item->FImageData = whole;
    }
    if (frame.FCorrupted && !TolerateCorruptGIF)
        throw EReadError(VxConsts::SReadError);
    if (width == 0)
        width = FScreenWidth;
    if (height == 0)
        height = FScreenHeight;
    if (int64_t(width) * height > MaxFramePixels)
        throw EReadError(VxConsts::SReadError);
    frame.FTopLeft = QPoint(left, top);
    item->FSize = QSize(width, height);
    if (item->FBitsPerPixel == 0)
        item->FBitsPerPixel = uint8_t(std::clamp(int(uint8_t(item->FImageData[0])), 1, 8));
    frame.FAnimateInterval = 0;
    frame.FTransparentColor = clNone;
    for (const TExtension &e : frame.FExtensions) {
        if (e.FExtType != etGraphic)
            continue;
        const uint8_t packed = uint8_t(e.FRecord[1]);
        const int index = uint8_t(e.FRecord[4]);
        if ((packed & 1) && index < item->FColorMap.Count) {
            // The transparent entry must not share its colour with a visible one.
            TGIFColorTable &table = item->FColorMap;
            int step = -1;
            auto clashes = [&] {
                for (int i = 0; i < table.Count; ++i)
                    if (i != index && (table.Colors[i] & 0xFFFFFF) == (table.Colors[index] & 0xFFFFFF))
                        return true;
                return false;
            };
            for (int guard = 0; guard < 1024 && clashes(); ++guard) {
                int blue = qBlue(table.Colors[index]);
                if (blue == 0)
                    step = 1;
                else if (blue > 254)
                    step = -1;
                blue += step;
                const QRgb c = table.Colors[index];
                table.Colors[index] = qRgb(qRed(c), qGreen(c), blue);
            }
            frame.FTransparentColor = ColorFromRgb(table.Colors[index]);
        } else {
            frame.FTransparentColor = clNone;
        }
        frame.FAnimateInterval = uint16_t(std::max<int>(frame.FAnimateInterval, std::min(0xFFFF, qFromLittleEndian<uint16_t>(e.FRecord.constData() + 2) * 10)));
        frame.FDisposal = TDisposalMethod((packed & 0x1C) >> 2);
    }
    frame.FImage = item;
}

void TVxGIFImage::EncodeFrames()
{
    for (auto &f : FItems)
        if (!f->HasData())
            f->Encode();
    for (auto &f : FItems) {
        f->UpdateGraphicControl();
        f->FExtensions.removeIf([](const TExtension &e) { return e.FExtType == etComment && e.FData.isEmpty(); });
        if (!f->FExtensions.isEmpty())
            FVersion = gv89a;
    }
    if (!FImage->FComment.isEmpty())
        FVersion = gv89a;
}

QByteArray TVxGIFImage::SaveToData()
{
    if (FItems.empty())
        throw EInvalidGraphicOperation(VxConsts::SNoGIFData);
    EncodeFrames();
    // A descriptor's 0 means the screen's size: a frame of no width or height read from a screen of
    // none has no picture, and written out would read back as large as the frames around it.
    for (const auto &f : FItems)
        if (f->Width() == 0 || f->Height() == 0)
            throw EInvalidGraphicOperation(VxConsts::SNoGIFData);
    RecomputeScreenSize();
    QByteArray out("GIF");
    out.append(FVersion == gv87a ? "87a" : FVersion == gv89a ? "89a" : QByteArray(3, '\0'));
    PutLE16(out, FScreenWidth);
    PutLE16(out, FScreenHeight);
    const TGIFData &data = *FImage;
    // The size field says how many entries follow, so the table is written padded to it.
    const int globalBits = std::max<int>(data.FBitsPerPixel, BitsForCount(data.FColorMap.Count));
    if (data.FColorMap.Count == 0) {
        out.append('\0');
        out.append('\0');
    } else {
        out.append(char(0x80 + ((BitsForCount(data.FColorMap.Count) - 1) << 4) + (globalBits - 1)));
        int background = 0;
        if (FBackgroundColor != clNone)
            for (int i = 0; i < data.FColorMap.Count; ++i)
                if ((data.FColorMap.Colors[i] & 0xFFFFFF) == (RgbFromColor(FBackgroundColor) & 0xFFFFFF)) {
                    background = i;
                    break;
                }
        out.append(char(background));
    }
    out.append(char(data.FAspectRatio));
    if (data.FColorMap.Count > 0)
        PutTable(out, data.FColorMap, 1 << globalBits);
    if (FLooping && FItems.size() > 1) {
        out.append("!\xFF\x0BNETSCAPE2.0\x03\x01", 16);
        PutLE16(out, FRepeatCount);
        out.append('\0');
    }
    for (const auto &f : FItems) {
        for (const TExtension &e : f->FExtensions) {
            out.append('!');
            out.append(char(ExtensionLabel[e.FExtType]));
            QByteArray record = e.FRecord.left(RecordSize[e.FExtType]);
            record.append(QByteArray(RecordSize[e.FExtType] - record.size(), '\0'));
            out.append(record);
            if (e.FExtType != etGraphic)
                PutSubBlocks(out, e.FData);
        }
        const TGIFItem &item = *f->FImage;
        out.append(',');
        PutLE16(out, f->FTopLeft.x());
        PutLE16(out, f->FTopLeft.y());
        PutLE16(out, item.FSize.width());
        PutLE16(out, item.FSize.height());
        const int bits = BitsForCount(item.FColorMap.Count);
        // A frame read without any colour table has none to write either.
        const bool local = f->FLocalColors && item.FColorMap.Count > 0;
        out.append(char((local ? 0x80 + bits - 1 : 0) + (f->FInterlaced ? 0x40 : 0)));
        if (local)
            PutTable(out, item.FColorMap, 1 << bits);
        out.append(item.FImageData);
    }
    if (!data.FComment.isEmpty()) {
        out.append("!\xFE", 2);
        QList<QByteArray> lines;
        for (const QString &line : data.FComment)
            lines.append(AnsiText::ToWindows1251(line));
        PutSubBlocks(out, lines);
    }
    out.append(';');
    return out;
}

QByteArray TVxGIFImage::WriteData()
{
    const QByteArray file = SaveToData();
    QByteArray out;
    out.resize(4);
    qToLittleEndian<int32_t>(int32_t(file.size()), out.data());
    return out + file;
}

void TVxGIFImage::SaveToClipboardFormat(QMimeData &mime)
{
    if (FItems.empty())
        return;
    mime.setImageData(FItems[0]->Bitmap());
    if (std::all_of(FItems.begin(), FItems.end(), [](const auto &f) { return f->HasData(); }))
        mime.setData(CF_VXGIF, WriteData());
}

void TVxGIFImage::LoadFromClipboardFormat(const QMimeData &mime)
{
    if (mime.hasFormat(CF_VXGIF)) {
        ReadData(mime.data(CF_VXGIF), false);
        if (!FItems.empty()) {
            FFrameIndex = 0;
            if (mime.hasImage())
                FItems[0]->FBitmap = qvariant_cast<QImage>(mime.imageData());
        }
        return;
    }
    if (mime.hasImage())
        Assign(qvariant_cast<QImage>(mime.imageData()));
}

int TVxGIFImage::AddFrame(const QImage &bitmap)
{
    AppendFrame(bitmap);
    RecomputeScreenSize();
    return FFrameIndex;
}

void TVxGIFImage::AppendFrame(const QImage &bitmap)
{
    FItems.push_back(std::make_unique<TVxGIFFrame>(this));
    FFrameIndex = Count() - 1;
    TVxGIFFrame &frame = *FItems.back();
    frame.FBitmap = bitmap;
    frame.FLocalColors = true;
    if (FVersion == gvUnknown)
        FVersion = gv87a;
    if (Count() > 1)
        FVersion = gv89a;
}

void TVxGIFImage::Assign(const TVxGIFImage &source)
{
    if (&source == this)
        return;
    ResetImage();
    FImage = source.FImage;
    FVersion = source.FVersion;
    FBackgroundColor = source.FBackgroundColor;
    FRepeatCount = source.FRepeatCount;
    FLooping = source.FLooping;
    FCorrupted = source.FCorrupted;
    for (const auto &f : source.FItems) {
        FItems.push_back(std::make_unique<TVxGIFFrame>(this));
        FItems.back()->Assign(*f);
        FItems.back()->FLocalColors = f->FLocalColors;
    }
    FScreenWidth = source.FScreenWidth;
    FScreenHeight = source.FScreenHeight;
    FFrameIndex = source.FFrameIndex;
    Changed();
}

void TVxGIFImage::Assign(const TVxGIFFrame &source)
{
    // The frame may be one of ours, which the reset frees: take all it has first.
    auto frame = std::make_unique<TVxGIFFrame>(this);
    frame->Assign(source);
    TGIFData from;
    if (source.FOwner)
        from = *source.FOwner->FImage;
    const TGIFVersion version = source.FOwner ? std::max(source.FOwner->FVersion, gv87a) : gv87a;
    ResetImage();
    FImage->FAspectRatio = from.FAspectRatio;
    FImage->FBitsPerPixel = from.FBitsPerPixel;
    FImage->FColorResBits = from.FColorResBits;
    FImage->FColorMap = from.FColorMap;
    FItems.push_back(std::move(frame));
    FVersion = version;
    FFrameIndex = 0;
    RecomputeScreenSize();
    Changed();
}

void TVxGIFImage::Assign(const QImage &bitmap)
{
    ResetImage();
    if (!bitmap.isNull())
        AddFrame(bitmap);
    Changed();
}

void TVxGIFImage::Assign(const TVxAni &cursor)
{
    ResetImage();
    FBackgroundColor = ColorFromRgb(qRgb(255, 255, 255));
    for (int i = 0; i < cursor.FrameCount(); ++i) {
        const TVxIconFrame frame = cursor.Frame(i);
        if (frame.Icon.isNull())
            continue;
        // Transparent icon pixels become the background so the frame keeps its outline.
        QImage bitmap(frame.Icon.size(), QImage::Format_RGB32);
        bitmap.fill(RgbFromColor(FBackgroundColor));
        QPainter(&bitmap).drawImage(0, 0, frame.Icon);
        // The screen is measured once at the end: measuring it after each of thousands of steps
        // took their square.
        AppendFrame(bitmap);
        FItems.back()->FAnimateInterval = uint16_t(frame.Rate ? std::min<uint64_t>(uint64_t(frame.Rate) * 100 / 6, 0xFFFF) : 100);
    }
    RecomputeScreenSize();
    Changed();
}

QImage TVxGIFImage::ToImage()
{
    if (Empty())
        return {};
    TVxGIFFrame &frame = *FItems[FFrameIndex >= 0 ? FFrameIndex : 0];
    QImage image = frame.Bitmap();
    if (frame.FTransparentColor != clNone && !image.isNull()) {
        const QRgb key = RgbFromColor(frame.FTransparentColor) | 0xFF000000;
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((line[x] | 0xFF000000) == key)
                    line[x] = 0;
        }
    }
    return image;
}

void TVxGIFImage::Draw(QPainter &canvas, const QRect &rect)
{
    if (FFrameIndex < 0 || FFrameIndex >= Count())
        return;
    TVxGIFFrame &frame = *FItems[FFrameIndex];
    const QImage &bitmap = frame.Bitmap();
    if (bitmap.isNull())
        return;
    if (frame.FTransparentColor != clNone && Transparent) {
        // A monochrome bitmap would be keyed on white; a two-colour frame names its own key colour.
        const bool mono = bitmap.format() == QImage::Format_Mono || bitmap.format() == QImage::Format_MonoLSB;
        StretchBitmapTransparent(canvas, mono ? bitmap.convertToFormat(QImage::Format_Indexed8) : bitmap,
                                 frame.FTransparentColor, rect.x(), rect.y(), rect.width(), rect.height(), 0, 0,
                                 bitmap.width(), bitmap.height());
    } else
        canvas.drawImage(rect, bitmap);
}
