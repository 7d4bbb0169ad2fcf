#include "platform/text/AnsiText.h"

#include <QStringDecoder>
#include <array>
#include <cstring>
#include <cwchar>
#include <string>

namespace AnsiText {

namespace {

constexpr std::array<char16_t, 128> HighHalf1251 = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

bool StartsWith(const QByteArray &bytes, std::initializer_list<unsigned char> prefix)
{
    if (bytes.size() < qsizetype(prefix.size()))
        return false;
    qsizetype i = 0;
    for (unsigned char b : prefix)
        if (static_cast<unsigned char>(bytes[i++]) != b)
            return false;
    return true;
}

} // namespace

char16_t Windows1251Char(unsigned char byte)
{
    return byte < 0x80 ? char16_t(byte) : HighHalf1251[byte - 0x80];
}

bool IsValidUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int follow;
        char32_t min;
        char32_t cp;
        if ((c & 0xE0) == 0xC0) {
            follow = 1; min = 0x80; cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            follow = 2; min = 0x800; cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            follow = 3; min = 0x10000; cp = c & 0x07;
        } else {
            return false;
        }
        for (int k = 1; k <= follow; ++k) {
            if (i + k >= n || (p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += follow + 1;
    }
    return true;
}

TEncoding DetectEncoding(const QByteArray &bytes)
{
    if (StartsWith(bytes, {0xEF, 0xBB, 0xBF}))
        return TEncoding::Utf8Bom;
    if (StartsWith(bytes, {0xFF, 0xFE}))
        return TEncoding::Utf16LE;
    if (StartsWith(bytes, {0xFE, 0xFF}))
        return TEncoding::Utf16BE;
    return IsValidUtf8(bytes) ? TEncoding::Utf8 : TEncoding::Windows1251;
}

QString FromWindows1251(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(Windows1251Char(static_cast<unsigned char>(bytes[i])));
    return text;
}

QByteArray ToWindows1251(const QString &text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            bytes[i] = char(c);
            continue;
        }
        char out = '?';
        for (int k = 0; k < 128; ++k)
            if (HighHalf1251[k] == c) {
                out = char(0x80 + k);
                break;
            }
        bytes[i] = out;
    }
    return bytes;
}

QString DecodeText(const QByteArray &bytes, TEncoding encoding)
{
    // Past the mark, a U+FEFF is a zero-width no-break space of the text; Qt's decoders would
    // drop it as a second mark.
    constexpr auto keepMark = QStringConverter::Flag::ConvertInitialBom;
    switch (encoding) {
    case TEncoding::Utf8Bom: {
        QStringDecoder decoder(QStringConverter::Utf8, keepMark);
        return decoder.decode(QByteArrayView(bytes).sliced(3));
    }
    case TEncoding::Utf8:
        return QString::fromUtf8(bytes);
    case TEncoding::Utf16LE: {
        QStringDecoder decoder(QStringConverter::Utf16LE, keepMark);
        return decoder.decode(QByteArrayView(bytes).sliced(2));
    }
    case TEncoding::Utf16BE: {
        QStringDecoder decoder(QStringConverter::Utf16BE, keepMark);
        return decoder.decode(QByteArrayView(bytes).sliced(2));
    }
    case TEncoding::Windows1251:
        return FromWindows1251(bytes);
    }
    return {};
}

QString DecodeText(const QByteArray &bytes)
{
    return DecodeText(bytes, DetectEncoding(bytes));
}

QString FromLocaleEncoding(const char *text)
{
    if (!text)
        return {};
    std::mbstate_t state{};
    const char *source = text;
    std::wstring wide(std::strlen(text), L'\0');
    const size_t count = std::mbsrtowcs(wide.data(), &source, wide.size(), &state);
    if (count == size_t(-1))
        return QString::fromLocal8Bit(text);
    wide.resize(count);
    return QString::fromStdWString(wide);
}

} // namespace AnsiText
