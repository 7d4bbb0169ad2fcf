#pragma once
// Character classes and case maps of every UTF-16 code unit, built once.
#include <QtGlobal>
#include <vector>

// Character-type bits.
inline constexpr quint16 C1_UPPER = 0x0001;
inline constexpr quint16 C1_LOWER = 0x0002;
inline constexpr quint16 C1_DIGIT = 0x0004;
inline constexpr quint16 C1_SPACE = 0x0008;
inline constexpr quint16 C1_PUNCT = 0x0010;
inline constexpr quint16 C1_CNTRL = 0x0020;
inline constexpr quint16 C1_BLANK = 0x0040;
inline constexpr quint16 C1_XDIGIT = 0x0080;
inline constexpr quint16 C1_ALPHA = 0x0100;
inline constexpr quint16 C1_DEFINED = 0x0200;

// The type bits of one code unit, worked out without the tables.
quint16 CharTypeOf(char16_t c);

// 65536 entries each.
const std::vector<quint16> &UnicodeCharTypes();
char16_t UnicodeCharLower(char16_t c);
char16_t UnicodeCharUpper(char16_t c);
char16_t UnicodeCharSwapCase(char16_t c);
bool UnicodeCharIsUpper(char16_t c);
bool UnicodeCharIsLower(char16_t c);
