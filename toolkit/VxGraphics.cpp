#include "toolkit/VxGraphics.h"

TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::RegisterChanges(TChangeLink *link)
{
    if (link && !FLinks.contains(link))
        FLinks.append(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink *link)
{
    FLinks.removeAll(link);
}

void TCustomImageList::Change()
{
    if (FUpdateCount > 0)
        return;
    NotifyLinks();
}

void TCustomImageList::BeginUpdate()
{
    ++FUpdateCount;
}

void TCustomImageList::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    // Switching the update state off announces the change.
    if (--FUpdateCount == 0)
        NotifyLinks();
}

void TCustomImageList::NotifyLinks()
{
    const QList<TChangeLink *> links = FLinks;
    for (TChangeLink *link : links)
        if (link->OnChange)
            link->OnChange();
}

bool SwapImageListReference(QObject *owner, TCustomImageList *newValue, TCustomImageList *&field,
                            TChangeLink *changeLink)
{
    if (newValue == field || !owner)
        return false;
    if (field && changeLink)
        field->UnRegisterChanges(changeLink);
    SwapComponentReference(owner, newValue, field);
    if (newValue && changeLink)
        newValue->RegisterChanges(changeLink);
    return true;
}

#include "toolkit/VxTypes.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <unordered_map>
#include <vector>

QColor ColorToRGB(TColor color, const QPalette &palette); // the controls' own colour rule

QRgb RgbFromColor(TColor color)
{
    if (color & 0x80000000u)
        return ColorToRGB(color, QGuiApplication::palette()).rgb();
    return qRgb(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

namespace {

void PutLE16(QByteArray &out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

void PutLE32(QByteArray &out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

uint32_t LE32(QByteArrayView data, qsizetype at)
{
    return qFromLittleEndian<uint32_t>(data.data() + at);
}

uint16_t LE16(QByteArrayView data, qsizetype at)
{
    return qFromLittleEndian<uint16_t>(data.data() + at);
}

int Distance(QRgb a, QRgb b)
{
    const int r = qRed(a) - qRed(b), g = qGreen(a) - qGreen(b), bl = qBlue(a) - qBlue(b);
    return r * r + g * g + bl * bl;
}

int Nearest(const QList<QRgb> &palette, QRgb colour)
{
    int best = 0, bestDistance = 0x30000;
    for (int i = 0; i < palette.size(); ++i) {
        const int d = Distance(palette[i], colour);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

constexpr QRgb Grey80 = 0xFF808080;

} // namespace

TPixelFormat PixelFormatOf(const QImage &bitmap)
{
    switch (bitmap.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return pf1bit;
    case QImage::Format_Indexed8:
        return pf8bit;
    case QImage::Format_RGB555:
        return pf15bit;
    case QImage::Format_RGB16:
        return pf16bit;
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
        return pf24bit;
    case QImage::Format_Invalid:
        return pfDevice;
    default:
        return pf32bit;
    }
}

int ColorsOfFormat(TPixelFormat format)
{
    switch (format) {
    case pf1bit: return 2;
    case pf4bit: return 16;
    case pf8bit: return 256;
    default: return 0;
    }
}

TPixelFormat PixelFormatOfColors(int count)
{
    return count <= 2 ? pf1bit : count <= 16 ? pf4bit : count <= 256 ? pf8bit : pf24bit;
}

const QList<QRgb> &DefaultPalette16()
{
    static const QList<QRgb> palette = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
    return palette;
}

QByteArray DibToBmp(const TDib &dib)
{
    const int tableEntries = dib.BitCount <= 8 ? 1 << dib.BitCount : 0;
    const uint32_t offset = 14 + 40 + 4 * tableEntries;
    const int rowBytes = BmpRowBytes(dib.Width, dib.BitCount);
    const uint32_t imageSize = uint32_t(rowBytes) * uint32_t(dib.Height);
    QByteArray out;
    out.reserve(qsizetype(offset + imageSize));
    out.append("BM", 2);
    PutLE32(out, offset + imageSize);
    PutLE32(out, 0);
    PutLE32(out, offset);
    PutLE32(out, 40);
    PutLE32(out, uint32_t(dib.Width));
    PutLE32(out, uint32_t(dib.Height));
    PutLE16(out, 1);
    PutLE16(out, dib.BitCount);
    PutLE32(out, 0);
    PutLE32(out, imageSize);
    PutLE32(out, 0);
    PutLE32(out, 0);
    PutLE32(out, uint32_t(dib.ClrUsed));
    PutLE32(out, 0);
    for (int i = 0; i < tableEntries; ++i) {
        const QRgb c = i < dib.Palette.size() ? dib.Palette[i] : 0;
        out.append(char(qBlue(c)));
        out.append(char(qGreen(c)));
        out.append(char(qRed(c)));
        out.append('\0');
    }
    out.append(dib.Pixels.left(imageSize));
    out.append(QByteArray(qsizetype(imageSize) - qMin<qsizetype>(imageSize, dib.Pixels.size()), '\0'));
    return out;
}

TDib BmpToDib(QByteArrayView bmp)
{
    TDib dib;
    if (bmp.size() < 54 || bmp[0] != 'B' || bmp[1] != 'M')
        return dib;
    const uint32_t offset = LE32(bmp, 10);
    const uint32_t headerSize = LE32(bmp, 14);
    const int32_t width = int32_t(LE32(bmp, 18));
    const int32_t height = int32_t(LE32(bmp, 22));
    const int bitCount = LE16(bmp, 28);
    const uint32_t compression = LE32(bmp, 30);
    uint32_t clrUsed = LE32(bmp, 46);
    if (headerSize < 40 || compression != 0 || width <= 0 || height <= 0 || width > 0x8000 || height > 0x8000
        || (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32))
        return dib;
    const int64_t rowBytes = BmpRowBytes(width, bitCount);
    const qsizetype tableAt = 14 + qsizetype(headerSize);
    const int maxEntries = bitCount <= 8 ? 1 << bitCount : 0;
    if (clrUsed == 0 || clrUsed > uint32_t(maxEntries))
        clrUsed = maxEntries;
    if (tableAt + 4 * qsizetype(clrUsed) > bmp.size() || offset > uint64_t(bmp.size())
        || int64_t(offset) + rowBytes * height > bmp.size())
        return dib;
    dib.Width = width;
    dib.Height = height;
    dib.BitCount = bitCount;
    for (uint32_t i = 0; i < clrUsed; ++i) {
        const qsizetype at = tableAt + 4 * i;
        dib.Palette.append(qRgb(uint8_t(bmp[at + 2]), uint8_t(bmp[at + 1]), uint8_t(bmp[at])));
    }
    dib.Pixels = bmp.sliced(offset, rowBytes * height).toByteArray();
    return dib;
}

TDib DibFromImage(const QImage &bitmap, int bitCount)
{
    TDib dib;
    if (bitmap.isNull())
        return dib;
    dib.Width = bitmap.width();
    dib.Height = bitmap.height();
    dib.BitCount = bitCount;
    const int rowBytes = BmpRowBytes(dib.Width, bitCount);
    dib.Pixels = QByteArray(qsizetype(rowBytes) * dib.Height, '\0');
    if (bitCount >= 24) {
        const QImage rgb = bitmap.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < dib.Height; ++y) {
            auto *out = reinterpret_cast<uint8_t *>(dib.Pixels.data()) + int64_t(dib.Height - 1 - y) * rowBytes;
            const auto *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
            for (int x = 0; x < dib.Width; ++x) {
                *out++ = uint8_t(qBlue(in[x]));
                *out++ = uint8_t(qGreen(in[x]));
                *out++ = uint8_t(qRed(in[x]));
                if (bitCount == 32)
                    *out++ = uint8_t(qAlpha(in[x]));
            }
        }
        return dib;
    }
    // Indexed pictures keep their own table when it fits; others map onto a fixed one.
    QImage indexed = bitmap;
    if (indexed.format() == QImage::Format_Mono || indexed.format() == QImage::Format_MonoLSB)
        indexed = indexed.convertToFormat(QImage::Format_Indexed8);
    const bool ownTable = indexed.format() == QImage::Format_Indexed8 && indexed.colorCount() <= (1 << bitCount);
    if (ownTable) {
        dib.Palette = indexed.colorTable();
    } else {
        dib.Palette = bitCount == 1 ? QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}
                    : bitCount == 4 ? DefaultPalette16()
                                    : QList<QRgb>{};
        if (dib.Palette.isEmpty())
            return dib; // 8 bits without a table go through colour reduction
        indexed = bitmap.convertToFormat(QImage::Format_ARGB32);
    }
    std::unordered_map<QRgb, int> cache;
    for (int y = 0; y < dib.Height; ++y) {
        auto *out = reinterpret_cast<uint8_t *>(dib.Pixels.data()) + int64_t(dib.Height - 1 - y) * rowBytes;
        for (int x = 0; x < dib.Width; ++x) {
            int index;
            if (ownTable) {
                index = indexed.constScanLine(y)[x];
            } else {
                const QRgb c = reinterpret_cast<const QRgb *>(indexed.constScanLine(y))[x] | 0xFF000000;
                auto it = cache.find(c);
                index = it != cache.end() ? it->second : cache[c] = Nearest(dib.Palette, c);
            }
            if (bitCount == 1)
                out[x >> 3] |= uint8_t((index & 1) << (7 - (x & 7)));
            else if (bitCount == 4)
                out[x >> 1] |= uint8_t((index & 0xF) << ((x & 1) ? 0 : 4));
            else
                out[x] = uint8_t(index);
        }
    }
    return dib;
}

QImage ImageFromDib(const TDib &dib)
{
    if (dib.Width <= 0 || dib.Height <= 0)
        return {};
    const int rowBytes = BmpRowBytes(dib.Width, dib.BitCount);
    QImage image;
    if (dib.BitCount <= 8) {
        image = QImage(dib.Width, dib.Height, dib.BitCount == 1 ? QImage::Format_Mono : QImage::Format_Indexed8);
        QList<QRgb> table = dib.Palette;
        while (table.size() < (1 << dib.BitCount))
            table.append(Grey80);
        image.setColorTable(table);
    } else {
        image = QImage(dib.Width, dib.Height, dib.BitCount == 32 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    }
    if (image.isNull())
        return {};
    for (int y = 0; y < dib.Height; ++y) {
        const auto *in = reinterpret_cast<const uint8_t *>(dib.Pixels.constData()) + int64_t(dib.Height - 1 - y) * rowBytes;
        uchar *out = image.scanLine(y);
        switch (dib.BitCount) {
        case 1:
            std::copy(in, in + (dib.Width + 7) / 8, out);
            break;
        case 4:
            for (int x = 0; x < dib.Width; ++x)
                out[x] = (in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
            break;
        case 8:
            std::copy(in, in + dib.Width, out);
            break;
        default: {
            auto *rgb = reinterpret_cast<QRgb *>(out);
            const int step = dib.BitCount / 8;
            for (int x = 0; x < dib.Width; ++x, in += step)
                rgb[x] = qRgba(in[2], in[1], in[0], step == 4 ? in[3] : 255);
        }
        }
    }
    return image;
}

namespace {

struct TPopularColour
{
    QRgb Colour;
    uint32_t Count;
    int Index;
};

// Popularity: the most frequent colours, with precision dropped until at most 2049 remain.
QList<QRgb> Popularity(const TDib &dib, std::vector<int> &indices, const std::vector<QRgb> &pixels)
{
    constexpr int MaxColours = 2049;
    std::array<int, 3> masks = {0xFF, 0xFF, 0xFF}; // red, green, blue
    std::vector<TPopularColour> colours;
    std::unordered_map<QRgb, int> lookup;
    auto masked = [&](QRgb c) { return qRgb(qRed(c) & masks[0], qGreen(c) & masks[1], qBlue(c) & masks[2]); };
    for (;;) {
        colours.clear();
        lookup.clear();
        bool fits = true;
        for (QRgb c : pixels) {
            const QRgb m = masked(c);
            auto it = lookup.find(m);
            if (it != lookup.end()) {
                ++colours[it->second].Count;
                continue;
            }
            if (int(colours.size()) == MaxColours) {
                fits = false;
                break;
            }
            lookup.emplace(m, int(colours.size()));
            colours.push_back({m, 1, -1});
        }
        if (fits)
            break;
        int &mask = masks[0] < masks[1] ? masks[1] : masks[0] > masks[2] ? masks[0] : masks[2];
        mask = (mask << 1) & 0xFF;
    }
    QList<QRgb> palette;
    while (palette.size() < 256) {
        TPopularColour *best = nullptr;
        for (auto &c : colours)
            if (c.Count > 0 && (!best || c.Count > best->Count))
                best = &c;
        if (!best)
            break;
        best->Index = int(palette.size());
        best->Count = 0;
        palette.append(best->Colour);
    }
    const QList<QRgb> taken = palette;
    for (auto &c : colours)
        if (c.Index < 0)
            c.Index = Nearest(taken, c.Colour);
    while (palette.size() < 256)
        palette.append(Grey80);
    indices.resize(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i)
        indices[i] = colours[lookup[masked(pixels[i])]].Index;
    (void)dib;
    return palette;
}

// Median cut over the 4096 cells of 12-bit colour.
QList<QRgb> MedianCut(std::vector<int> &indices, const std::vector<QRgb> &pixels, int &used)
{
    struct TBox
    {
        std::array<int, 3> Lower{0, 0, 0};
        std::array<int, 3> Extent{255, 255, 255};
        std::vector<int> Cells;
    };
    std::vector<uint32_t> counts(4096, 0);
    auto cellOf = [](QRgb c) { return (qRed(c) & 0xF0) << 4 | (qGreen(c) & 0xF0) | (qBlue(c) & 0xF0) >> 4; };
    for (QRgb c : pixels)
        ++counts[cellOf(c)];
    auto channel = [](int cell, int ch) { return (cell >> (8 - 4 * ch)) & 0xF; };
    std::vector<TBox> boxes(1);
    for (int cell = 0; cell < 4096; ++cell)
        if (counts[cell])
            boxes[0].Cells.push_back(cell);
    while (boxes.size() < 256) {
        int bestBox = -1, bestChannel = 0, bestExtent = -1;
        for (size_t b = 0; b < boxes.size(); ++b)
            if (boxes[b].Cells.size() > 1)
                for (int ch = 0; ch < 3; ++ch)
                    if (boxes[b].Extent[ch] > bestExtent) {
                        bestExtent = boxes[b].Extent[ch];
                        bestBox = int(b);
                        bestChannel = ch;
                    }
        if (bestBox < 0)
            break;
        TBox &box = boxes[bestBox];
        std::stable_sort(box.Cells.begin(), box.Cells.end(),
                         [&](int a, int b) { return channel(a, bestChannel) < channel(b, bestChannel); });
        uint64_t total = 0;
        for (int cell : box.Cells)
            total += counts[cell];
        size_t take = 1;
        uint64_t running = counts[box.Cells[0]];
        while (take + 1 < box.Cells.size() && running + counts[box.Cells[take]] <= total / 2)
            running += counts[box.Cells[take++]];
        TBox second;
        second.Cells.assign(box.Cells.begin() + qsizetype(take), box.Cells.end());
        box.Cells.resize(take);
        second.Lower = box.Lower;
        second.Extent = box.Extent;
        const int upper = box.Lower[bestChannel] + box.Extent[bestChannel];
        box.Extent[bestChannel] = std::max(0, 16 * channel(box.Cells.back(), bestChannel) - box.Lower[bestChannel]);
        second.Lower[bestChannel] = 16 * channel(second.Cells.front(), bestChannel);
        second.Extent[bestChannel] = std::max(0, upper - second.Lower[bestChannel]);
        boxes.push_back(std::move(second));
    }
    std::vector<uint8_t> boxOfCell(4096, 0);
    QList<QRgb> palette;
    for (size_t b = 0; b < boxes.size(); ++b) {
        std::array<int, 3> sums{0, 0, 0};
        for (int cell : boxes[b].Cells) {
            boxOfCell[cell] = uint8_t(b);
            for (int ch = 0; ch < 3; ++ch)
                sums[ch] += channel(cell, ch);
        }
        const int n = std::max<int>(1, int(boxes[b].Cells.size()));
        std::array<int, 3> mean;
        for (int ch = 0; ch < 3; ++ch)
            mean[ch] = std::min(255, (sums[ch] * 16 + 15) / n);
        if (mean[0] <= 16 && mean[1] <= 16 && mean[2] <= 16)
            mean = {0, 0, 0};
        palette.append(qRgb(mean[0], mean[1], mean[2]));
    }
    used = boxes[0].Cells.empty() ? 0 : int(boxes.size());
    while (palette.size() < 256)
        palette.append(0);
    indices.resize(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i)
        indices[i] = boxOfCell[cellOf(pixels[i])];
    return palette;
}

int NearestLevel(const std::vector<int> &levels, int value)
{
    int best = 0;
    for (size_t i = 1; i < levels.size(); ++i)
        if (std::abs(levels[i] - value) < std::abs(levels[best] - value))
            best = int(i);
    return best;
}

QList<QRgb> FixedPalette(const std::vector<int> &reds, const std::vector<int> &greens, const std::vector<int> &blues,
                         std::vector<int> &indices, const std::vector<QRgb> &pixels)
{
    QList<QRgb> palette;
    for (int r : reds)
        for (int g : greens)
            for (int b : blues)
                palette.append(qRgb(r, g, b));
    while (palette.size() < 256)
        palette.append(Grey80);
    std::array<std::array<int, 256>, 3> level;
    for (int v = 0; v < 256; ++v) {
        level[0][v] = NearestLevel(reds, v);
        level[1][v] = NearestLevel(greens, v);
        level[2][v] = NearestLevel(blues, v);
    }
    const int g = int(greens.size()), b = int(blues.size());
    indices.resize(pixels.size());
    for (size_t i = 0; i < pixels.size(); ++i) {
        const QRgb c = pixels[i];
        indices[i] = (level[0][qRed(c)] * g + level[1][qGreen(c)]) * b + level[2][qBlue(c)];
    }
    return palette;
}

} // namespace

void ReduceColors(TDib &dib, TColorMappingMethod method)
{
    if (dib.BitCount != 24)
        throw EVxException(VxConsts::SBitsPerPixelNotImplemented);
    const int inRow = BmpRowBytes(dib.Width, 24);
    const int outRow = BmpRowBytes(dib.Width, 8);
    std::vector<QRgb> pixels;
    pixels.reserve(size_t(dib.Width) * dib.Height);
    for (int y = 0; y < dib.Height; ++y) {
        const auto *in = reinterpret_cast<const uint8_t *>(dib.Pixels.constData()) + int64_t(y) * inRow;
        for (int x = 0; x < dib.Width; ++x, in += 3)
            pixels.push_back(qRgb(in[2], in[1], in[0]));
    }
    std::vector<int> indices;
    QList<QRgb> palette;
    int used = 0;
    switch (method) {
    case cmPopularity:
        palette = Popularity(dib, indices, pixels);
        break;
    case cmMedianCut:
        palette = MedianCut(indices, pixels, used);
        break;
    case cmPalette784:
        palette = FixedPalette({0, 43, 85, 128, 170, 213, 255}, {0, 36, 73, 109, 146, 182, 219, 255}, {0, 85, 170, 255},
                               indices, pixels);
        used = 224;
        break;
    case cmPalette666:
        palette = FixedPalette({0, 51, 102, 153, 204, 255}, {0, 51, 102, 153, 204, 255}, {0, 51, 102, 153, 204, 255},
                               indices, pixels);
        used = 216;
        break;
    case cmChannelRamps:
        for (int i = 0; i < 256; ++i)
            palette.append(i < 64 ? qRgb(i * 4, 0, 0) : i < 128 ? qRgb(0, (i - 64) * 4, 0)
                         : i < 192 ? qRgb(0, 0, (i - 128) * 4) : qRgb(0, 0, 0));
        indices.resize(pixels.size());
        for (int y = 0, i = 0; y < dib.Height; ++y)
            for (int x = 0; x < dib.Width; ++x, ++i) {
                const QRgb c = pixels[i];
                const int phase = (y + x) % 3;
                indices[i] = phase == 0 ? qRed(c) >> 2 : phase == 1 ? 64 + (qGreen(c) >> 2) : 128 + (qBlue(c) >> 2);
            }
        break;
    case cmGrayscale:
        for (int i = 0; i < 256; ++i)
            palette.append(qRgb(i, i, i));
        indices.resize(pixels.size());
        for (size_t i = 0; i < pixels.size(); ++i)
            indices[i] = (qRed(pixels[i]) * 77 + qGreen(pixels[i]) * 150 + qBlue(pixels[i]) * 29) >> 8;
        break;
    }
    QByteArray out(qsizetype(outRow) * dib.Height, '\0');
    for (int y = 0, i = 0; y < dib.Height; ++y)
        for (int x = 0; x < dib.Width; ++x, ++i)
            out[qsizetype(y) * outRow + x] = char(indices[i]);
    dib.Pixels = out;
    dib.BitCount = 8;
    dib.Palette = palette;
    dib.ClrUsed = used;
}

QByteArray BitmapToMemoryStream(const QImage &bitmap, TPixelFormat format, TColorMappingMethod method)
{
    if (bitmap.isNull())
        throw EInvalidGraphic(VxConsts::SInvalidBitmap);
    const TPixelFormat own = PixelFormatOf(bitmap);
    if (format == own && method != cmGrayscale) {
        const int bits = own == pf1bit ? 1 : own == pf8bit ? 8 : own == pf24bit ? 24 : 32;
        return DibToBmp(DibFromImage(bitmap, bits));
    }
    switch (format) {
    case pf1bit:
    case pf4bit:
    case pf24bit: {
        TDib dib = DibFromImage(bitmap, format == pf1bit ? 1 : format == pf4bit ? 4 : 24);
        if (dib.BitCount <= 8)
            dib.ClrUsed = 1 << dib.BitCount;
        return DibToBmp(dib);
    }
    case pf8bit: {
        TDib dib = DibFromImage(bitmap, 24);
        ReduceColors(dib, method);
        return DibToBmp(dib);
    }
    default:
        throw EVxException(VxConsts::SPixelFormatNotImplemented);
    }
}

QByteArray BitmapToMemoryStreamByCount(const QImage &bitmap, int colors)
{
    return BitmapToMemoryStream(bitmap, PixelFormatOfColors(colors), DefaultMappingMethod);
}

void StretchBitmapTransparent(QPainter &canvas, const QImage &bitmap, TColor transparent, int x, int y,
                              int width, int height, int sourceX, int sourceY, int sourceWidth,
                              int sourceHeight)
{
    if (bitmap.isNull())
        return;
    if (width < 1)
        width = bitmap.width();
    if (height < 1)
        height = bitmap.height();
    if (sourceWidth < 1 || sourceHeight < 1) {
        sourceX = sourceY = 0;
        sourceWidth = bitmap.width();
        sourceHeight = bitmap.height();
    }
    const QRect target(x, y, width, height), source(sourceX, sourceY, sourceWidth, sourceHeight);
    canvas.save();
    canvas.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (transparent == clNone) {
        canvas.drawImage(target, bitmap, source);
        canvas.restore();
        return;
    }
    QImage keyed = bitmap.convertToFormat(QImage::Format_ARGB32);
    const bool monochrome = bitmap.format() == QImage::Format_Mono || bitmap.format() == QImage::Format_MonoLSB;
    QRgb key = transparent == clDefault ? keyed.pixel(0, keyed.height() - 1) : RgbFromColor(transparent);
    if (monochrome)
        key = qRgb(255, 255, 255);
    key |= 0xFF000000;
    for (int row = 0; row < keyed.height(); ++row) {
        auto *line = reinterpret_cast<QRgb *>(keyed.scanLine(row));
        for (int column = 0; column < keyed.width(); ++column)
            if ((line[column] | 0xFF000000) == key)
                line[column] = 0;
    }
    canvas.drawImage(target, keyed, source);
    canvas.restore();
}

void StretchBitmapRectTransparent(QPainter &canvas, int x, int y, int width, int height, const QRect &source,
                                  const QImage &bitmap, TColor transparent)
{
    StretchBitmapTransparent(canvas, bitmap, transparent, x, y, width, height, source.x(), source.y(),
                             source.width(), source.height());
}
