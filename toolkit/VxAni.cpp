#include "toolkit/VxAni.h"

#include "toolkit/VxShellUtils.h"
#include "toolkit/VxTypes.h"

#include "platform/text/AnsiText.h"

#include <QPainter>
#include <QTimer>
#include <QtEndian>

#include <algorithm>

namespace {

uint32_t LE32(QByteArrayView d, qsizetype at) { return qFromLittleEndian<uint32_t>(d.data() + at); }

[[noreturn]] void ReadFailed()
{
    throw EReadError(VxConsts::SReadError);
}

// Far beyond any real cursor: a thousand steps of 256 by 256 pixels, or 65,536 steps. A few bytes
// of packed image can stand for a large icon, and every step is a picture of its own once the
// steps are laid out in one bitmap or made GIF frames.
constexpr qint64 MaxPixels = qint64(1) << 26;
constexpr qsizetype MaxSteps = 65536;

qint64 PixelsOf(const QImage &image)
{
    return qint64(image.width()) * image.height();
}

struct TChunk
{
    QByteArray Id;
    QByteArrayView Data;
};

// Splits Data into chunks; a chunk claiming more than is left takes what is left.
QList<TChunk> Chunks(QByteArrayView data)
{
    QList<TChunk> chunks;
    qsizetype at = 0;
    while (data.size() - at >= 8) {
        TChunk chunk;
        chunk.Id = data.sliced(at, 4).toByteArray();
        const uint64_t size = LE32(data, at + 4);
        at += 8;
        const qsizetype taken = qsizetype(std::min<uint64_t>(size, uint64_t(data.size() - at)));
        chunk.Data = data.sliced(at, taken);
        chunks.append(chunk);
        at += taken + (taken & 1);
    }
    return chunks;
}

QString ZeroTerminated(QByteArrayView data)
{
    data = data.first(std::min<qsizetype>(data.size(), 511));
    const qsizetype zero = data.indexOf('\0');
    return AnsiText::FromWindows1251((zero >= 0 ? data.first(zero) : data).toByteArray());
}

// Writes chunks, filling in each size when the chunk closes and padding odd sizes.
class TRiffWriter
{
public:
    QByteArray Out;
    qsizetype Open(const char *id)
    {
        Out.append(id, 4);
        Out.append(QByteArray(4, '\0'));
        return Out.size();
    }
    void Close(qsizetype start)
    {
        const uint32_t size = uint32_t(Out.size() - start);
        qToLittleEndian<uint32_t>(size, Out.data() + start - 4);
        if (size & 1)
            Out.append('\0');
    }
    void Put32(uint32_t value)
    {
        char bytes[4];
        qToLittleEndian<uint32_t>(value, bytes);
        Out.append(bytes, 4);
    }
};

} // namespace

TVxAni::TVxAni(QObject *parent) : QObject(parent), FTimer(new QTimer(this))
{
    FTimer->setInterval(100);
    connect(FTimer, &QTimer::timeout, this, [this] {
        FTimer->stop();
        Step();
        if (FIndex < 0)
            return;
        FTimer->start(StepInterval());
    });
}

TVxAni::~TVxAni() = default;

void TVxAni::Changed()
{
    if (OnChange)
        OnChange();
}

void TVxAni::Clear()
{
    const bool had = !FIcons.isEmpty();
    FIcons.clear();
    FTitle.clear();
    FAuthor.clear();
    FRates.clear();
    FSequence.clear();
    FFrameCount = 0;
    FOriginalColors = 0;
    FIndex = -1;
    FHeader = {};
    if (had)
        Changed();
}

void TVxAni::ReadIcon(QByteArrayView data)
{
    TIconDirectory directory;
    if (!ReadIconDirectory(data, directory) || (directory.Type != 1 && directory.Type != 2))
        return; // an unreadable icon loses its frame
    TVxIconFrame frame;
    frame.IsIcon = directory.Type == 1;
    frame.Rate = FHeader.dwJIFRate;
    frame.Data = data.toByteArray();
    for (const TIconDirEntry &e : directory.Entries) {
        const qsizetype at = e.ImageOffset;
        if (e.BytesInRes >= 16) {
            const int bits = qFromLittleEndian<uint16_t>(data.data() + at + 14);
            const uint16_t colours = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
            FOriginalColors = std::max(FOriginalColors, colours);
        }
    }
    frame.Icon = IconFromIconFile(data);
    if (frame.Icon.isNull())
        return;
    const TIconDirEntry &first = directory.Entries[0];
    frame.HotSpot = frame.IsIcon ? QPoint(frame.Icon.width() / 2, frame.Icon.height() / 2)
                                 : QPoint(first.Planes, first.BitCount);
    FIcons.append(frame);
}

void TVxAni::LoadFromData(QByteArrayView data)
{
    if (data.size() < 12 || data.first(4) != "RIFF" || data.sliced(8, 4) != "ACON")
        ReadFailed();
    Clear();
    const uint64_t riffSize = LE32(data, 4);
    QByteArrayView body = data.sliced(12, qsizetype(std::min<uint64_t>(riffSize >= 4 ? riffSize - 4 : 0, uint64_t(data.size() - 12))));
    bool sequenced = false;
    qint64 iconPixels = 0;
    for (const TChunk &chunk : Chunks(body)) {
        if (chunk.Id == "anih") {
            uint32_t fields[9] = {};
            for (int i = 0; i < 9 && 4 * i + 4 <= chunk.Data.size(); ++i)
                fields[i] = LE32(chunk.Data, 4 * i);
            FHeader = {fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6], fields[7], fields[8]};
            if (!(FHeader.dwFlags & 1) || FHeader.dwFrames == 0)
                ReadFailed();
        } else if (chunk.Id == "rate") {
            FRates.clear();
            for (qsizetype at = 0; at + 4 <= chunk.Data.size(); at += 4)
                FRates.append(LE32(chunk.Data, at));
        } else if (chunk.Id == "seq ") {
            FSequence.clear();
            for (qsizetype at = 0; at + 4 <= chunk.Data.size(); at += 4)
                FSequence.append(LE32(chunk.Data, at));
            // An empty sequence plays nothing; it counts as no sequence.
            FFrameCount = int(FSequence.size());
            sequenced = !FSequence.isEmpty();
        } else if (chunk.Id == "LIST" && chunk.Data.size() >= 4) {
            const QByteArrayView type = chunk.Data.first(4);
            const QList<TChunk> items = Chunks(chunk.Data.sliced(4));
            if (type == "fram") {
                for (const TChunk &item : items) {
                    if (item.Id != "icon")
                        continue;
                    const qsizetype before = FIcons.size();
                    ReadIcon(item.Data);
                    if (FIcons.size() > before && (iconPixels += PixelsOf(FIcons.back().Icon)) > MaxPixels) {
                        Clear();
                        ReadFailed();
                    }
                }
            } else if (type == "INFO") {
                for (const TChunk &item : items) {
                    if (item.Id == "INAM")
                        FTitle = ZeroTerminated(item.Data);
                    else if (item.Id == "IART")
                        FAuthor = ZeroTerminated(item.Data);
                }
            }
        }
    }
    if (!sequenced)
        FFrameCount = int(FIcons.size());
    FHeader.dwFrames = uint32_t(FIcons.size());
    // Every step must name an icon and, when rates are given, have one.
    const bool badSequence = std::any_of(FSequence.begin(), FSequence.end(),
                                         [&](uint32_t n) { return n >= uint32_t(FIcons.size()); });
    qint64 largest = 0;
    for (const TVxIconFrame &frame : FIcons)
        largest = std::max(largest, PixelsOf(frame.Icon));
    const bool tooMany = FFrameCount > MaxSteps || FFrameCount * largest > MaxPixels;
    if (FIcons.isEmpty() || badSequence || tooMany || (!FRates.isEmpty() && FRates.size() < FFrameCount)) {
        Clear();
        ReadFailed();
    }
    if (FFrameCount > 0)
        FIndex = 0;
    Changed();
}

QByteArray TVxAni::SaveToData() const
{
    // A step naming an icon we do not have would make a file no reader takes.
    const bool badSequence = std::any_of(FSequence.begin(), FSequence.end(),
                                         [&](uint32_t n) { return n >= uint32_t(FIcons.size()); });
    if (FIcons.isEmpty() || badSequence)
        throw EInvalidGraphicOperation(VxConsts::SInvalidImage);
    TRiffWriter w;
    const qsizetype riff = w.Open("RIFF");
    w.Out.append("ACON", 4);
    if (!FTitle.isEmpty() || !FAuthor.isEmpty()) {
        const qsizetype list = w.Open("LIST");
        w.Out.append("INFO", 4);
        for (const auto &[id, text] : {std::pair{"INAM", FTitle}, std::pair{"IART", FAuthor}}) {
            if (text.isEmpty())
                continue;
            const qsizetype item = w.Open(id);
            w.Out.append(AnsiText::ToWindows1251(text));
            w.Out.append('\0');
            w.Close(item);
        }
        w.Close(list);
    }
    const qsizetype anih = w.Open("anih");
    TVxAniHeader header = FHeader;
    header.dwSizeof = 36;
    header.dwFrames = uint32_t(FIcons.size());
    header.dwFlags |= 1;
    for (uint32_t field : {header.dwSizeof, header.dwFrames, header.dwSteps, header.dwCX, header.dwCY,
                           header.dwBitCount, header.dwPlanes, header.dwJIFRate, header.dwFlags})
        w.Put32(field);
    w.Close(anih);
    if (!FRates.isEmpty()) {
        const qsizetype rate = w.Open("rate");
        for (uint32_t r : FRates)
            w.Put32(r);
        // Steps without a rate of their own play at the header's; say so, as readers want one per step.
        for (qsizetype i = FRates.size(); i < FFrameCount; ++i)
            w.Put32(FHeader.dwJIFRate);
        w.Close(rate);
    }
    if (!FSequence.isEmpty()) {
        const qsizetype seq = w.Open("seq ");
        for (uint32_t s : FSequence)
            w.Put32(s);
        w.Close(seq);
    }
    const qsizetype fram = w.Open("LIST");
    w.Out.append("fram", 4);
    for (const TVxIconFrame &frame : FIcons) {
        const qsizetype icon = w.Open("icon");
        w.Out.append(frame.Data.isEmpty() ? IconToIconFile(frame.Icon, !frame.IsIcon, frame.HotSpot) : frame.Data);
        w.Close(icon);
    }
    w.Close(fram);
    w.Close(riff);
    return w.Out;
}

void TVxAni::Assign(const TVxAni &source)
{
    if (&source == this)
        return;
    FHeader = source.FHeader;
    FTitle = source.FTitle;
    FAuthor = source.FAuthor;
    FOriginalColors = source.FOriginalColors;
    FFrameCount = source.FFrameCount;
    FRates = source.FRates;
    FSequence = source.FSequence;
    FIcons = source.FIcons;
    FIndex = source.FIndex;
    SetAnimated(source.Animated());
    Changed();
}

void TVxAni::AddIcon(const TVxIconFrame &frame)
{
    // A rate of its own needs a rate per step; the steps so far keep the header's.
    if (FRates.isEmpty() && frame.Rate != FHeader.dwJIFRate)
        FRates = QList<uint32_t>(FFrameCount, FHeader.dwJIFRate);
    FIcons.append(frame);
    if (!FSequence.isEmpty())
        FSequence.append(uint32_t(FIcons.size() - 1));
    if (!FRates.isEmpty())
        FRates.append(frame.Rate);
    FFrameCount = FSequence.isEmpty() ? int(FIcons.size()) : int(FSequence.size());
    FHeader.dwFlags |= 1;
    FHeader.dwFrames = uint32_t(FIcons.size());
    if (FIndex < 0)
        FIndex = 0;
    Changed();
}

void TVxAni::SetSequence(const QList<uint32_t> &value)
{
    FSequence = value;
    FFrameCount = FSequence.isEmpty() ? int(FIcons.size()) : int(FSequence.size());
}

TVxIconFrame TVxAni::Frame(int i) const
{
    if (i < 0 || i >= FFrameCount)
        return {};
    const int icon = FSequence.isEmpty() ? i : int(FSequence[i]);
    if (icon < 0 || icon >= FIcons.size())
        return {};
    TVxIconFrame frame = FIcons[icon];
    frame.Rate = i < FRates.size() ? FRates[i] : FHeader.dwJIFRate;
    return frame;
}

void TVxAni::SetIndex(int value)
{
    if (value < 0 || value >= FFrameCount || value == FIndex)
        return;
    FIndex = value;
    Changed();
}

bool TVxAni::Animated() const
{
    return FTimer->isActive();
}

void TVxAni::SetAnimated(bool value)
{
    if (value)
        FTimer->start(StepInterval());
    else
        FTimer->stop();
}

int TVxAni::StepInterval() const
{
    const int interval = int(std::min<uint64_t>(uint64_t(Frame(FIndex).Rate) * 100 / 6, 0x7FFFFFFF));
    return interval == 0 ? 100 : interval;
}

void TVxAni::Step()
{
    if (FFrameCount > 0) {
        FIndex = (FIndex + 1) % FFrameCount;
        Changed();
    }
}

int TVxAni::Width() const
{
    return Frame(FIndex).Icon.width();
}

int TVxAni::Height() const
{
    return Frame(FIndex).Icon.height();
}

void TVxAni::SetWidth(int)
{
    throw EInvalidGraphicOperation(VxConsts::SChangeIconSize);
}

void TVxAni::SetHeight(int)
{
    throw EInvalidGraphicOperation(VxConsts::SChangeIconSize);
}

void TVxAni::Draw(QPainter &canvas, const QRect &rect) const
{
    const QImage icon = Frame(FIndex).Icon;
    if (!icon.isNull())
        DrawIconAtOwnSize(canvas, icon, rect.left(), rect.top());
}

void TVxAni::SaveToClipboardFormat(QMimeData &) const
{
    throw EInvalidGraphicOperation(VxConsts::SIconToClipboard);
}

void TVxAni::LoadFromClipboardFormat(const QMimeData &)
{
    throw EInvalidGraphicOperation(VxConsts::SIconToClipboard);
}

QImage TVxAni::AssignToBitmap(TColor backColor, bool decreaseColors, bool vertical)
{
    if (FFrameCount == 0 || FIcons.isEmpty())
        return {};
    const QSize size = FIcons[0].Icon.size();
    QImage bitmap(vertical ? size.width() : size.width() * FFrameCount,
                  vertical ? size.height() * FFrameCount : size.height(), QImage::Format_RGB32);
    bitmap.fill(RgbFromColor(backColor));
    {
        QPainter painter(&bitmap);
        for (int i = 0; i < FFrameCount; ++i) {
            const QPoint at = vertical ? QPoint(0, i * size.height()) : QPoint(i * size.width(), 0);
            DrawIconAtOwnSize(painter, Frame(i).Icon, at.x(), at.y());
        }
    }
    if (decreaseColors)
        bitmap = ImageFromDib(BmpToDib(BitmapToMemoryStreamByCount(bitmap, std::max<int>(FOriginalColors, 16))));
    return bitmap;
}
