#include "sysutil/OsMime.h"

#include "platform/text/AnsiText.h"

#include <array>

namespace {

constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr quint8 Skip = 255;

constexpr std::array<quint8, 256> DecodeTable = [] {
    std::array<quint8, 256> table{};
    table.fill(Skip);
    for (int i = 0; i < 64; ++i)
        table[quint8(Alphabet[i])] = quint8(i);
    return table;
}();

inline void EncodeGroup(const quint8 *in, char *out)
{
    const quint32 bits = quint32(in[0]) << 16 | quint32(in[1]) << 8 | in[2];
    out[0] = Alphabet[bits >> 18 & 63];
    out[1] = Alphabet[bits >> 12 & 63];
    out[2] = Alphabet[bits >> 6 & 63];
    out[3] = Alphabet[bits & 63];
}

} // namespace

qsizetype Base64EncodedLength(qsizetype n)
{
    if (n < 1)
        return n;
    return (n + 2) / 3 * 4 + (n - 1) / Base64LineBytes * 2;
}

qsizetype Base64DecodedLengthBound(qsizetype n)
{
    return (n + 3) / 4 * 3;
}

void Base64EncodeFullLines(const quint8 *Input, qsizetype n, char *Output, bool TailFollows)
{
    const qsizetype lines = n / Base64LineBytes;
    for (qsizetype line = 0; line < lines; ++line) {
        for (qsizetype i = 0; i < Base64LineBytes; i += 3, Output += 4)
            EncodeGroup(Input + line * Base64LineBytes + i, Output);
        if (line + 1 < lines || TailFollows) {
            *Output++ = '\r';
            *Output++ = '\n';
        }
    }
}

void Base64EncodeTail(const quint8 *Input, qsizetype n, char *Output)
{
    qsizetype i = 0;
    for (; i + 3 <= n; i += 3, Output += 4)
        EncodeGroup(Input + i, Output);
    switch (n - i) {
    case 1:
        Output[0] = Alphabet[Input[i] >> 2];
        Output[1] = Alphabet[(Input[i] & 3) << 4];
        Output[2] = '=';
        Output[3] = '=';
        break;
    case 2: {
        const quint32 bits = (quint32(Input[i]) << 8 | Input[i + 1]) << 2;
        Output[0] = Alphabet[bits >> 12 & 63];
        Output[1] = Alphabet[bits >> 6 & 63];
        Output[2] = Alphabet[bits & 63];
        Output[3] = '=';
        break;
    }
    default:
        break;
    }
}

void Base64EncodeBuffer(const quint8 *Input, qsizetype n, char *Output)
{
    const qsizetype lines = n / Base64LineBytes;
    const qsizetype rest = n % Base64LineBytes;
    Base64EncodeFullLines(Input, n, Output, rest > 0);
    Base64EncodeTail(Input + lines * Base64LineBytes, rest,
                     Output + lines * (Base64LineChars + 2));
}

qsizetype Base64DecodeChunk(const char *Input, qsizetype n, quint8 *Output, int &CharsNeeded,
                            quint32 &PendingBits)
{
    quint8 *out = Output;
    for (qsizetype i = 0; i < n; ++i) {
        const quint8 value = DecodeTable[quint8(Input[i])];
        if (value == Skip)
            continue;
        PendingBits = PendingBits << 6 | value;
        if (--CharsNeeded <= 0) {
            *out++ = quint8(PendingBits >> 16);
            *out++ = quint8(PendingBits >> 8);
            *out++ = quint8(PendingBits);
            PendingBits = 0;
            CharsNeeded = 4;
        }
    }
    return out - Output;
}

qsizetype Base64DecodeFinish(quint8 *Output, quint32 PendingBits, int CharsNeeded)
{
    switch (CharsNeeded) {
    case 1:
        Output[0] = quint8(PendingBits >> 10);
        Output[1] = quint8(PendingBits >> 2);
        return 2;
    case 2:
        Output[0] = quint8(PendingBits >> 4);
        return 1;
    default:
        return 0; // a lone character carries no whole byte
    }
}

QByteArray Base64EncodeText(const QByteArray &S)
{
    if (S.isEmpty())
        return QByteArray();
    QByteArray result(Base64EncodedLength(S.size()), Qt::Uninitialized);
    Base64EncodeBuffer(reinterpret_cast<const quint8 *>(S.constData()), S.size(), result.data());
    return result;
}

QByteArray Base64EncodeText(const QString &S)
{
    return Base64EncodeText(AnsiText::ToWindows1251(S));
}

QByteArray Base64DecodeText(const QByteArray &S)
{
    if (S.isEmpty())
        return QByteArray();
    QByteArray result(Base64DecodedLengthBound(S.size()), Qt::Uninitialized);
    quint8 *out = reinterpret_cast<quint8 *>(result.data());
    int charsNeeded = 4;
    quint32 pendingBits = 0;
    qsizetype written = Base64DecodeChunk(S.constData(), S.size(), out, charsNeeded, pendingBits);
    written += Base64DecodeFinish(out + written, pendingBits, charsNeeded);
    result.truncate(written);
    return result;
}

QByteArray Base64DecodeText(const QString &S)
{
    return Base64DecodeText(AnsiText::ToWindows1251(S));
}
