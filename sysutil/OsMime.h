#pragma once
// Base64 for 8-bit texts: lines of 76 characters joined by CR LF, and a decoder that skips
// everything outside the alphabet.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Characters per line and the input bytes they carry.
inline constexpr qsizetype Base64LineChars = 76;
inline constexpr qsizetype Base64LineBytes = 57;

// Encoded length of n bytes, line breaks included; n itself when n < 1.
qsizetype Base64EncodedLength(qsizetype n);
// Room the decoder needs for n input characters.
qsizetype Base64DecodedLengthBound(qsizetype n);

// Output must hold Base64EncodedLength(n) characters.
void Base64EncodeBuffer(const quint8 *Input, qsizetype n, char *Output);
// Encodes the n div 57 whole lines of Input, each but the last of the whole output followed by
// CR LF (the last is followed by it too when TailFollows).
void Base64EncodeFullLines(const quint8 *Input, qsizetype n, char *Output, bool TailFollows);
// Encodes fewer than 57 bytes, padding the last group with "=".
void Base64EncodeTail(const quint8 *Input, qsizetype n, char *Output);

// Decoder state: starts at PendingBits 0, CharsNeeded 4. Output must hold
// Base64DecodedLengthBound(n) bytes for the chunk and 2 more for the finish. Both return the
// bytes written.
qsizetype Base64DecodeChunk(const char *Input, qsizetype n, quint8 *Output, int &CharsNeeded,
                            quint32 &PendingBits);
qsizetype Base64DecodeFinish(quint8 *Output, quint32 PendingBits, int CharsNeeded);

QByteArray Base64EncodeText(const QByteArray &S);
// The text is taken in the ANSI code page first.
QByteArray Base64EncodeText(const QString &S);
QByteArray Base64DecodeText(const QByteArray &S);
QByteArray Base64DecodeText(const QString &S);
