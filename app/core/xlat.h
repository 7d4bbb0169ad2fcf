#pragma once
// Song texts from Russian sites come in one of three 8-bit code pages without saying which. The
// detector counts a few frequent letters as each code page codes them; the translator moves bytes
// between the code pages one to one, so every translation can be undone.
#include <QByteArray>
#include <QString>

namespace xlat {

enum TCodePage { cpKoi8r = 0, cpWindows1251 = 1, cpCp866 = 2 };

// 0, 1 or 2; an empty or plain ASCII input gives 1.
int DetectCyrillicCodePage(const QByteArray &bytes);

// Bytes below 128 never change; nothing changes when from equals to or a code page is unknown.
void XlatInPlace(QByteArray &bytes, int from, int to);
QByteArray XlatString(const QByteArray &bytes, int from, int to);

// How a song text file was read, and how it is to be written.
enum class TSongEncoding { Utf8, Utf8Bom, Utf16LE, Utf16BE, Koi8r, Windows1251, Cp866 };

// A byte-order mark decides; else valid UTF-8 is UTF-8; else the detected Russian code page.
TSongEncoding DetectSongEncoding(const QByteArray &bytes);
QString DecodeSongText(const QByteArray &bytes, TSongEncoding encoding);
QString DecodeSongText(const QByteArray &bytes);
// False for bytes no song text holds: NUL bytes outside UTF-16, or mostly control characters.
bool LooksLikeText(const QByteArray &bytes);

// The encodings a song text is saved in: UTF-8 without a mark, UTF-16 little-endian with its
// mark, or Windows-1251 (characters it lacks become '?').
enum class TSaveEncoding { Utf8, Utf16, Windows1251 };
QByteArray EncodeSongText(const QString &text, TSaveEncoding encoding);

} // namespace xlat
