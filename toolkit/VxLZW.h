#pragma once
// LZW compression of GIF image data: the stored form (minimum-code-size byte, data sub-blocks,
// zero terminator) to and from the rows of a bottom-up 1-, 4- or 8-bit pixel buffer.
#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <functional>

enum TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent = std::function<void(TProgressStage stage, int percent)>;

// The part of the bitmap information header the codec needs.
struct TLZWImageHeader
{
    int Width = 0;
    int Height = 0;
    int BitCount = 8; // 1, 4 or 8
};

// Bytes of one stored row: whole 32-bit words.
inline int LZWRowBytes(int width, int bitCount) { return int((int64_t(width) * bitCount + 31) / 32 * 4); }

// Decodes Source into Pixels (LZWRowBytes x Height bytes, already zeroed). Tolerant decoding sets
// Corrupted and keeps the rows decoded so far; otherwise damage raises EInvalidGraphicOperation.
void LZWDecode(QByteArrayView source, const TLZWImageHeader &header, bool interlaced,
               const TProgressEvent &progress, bool &corrupted, uint8_t *pixels, int bitsPerPixel,
               bool tolerant);

// Appends the compressed form of Pixels to Dest.
void LZWEncode(QByteArray &dest, const TLZWImageHeader &header, bool interlaced,
               const TProgressEvent &progress, const uint8_t *pixels);
