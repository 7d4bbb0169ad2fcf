#pragma once
// Text files brought over from Windows carry no encoding of their own: a byte-order mark decides,
// else valid UTF-8 is UTF-8, else the bytes are the Russian ANSI code page, Windows-1251.
#include <QByteArray>
#include <QString>

namespace AnsiText {

enum class TEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, Windows1251 };

// How the bytes of a text file are to be read.
TEncoding DetectEncoding(const QByteArray &bytes);
bool IsValidUtf8(const QByteArray &bytes);

// The whole file's text, byte-order mark removed.
QString DecodeText(const QByteArray &bytes);
QString DecodeText(const QByteArray &bytes, TEncoding encoding);

// Windows-1251: every byte has a character (0x98, unassigned, stands for U+0098), so decoding
// then encoding gives back every byte.
QString FromWindows1251(const QByteArray &bytes);
// Characters outside the code page become '?'.
QByteArray ToWindows1251(const QString &text);
// The code point of one Windows-1251 byte.
char16_t Windows1251Char(unsigned char byte);

// A text of the C library (strerror), which comes in the encoding of the user's locale: KOI8-R or
// CP1251 as well as UTF-8, where Qt would take every 8-bit text for UTF-8.
QString FromLocaleEncoding(const char *text);

} // namespace AnsiText
