// LZW decoder: the first four bytes choose width, height, depth and interlacing, the rest is the
// code stream. Tolerant decoding never fails; what it decoded encodes and decodes back unchanged.
#include "toolkit/VxLZW.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 4)
        return 0;
    static constexpr int Depths[] = {1, 4, 8};
    const TLZWImageHeader header{1 + data[0] % 64, 1 + data[1] % 64, Depths[data[2] % 3]};
    const bool interlaced = data[3] & 1;
    const int bitsPerPixel = 1 + (data[3] >> 1) % 8;
    const QByteArrayView stream(reinterpret_cast<const char *>(data + 4), qsizetype(size - 4));
    const qsizetype bytes = qsizetype(LZWRowBytes(header.Width, header.BitCount)) * header.Height;
    QByteArray pixels(bytes, '\0');
    bool corrupted = false;
    LZWDecode(stream, header, interlaced, {}, corrupted, reinterpret_cast<uint8_t *>(pixels.data()), bitsPerPixel, true);
    // Padding bits at the row ends are never written, so they stay zero.
    QByteArray encoded;
    LZWEncode(encoded, header, interlaced, {}, reinterpret_cast<const uint8_t *>(pixels.constData()));
    QByteArray back(bytes, '\0');
    bool again = false;
    LZWDecode(encoded, header, interlaced, {}, again, reinterpret_cast<uint8_t *>(back.data()), 8, false);
    if (again || back != pixels)
        __builtin_trap();
    return 0;
}
