// The Base64 decoder takes any bytes; what it makes of them must fit the room it asked for, and
// anything encoded must come back unchanged.
#include "sysutil/OsMime.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));

    const QByteArray decoded = Base64DecodeText(input);
    if (decoded.size() > Base64DecodedLengthBound(input.size()))
        __builtin_trap();
    // Decoding what the decoder made, re-encoded, gives the same bytes again.
    if (Base64DecodeText(Base64EncodeText(decoded)) != decoded)
        __builtin_trap();

    const QByteArray encoded = Base64EncodeText(input);
    if (encoded.size() != (input.isEmpty() ? 0 : Base64EncodedLength(input.size())))
        __builtin_trap();
    if (encoded.endsWith("\r\n"))
        __builtin_trap();
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '\n') {
            if (i - 1 - lineStart != Base64LineChars || encoded[i - 1] != '\r')
                __builtin_trap();
            lineStart = i + 1;
        }
    }
    if (encoded.size() - lineStart > Base64LineChars)
        __builtin_trap();
    if (Base64DecodeText(encoded) != input)
        __builtin_trap();
    return 0;
}
