#include "app/core/xlat.h"

#include "platform/text/AnsiText.h"

#include <QStringEncoder>
#include <array>

namespace xlat {

namespace {

using TTable = std::array<unsigned char, 128>;

// Entry i is the byte that codes, in each code page, the character CP866 codes as 128 + i.
constexpr TTable Koi8rTable = {
    0xE1, 0xE2, 0xF7, 0xE7, 0xE4, 0xE5, 0xF6, 0xFA, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF, 0xF0,
    0xF2, 0xF3, 0xF4, 0xF5, 0xE6, 0xE8, 0xE3, 0xFE, 0xFB, 0xFD, 0xFF, 0xF9, 0xF8, 0xFC, 0xE0, 0xF1,
    0xC1, 0xC2, 0xD7, 0xC7, 0xC4, 0xC5, 0xD6, 0xDA, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF, 0xD0,
    0x90, 0x91, 0x92, 0x81, 0x87, 0xB2, 0xB4, 0xA7, 0xA6, 0xB5, 0xA1, 0xA8, 0xAE, 0xAD, 0xAC, 0x83,
    0x84, 0x89, 0x88, 0x86, 0x80, 0x8A, 0xAF, 0xB0, 0xAB, 0xA5, 0xBB, 0xB8, 0xB1, 0xA0, 0xBE, 0xB9,
    0xBA, 0xB6, 0xB7, 0xAA, 0xA9, 0xA2, 0xA4, 0xBD, 0xBC, 0x85, 0x82, 0x8D, 0x8C, 0x8E, 0x8F, 0x8B,
    0xD2, 0xD3, 0xD4, 0xD5, 0xC6, 0xC8, 0xC3, 0xDE, 0xDB, 0xDD, 0xDF, 0xD9, 0xD8, 0xDC, 0xC0, 0xD1,
    0xB3, 0xA3, 0x99, 0x98, 0x93, 0x9B, 0x9F, 0x97, 0x9C, 0x95, 0x9E, 0x96, 0xBF, 0x9D, 0x94, 0x9A};

constexpr TTable Windows1251Table = {
    0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF,
    0xD0, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF,
    0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF,
    0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E, 0x8F,
    0x90, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9D, 0x9E, 0x9F,
    0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF, 0xB0,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC, 0xFD, 0xFE, 0xFF,
    0xA8, 0xB8, 0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB9, 0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF};

constexpr TTable Cp866Table = [] {
    TTable table{};
    for (int i = 0; i < 128; ++i)
        table[i] = static_cast<unsigned char>(128 + i);
    return table;
}();

const TTable *TableOf(int codePage)
{
    switch (codePage) {
    case cpKoi8r: return &Koi8rTable;
    case cpWindows1251: return &Windows1251Table;
    case cpCp866: return &Cp866Table;
    default: return nullptr;
    }
}

// The letters А, И, О, Т in both cases, as each code page codes them.
using TLetterSet = std::array<bool, 256>;

constexpr TLetterSet LetterSet(std::initializer_list<unsigned char> codes)
{
    TLetterSet set{};
    for (unsigned char c : codes)
        set[c] = true;
    return set;
}

constexpr TLetterSet Cp866Letters = LetterSet({0x80, 0x88, 0x8E, 0x92, 0xA0, 0xA8, 0xAE, 0xE2});
constexpr TLetterSet Windows1251Letters = LetterSet({0xC0, 0xC8, 0xCE, 0xD2, 0xE0, 0xE8, 0xEE, 0xF2});
constexpr TLetterSet Koi8rLetters = LetterSet({0xC1, 0xC9, 0xCF, 0xD4, 0xE1, 0xE9, 0xEF, 0xF4});

} // namespace

int DetectCyrillicCodePage(const QByteArray &bytes)
{
    qsizetype dos = 0;
    qsizetype win = 0;
    qsizetype koi = 0;
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        dos += Cp866Letters[b];
        win += Windows1251Letters[b];
        koi += Koi8rLetters[b];
    }
    // Ties favour CP866 over KOI8-R and Windows-1251 over both.
    if (dos > win)
        return dos < koi ? cpKoi8r : cpCp866;
    return win < koi ? cpKoi8r : cpWindows1251;
}

void XlatInPlace(QByteArray &bytes, int from, int to)
{
    const TTable *fromTable = TableOf(from);
    const TTable *toTable = TableOf(to);
    if (from == to || bytes.isEmpty() || !fromTable || !toTable)
        return;
    std::array<unsigned char, 256> map{};
    for (int i = 0; i < 128; ++i)
        map[i] = static_cast<unsigned char>(i);
    for (int i = 0; i < 128; ++i)
        map[(*fromTable)[i]] = (*toTable)[i];
    for (char &ch : bytes)
        ch = static_cast<char>(map[static_cast<unsigned char>(ch)]);
}

QByteArray XlatString(const QByteArray &bytes, int from, int to)
{
    QByteArray copy = bytes;
    XlatInPlace(copy, from, to);
    return copy;
}

TSongEncoding DetectSongEncoding(const QByteArray &bytes)
{
    switch (AnsiText::DetectEncoding(bytes)) {
    case AnsiText::TEncoding::Utf8Bom: return TSongEncoding::Utf8Bom;
    case AnsiText::TEncoding::Utf16LE: return TSongEncoding::Utf16LE;
    case AnsiText::TEncoding::Utf16BE: return TSongEncoding::Utf16BE;
    case AnsiText::TEncoding::Utf8: return TSongEncoding::Utf8;
    case AnsiText::TEncoding::Windows1251: break;
    }
    switch (DetectCyrillicCodePage(bytes)) {
    case cpKoi8r: return TSongEncoding::Koi8r;
    case cpCp866: return TSongEncoding::Cp866;
    default: return TSongEncoding::Windows1251;
    }
}

QString DecodeSongText(const QByteArray &bytes, TSongEncoding encoding)
{
    switch (encoding) {
    case TSongEncoding::Utf8: return AnsiText::DecodeText(bytes, AnsiText::TEncoding::Utf8);
    case TSongEncoding::Utf8Bom: return AnsiText::DecodeText(bytes, AnsiText::TEncoding::Utf8Bom);
    case TSongEncoding::Utf16LE: return AnsiText::DecodeText(bytes, AnsiText::TEncoding::Utf16LE);
    case TSongEncoding::Utf16BE: return AnsiText::DecodeText(bytes, AnsiText::TEncoding::Utf16BE);
    case TSongEncoding::Windows1251: return AnsiText::FromWindows1251(bytes);
    case TSongEncoding::Koi8r: return AnsiText::FromWindows1251(XlatString(bytes, cpKoi8r, cpWindows1251));
    case TSongEncoding::Cp866: return AnsiText::FromWindows1251(XlatString(bytes, cpCp866, cpWindows1251));
    }
    return {};
}

QString DecodeSongText(const QByteArray &bytes)
{
    return DecodeSongText(bytes, DetectSongEncoding(bytes));
}

bool LooksLikeText(const QByteArray &bytes)
{
    const TSongEncoding encoding = DetectSongEncoding(bytes);
    if (encoding == TSongEncoding::Utf16LE || encoding == TSongEncoding::Utf16BE)
        return true;
    qsizetype controls = 0;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0)
            return false;
        if (b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f')
            ++controls;
    }
    return controls * 10 <= bytes.size();
}

QByteArray EncodeSongText(const QString &text, TSaveEncoding encoding)
{
    switch (encoding) {
    case TSaveEncoding::Utf8: {
        // A text that starts with U+FEFF would lose it to the byte-order-mark rule when read; a
        // mark in front keeps it.
        const QByteArray bytes = text.toUtf8();
        return bytes.startsWith("\xEF\xBB\xBF") ? "\xEF\xBB\xBF" + bytes : bytes;
    }
    case TSaveEncoding::Utf16: {
        QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        return encoder.encode(text);
    }
    case TSaveEncoding::Windows1251: return AnsiText::ToWindows1251(text);
    }
    return {};
}

} // namespace xlat
