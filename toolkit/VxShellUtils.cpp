#include "toolkit/VxShellUtils.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QImageReader>
#include <QPainter>
#include <QWidget>
#include <QtEndian>

#include <algorithm>

uint32_t ShellLibraryVersion()
{
    return ShellVersionMS;
}

bool AnimationEnabled()
{
    return false;
}

void SetAnimationEnabled(bool)
{
}

bool ShowWindowNoAnimation(QWidget *window, bool show)
{
    if (!window)
        return false;
    const bool wasVisible = window->isVisible();
    window->setVisible(show);
    return wasVisible;
}

namespace {

uint16_t LE16(QByteArrayView d, qsizetype at) { return qFromLittleEndian<uint16_t>(d.data() + at); }
uint32_t LE32(QByteArrayView d, qsizetype at) { return qFromLittleEndian<uint32_t>(d.data() + at); }

void Put16(QByteArray &out, uint16_t v)
{
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

void Put32(QByteArray &out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

constexpr int MaxIconSide = 1024;

} // namespace

bool ReadIconDirectory(QByteArrayView file, TIconDirectory &directory)
{
    directory = {};
    if (file.size() < 6 || LE16(file, 0) != 0)
        return false;
    directory.Type = LE16(file, 2);
    const int count = LE16(file, 4);
    if (count == 0 || 6 + 16 * qsizetype(count) > file.size())
        return false;
    for (int i = 0; i < count; ++i) {
        const qsizetype at = 6 + 16 * i;
        TIconDirEntry e;
        e.Width = uint8_t(file[at]);
        e.Height = uint8_t(file[at + 1]);
        e.ColorCount = uint8_t(file[at + 2]);
        e.Reserved = uint8_t(file[at + 3]);
        e.Planes = LE16(file, at + 4);
        e.BitCount = LE16(file, at + 6);
        e.BytesInRes = LE32(file, at + 8);
        e.ImageOffset = LE32(file, at + 12);
        if (e.ImageOffset > uint64_t(file.size()) || e.BytesInRes > uint64_t(file.size()) - e.ImageOffset)
            return false;
        directory.Entries.append(e);
    }
    return true;
}

uint16_t DisplayColorCount(int bitsTimesPlanes)
{
    switch (bitsTimesPlanes) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    case 32: return 1;
    default: return 0;
    }
}

int ChooseIconEntry(const QList<TIconDirEntry> &entries, uint16_t displayColors)
{
    auto colours = [](const TIconDirEntry &e) { return uint16_t(e.ColorCount | e.Reserved << 8); };
    for (int i = 0; i < entries.size(); ++i)
        if (colours(entries[i]) == displayColors)
            return i;
    int best = -1;
    for (int i = 0; i < entries.size(); ++i)
        if (colours(entries[i]) <= displayColors && (best < 0 || colours(entries[i]) > colours(entries[best])))
            best = i;
    return best < 0 ? 0 : best;
}

int BitsToScanlineBytes(int bits)
{
    return (bits + 31) / 32 * 4;
}

int PaletteEntriesForBits(int bitCount)
{
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

QImage DIBToIconImage(QByteArrayView image)
{
    if (image.startsWith("\x89PNG")) {
        // The header says the size before anything is inflated: a few bytes of zeros can unpack
        // to hundreds of megabytes, far beyond any icon.
        QByteArray bytes = image.toByteArray();
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, "PNG");
        const QSize size = reader.size();
        if (!size.isValid() || size.width() > MaxIconSide || size.height() > MaxIconSide)
            return {};
        return reader.read().convertToFormat(QImage::Format_ARGB32);
    }
    if (image.size() < 40)
        return {};
    const uint32_t headerSize = LE32(image, 0);
    const int32_t width = int32_t(LE32(image, 4));
    const int32_t height = int32_t(LE32(image, 8)) / 2; // the height counts colour bits and mask
    const int bitCount = LE16(image, 14);
    const uint32_t compression = LE32(image, 16);
    const uint32_t clrUsed = LE32(image, 32);
    if (headerSize < 40 || headerSize > uint64_t(image.size()) || compression != 0 || width <= 0 || height <= 0
        || width > MaxIconSide || height > MaxIconSide)
        return {};
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        return {};
    int entries = PaletteEntriesForBits(bitCount);
    if (clrUsed > 0 && clrUsed < uint32_t(entries))
        entries = int(clrUsed);
    const qsizetype paletteAt = headerSize;
    const qsizetype xorAt = paletteAt + 4 * entries;
    const int xorRow = BitsToScanlineBytes(width * bitCount);
    const int andRow = BitsToScanlineBytes(width);
    const qsizetype andAt = xorAt + qsizetype(xorRow) * height;
    const bool hasMask = andAt + qsizetype(andRow) * height <= image.size();
    if (andAt > image.size())
        return {};
    auto byteAt = [&](qsizetype at) { return uint8_t(image[at]); };
    QImage out(width, height, QImage::Format_ARGB32);
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const qsizetype row = xorAt + qsizetype(height - 1 - y) * xorRow;
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < width; ++x) {
            QRgb c;
            if (bitCount >= 24) {
                const qsizetype p = row + qsizetype(x) * (bitCount / 8);
                const int alpha = bitCount == 32 ? byteAt(p + 3) : 255;
                anyAlpha = anyAlpha || (bitCount == 32 && alpha != 0);
                c = qRgba(byteAt(p + 2), byteAt(p + 1), byteAt(p), alpha);
            } else {
                int index;
                if (bitCount == 1)
                    index = (byteAt(row + x / 8) >> (7 - x % 8)) & 1;
                else if (bitCount == 4)
                    index = (byteAt(row + x / 2) >> ((x & 1) ? 0 : 4)) & 0xF;
                else
                    index = byteAt(row + x);
                if (index < entries) {
                    const qsizetype p = paletteAt + 4 * index;
                    c = qRgb(byteAt(p + 2), byteAt(p + 1), byteAt(p));
                } else {
                    c = qRgb(0, 0, 0);
                }
            }
            line[x] = c;
        }
    }
    // Colour images without their own alpha take it from the AND mask (1 = transparent).
    if (!anyAlpha) {
        for (int y = 0; y < height; ++y) {
            auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
            const qsizetype row = andAt + qsizetype(height - 1 - y) * andRow;
            for (int x = 0; x < width; ++x) {
                const bool transparent = hasMask && ((byteAt(row + x / 8) >> (7 - x % 8)) & 1);
                line[x] = transparent ? 0 : (line[x] | 0xFF000000);
            }
        }
    }
    return out;
}

QImage IconFromIconFile(QByteArrayView file)
{
    TIconDirectory directory;
    if (!ReadIconDirectory(file, directory))
        return {};
    const TIconDirEntry &e = directory.Entries[ChooseIconEntry(directory.Entries, DisplayColorCount(32))];
    return DIBToIconImage(file.sliced(e.ImageOffset, e.BytesInRes));
}

QByteArray IconToIconFile(const QImage &icon, bool cursor, QPoint hotSpot)
{
    const QImage argb = icon.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width(), height = argb.height();
    const int andRow = BitsToScanlineBytes(width);
    QByteArray image;
    Put32(image, 40);
    Put32(image, uint32_t(width));
    Put32(image, uint32_t(height * 2));
    Put16(image, 1);
    Put16(image, 32);
    Put32(image, 0);
    Put32(image, uint32_t((width * 4 + andRow) * height));
    for (int i = 0; i < 4; ++i)
        Put32(image, 0);
    for (int y = height - 1; y >= 0; --y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            image.append(char(qBlue(line[x])));
            image.append(char(qGreen(line[x])));
            image.append(char(qRed(line[x])));
            image.append(char(qAlpha(line[x])));
        }
    }
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(andRow, '\0');
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if (qAlpha(line[x]) == 0)
                row[x / 8] = char(uint8_t(row[x / 8]) | (0x80 >> (x % 8)));
        image.append(row);
    }
    QByteArray file;
    Put16(file, 0);
    Put16(file, cursor ? 2 : 1);
    Put16(file, 1);
    file.append(char(width >= 256 ? 0 : width));
    file.append(char(height >= 256 ? 0 : height));
    file.append('\0');
    file.append('\0');
    Put16(file, cursor ? uint16_t(hotSpot.x()) : 1);
    Put16(file, cursor ? uint16_t(hotSpot.y()) : 32);
    Put32(file, uint32_t(image.size()));
    Put32(file, 22);
    return file + image;
}

QSize IconSize(const QImage &icon)
{
    return icon.isNull() ? QSize(32, 32) : icon.size();
}

void DrawIconAtOwnSize(QPainter &canvas, const QImage &icon, int x, int y)
{
    if (!icon.isNull())
        canvas.drawImage(QPoint(x, y), icon);
}

int DrawTextOnCanvas(QPainter &canvas, const QString &text, QRect &rect, uint32_t flags)
{
    const QFontMetrics metrics(canvas.font());
    int align = (flags & DT_CENTER) ? Qt::AlignHCenter : (flags & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    if (flags & DT_SINGLELINE)
        align |= (flags & DT_VCENTER) ? Qt::AlignVCenter : (flags & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
    else
        align |= Qt::AlignTop;
    if (flags & DT_WORDBREAK)
        align |= Qt::TextWordWrap;
    if (!(flags & DT_NOPREFIX))
        align |= Qt::TextShowMnemonic;
    QString shown = text;
    if ((flags & DT_END_ELLIPSIS) && !(flags & DT_WORDBREAK))
        shown = metrics.elidedText(text, Qt::ElideRight, rect.width(), (flags & DT_NOPREFIX) ? 0 : Qt::TextShowMnemonic);
    if (flags & DT_CALCRECT) {
        const QRect bound = metrics.boundingRect(QRect(rect.topLeft(), QSize(rect.width() > 0 ? rect.width() : 0xFFFF, 0xFFFF)),
                                                 align, shown);
        rect.setSize(bound.size());
        return bound.height();
    }
    QRect drawn;
    canvas.drawText(rect, align, shown, &drawn);
    return drawn.height();
}
