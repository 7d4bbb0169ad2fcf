// A song file of any bytes: its code page is one of those known, decoding loses no byte where
// the code page has a character for every byte, the notation check answers, and what is saved
// in each encoding reads back.
#include "FuzzSupport.h"

#include "app/core/SongTextCheck.h"
#include "app/core/xlat.h"
#include "platform/text/AnsiText.h"

#include <QHash>

using xlat::TSongEncoding;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // The three code pages move into each other one to one, ASCII untouched.
    for (int from = 0; from < 3; ++from)
        for (int to = 0; to < 3; ++to) {
            const QByteArray moved = xlat::XlatString(bytes, from, to);
            VX_CHECK(moved.size() == bytes.size());
            VX_CHECK(xlat::XlatString(moved, to, from) == bytes);
            for (qsizetype i = 0; i < bytes.size(); ++i)
                if (uchar(bytes[i]) < 0x80)
                    VX_CHECK(moved[i] == bytes[i]);
        }
    const int codePage = xlat::DetectCyrillicCodePage(bytes);
    VX_CHECK(codePage >= 0 && codePage <= 2);

    // Valid UTF-8 as we judge it is valid UTF-8 as Qt reads it (Qt drops a byte-order mark).
    if (AnsiText::IsValidUtf8(bytes) && !bytes.startsWith("\xEF\xBB\xBF"))
        VX_CHECK(QString::fromUtf8(bytes).toUtf8() == bytes);
    VX_CHECK(AnsiText::ToWindows1251(AnsiText::FromWindows1251(bytes)) == bytes);

    const TSongEncoding encoding = xlat::DetectSongEncoding(bytes);
    const QString text = xlat::DecodeSongText(bytes, encoding);
    switch (encoding) {
    case TSongEncoding::Windows1251:
        VX_CHECK(xlat::EncodeSongText(text, xlat::TSaveEncoding::Windows1251) == bytes);
        break;
    case TSongEncoding::Koi8r:
    case TSongEncoding::Cp866: {
        // One character per byte, no two bytes the same character, ASCII as it is, and the letters
        // those of the code pages' common tables.
        const int from = encoding == TSongEncoding::Koi8r ? xlat::cpKoi8r : xlat::cpCp866;
        const QString letters = AnsiText::FromWindows1251(xlat::XlatString(bytes, from, xlat::cpWindows1251));
        VX_CHECK(text.size() == bytes.size());
        QHash<char16_t, uchar> byteOf;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto b = uchar(bytes[i]);
            const char16_t c = text[i].unicode();
            VX_CHECK(byteOf.value(c, b) == b);
            byteOf.insert(c, b);
            if (b < 0x80)
                VX_CHECK(c == b);
            const char16_t letter = letters[i].unicode();
            if ((letter >= 0x0410 && letter <= 0x044F) || letter == 0x0401 || letter == 0x0451)
                VX_CHECK(c == letter);
        }
        break;
    }
    case TSongEncoding::Utf8:
        VX_CHECK(xlat::EncodeSongText(text, xlat::TSaveEncoding::Utf8) == bytes);
        break;
    default:
        break;
    }
    xlat::LooksLikeText(bytes);
    for (int notation = 0; notation < 2; ++notation)
        SongTextCheck::CheckSongText(text, notation);

    // Whatever was read is saved so that it reads back as the same text.
    const QByteArray utf16 = xlat::EncodeSongText(text, xlat::TSaveEncoding::Utf16);
    VX_CHECK(xlat::DetectSongEncoding(utf16) == TSongEncoding::Utf16LE);
    VX_CHECK(xlat::DecodeSongText(utf16) == text);
    const QByteArray utf8 = xlat::EncodeSongText(text, xlat::TSaveEncoding::Utf8);
    if (text == QString::fromUtf8(utf8)) // no lone surrogates
        VX_CHECK(xlat::DecodeSongText(utf8) == text);
    return 0;
}
