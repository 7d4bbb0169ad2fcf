#include "toolkit/VxLZW.h"

#include "toolkit/VxTypes.h"

#include <array>
#include <vector>

namespace {

constexpr int MaxCodes = 4096;

// Walks the image rows in stored order or in the four interlace passes.
class TRowCursor
{
public:
    TRowCursor(int height, bool interlaced) : FHeight(height), FInterlaced(interlaced) {}
    int Row() const { return FRow; }
    bool Done() const { return FRow >= FHeight; }
    void Next()
    {
        if (!FInterlaced) {
            ++FRow;
            return;
        }
        static constexpr int Step[4] = {8, 8, 4, 2};
        static constexpr int Start[4] = {0, 4, 2, 1};
        FRow += Step[FPass];
        while (FRow >= FHeight && FPass < 3) {
            ++FPass;
            FRow = Start[FPass];
        }
    }

private:
    int FHeight;
    bool FInterlaced;
    int FRow = 0;
    int FPass = 0;
};

class TPixelWriter
{
public:
    TPixelWriter(uint8_t *pixels, const TLZWImageHeader &header, bool interlaced)
        : FPixels(pixels), FHeader(header), FRowBytes(LZWRowBytes(header.Width, header.BitCount)),
          FRows(header.Height, interlaced)
    {
    }
    bool Done() const { return FRows.Done() || FHeader.Width <= 0; }
    int Row() const { return FRows.Row(); }
    void Put(unsigned value)
    {
        if (Done())
            return;
        uint8_t *row = FPixels + int64_t(FHeader.Height - 1 - FRows.Row()) * FRowBytes;
        switch (FHeader.BitCount) {
        case 1:
            if (value & 1)
                row[FColumn >> 3] |= uint8_t(0x80 >> (FColumn & 7));
            break;
        case 4:
            row[FColumn >> 1] |= uint8_t((value & 0xF) << ((FColumn & 1) ? 0 : 4));
            break;
        default:
            row[FColumn] = uint8_t(value);
            break;
        }
        if (++FColumn >= FHeader.Width) {
            FColumn = 0;
            FRows.Next();
        }
    }

private:
    uint8_t *FPixels;
    TLZWImageHeader FHeader;
    int FRowBytes;
    TRowCursor FRows;
    int FColumn = 0;
};

// Codes packed least significant bit first over length-prefixed sub-blocks.
class TBitReader
{
public:
    explicit TBitReader(QByteArrayView data) : FData(data), FPos(1) {}
    qsizetype Position() const { return FPos; }
    // False once the data (or the sub-block chain) ends before a whole code.
    bool Read(int width, int &code)
    {
        while (FBits < width) {
            if (FBlockLeft == 0) {
                if (FPos >= FData.size() || FData[FPos] == 0)
                    return false;
                FBlockLeft = uint8_t(FData[FPos++]);
            }
            if (FPos >= FData.size())
                return false;
            FAccumulator |= uint32_t(uint8_t(FData[FPos++])) << FBits;
            FBits += 8;
            --FBlockLeft;
        }
        code = int(FAccumulator & ((1u << width) - 1));
        FAccumulator >>= width;
        FBits -= width;
        return true;
    }

private:
    QByteArrayView FData;
    qsizetype FPos;
    int FBlockLeft = 0;
    uint32_t FAccumulator = 0;
    int FBits = 0;
};

class TBitWriter
{
public:
    explicit TBitWriter(QByteArray &dest) : FDest(dest) {}
    void Write(int code, int width)
    {
        FAccumulator |= uint32_t(code) << FBits;
        FBits += width;
        while (FBits >= 8) {
            FBlock[FCount++] = uint8_t(FAccumulator);
            FAccumulator >>= 8;
            FBits -= 8;
            if (FCount == 255)
                FlushBlock();
        }
    }
    void Finish()
    {
        if (FBits > 0)
            Write(0, 8 - FBits);
        FlushBlock();
        FDest.append('\0');
    }

private:
    void FlushBlock()
    {
        if (FCount == 0)
            return;
        FDest.append(char(FCount));
        FDest.append(reinterpret_cast<const char *>(FBlock.data()), FCount);
        FCount = 0;
    }
    QByteArray &FDest;
    std::array<uint8_t, 255> FBlock{};
    int FCount = 0;
    uint32_t FAccumulator = 0;
    int FBits = 0;
};

void Report(const TProgressEvent &progress, TProgressStage stage, int percent)
{
    if (progress)
        progress(stage, percent);
}

// Ends progress reporting on every path, exceptions included.
struct TProgressScope
{
    const TProgressEvent &Progress;
    explicit TProgressScope(const TProgressEvent &progress) : Progress(progress) { Report(progress, psStarting, 0); }
    ~TProgressScope() { Report(Progress, psEnding, std::uncaught_exceptions() ? 0 : 100); }
};

} // namespace

void LZWDecode(QByteArrayView source, const TLZWImageHeader &header, bool interlaced,
               const TProgressEvent &progress, bool &corrupted, uint8_t *pixels, int bitsPerPixel,
               bool tolerant)
{
    TProgressScope scope(progress);
    auto damaged = [&](const QString &message) {
        if (!tolerant)
            throw EInvalidGraphicOperation(message);
        corrupted = true;
    };
    if (source.isEmpty()) {
        damaged(VxConsts::SGIFDecodeError);
        return;
    }
    const int codeSize = uint8_t(source[0]);
    if (codeSize < 2 || codeSize > 9) {
        damaged(VxConsts::SBadGIFCodeSize);
        return;
    }
    const unsigned pixelMask = bitsPerPixel >= 8 ? 0xFFu : (1u << std::max(bitsPerPixel, 1)) - 1;
    const int clear = 1 << codeSize;
    const int end = clear + 1;
    std::vector<uint16_t> prefix(MaxCodes), suffix(MaxCodes);
    std::vector<uint8_t> stack;
    stack.reserve(MaxCodes + 1);
    TBitReader reader(source);
    TPixelWriter out(pixels, header, interlaced);
    int width = codeSize + 1;
    int nextFree = clear + 2;
    int oldCode = -1; // no string yet: the stream starts as if cleared
    int firstPixel = 0;
    bool afterClear = false;
    int lastPercent = -1;
    int code = 0;
    while (!out.Done()) {
        if (!reader.Read(width, code)) {
            // Data ran out before the last row.
            damaged(VxConsts::SGIFDecodeError);
            return;
        }
        if (code == clear) {
            width = codeSize + 1;
            nextFree = clear + 2;
            oldCode = -1;
            afterClear = true;
            continue;
        }
        if (code == end) {
            if (afterClear)
                damaged(VxConsts::SGIFDecodeError);
            break;
        }
        afterClear = false;
        if (oldCode < 0) {
            if (code > clear) {
                damaged(VxConsts::SGIFDecodeError);
                return;
            }
            firstPixel = code;
            out.Put(unsigned(code) & pixelMask);
            oldCode = code;
            continue;
        }
        const int incoming = code;
        stack.clear();
        if (code >= nextFree) {
            if (code > nextFree) {
                damaged(VxConsts::SGIFDecodeError);
                return;
            }
            stack.push_back(uint8_t(firstPixel));
            code = oldCode;
        }
        // Entries always point at lower codes, so this ends within the table's size.
        while (code > end) {
            stack.push_back(uint8_t(suffix[code]));
            code = prefix[code];
        }
        firstPixel = code;
        stack.push_back(uint8_t(code));
        for (auto it = stack.rbegin(); it != stack.rend(); ++it)
            out.Put(*it & pixelMask);
        if (nextFree < MaxCodes) {
            prefix[nextFree] = uint16_t(oldCode);
            suffix[nextFree] = uint16_t(firstPixel);
            ++nextFree;
            if (nextFree == (1 << width) && width < 12)
                ++width;
        }
        oldCode = incoming;
        if (progress && source.size() > 0) {
            const int percent = int(reader.Position() * 100 / source.size());
            if (percent != lastPercent) {
                lastPercent = percent;
                Report(progress, psRunning, percent);
            }
        }
    }
}

namespace {

// The encoder's string table: open addressing over (prefix, pixel) pairs.
class TStringTable
{
public:
    static constexpr int Slots = 17777;
    TStringTable() : FKeys(Slots), FCodes(Slots) { Reset(); }
    void Reset() { std::fill(FCodes.begin(), FCodes.end(), int16_t(-1)); }
    int Find(int prefix, int pixel, int &slot) const
    {
        const uint32_t key = uint32_t(prefix) << 8 | uint32_t(pixel);
        slot = int((key * 2654435761u) % Slots);
        while (FCodes[slot] >= 0) {
            if (FKeys[slot] == key)
                return FCodes[slot];
            if (++slot == Slots)
                slot = 0;
        }
        return -1;
    }
    void Store(int slot, int prefix, int pixel, int code)
    {
        FKeys[slot] = uint32_t(prefix) << 8 | uint32_t(pixel);
        FCodes[slot] = int16_t(code);
    }

private:
    std::vector<uint32_t> FKeys;
    std::vector<int16_t> FCodes;
};

} // namespace

void LZWEncode(QByteArray &dest, const TLZWImageHeader &header, bool interlaced,
               const TProgressEvent &progress, const uint8_t *pixels)
{
    TProgressScope scope(progress);
    const int bitCount = header.BitCount == 1 || header.BitCount == 4 ? header.BitCount : 8;
    const int codeSize = bitCount == 1 ? 2 : bitCount;
    const int clear = 1 << codeSize;
    const int end = clear + 1;
    dest.append(char(codeSize));
    TBitWriter writer(dest);
    TStringTable table;
    int width = codeSize + 1;
    int nextCode = end;
    int prefix = -1;
    writer.Write(clear, width);
    const int rowBytes = LZWRowBytes(header.Width, bitCount);
    TRowCursor rows(header.Height, interlaced);
    int done = 0;
    for (; !rows.Done() && header.Width > 0; rows.Next()) {
        const uint8_t *row = pixels + int64_t(header.Height - 1 - rows.Row()) * rowBytes;
        for (int x = 0; x < header.Width; ++x) {
            int c;
            if (bitCount == 1)
                c = (row[x >> 3] >> (7 - (x & 7))) & 1;
            else if (bitCount == 4)
                c = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
            else
                c = row[x];
            if (prefix < 0) {
                prefix = c;
                continue;
            }
            int slot;
            const int found = table.Find(prefix, c, slot);
            if (found >= 0) {
                prefix = found;
                continue;
            }
            writer.Write(prefix, width);
            ++nextCode;
            table.Store(slot, prefix, c, nextCode);
            prefix = c;
            if (nextCode == (1 << width)) {
                ++width;
            } else if (nextCode >= 4094) {
                // Start afresh before any code would need 13 bits.
                writer.Write(prefix, width);
                writer.Write(clear, width);
                prefix = -1;
                nextCode = end;
                width = codeSize + 1;
                table.Reset();
            }
        }
        ++done;
        Report(progress, psRunning, done * 100 / header.Height);
    }
    if (prefix >= 0)
        writer.Write(prefix, width);
    writer.Write(end, width);
    writer.Finish();
}
