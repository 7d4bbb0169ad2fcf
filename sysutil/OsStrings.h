#pragma once
// Text helpers, the locale-aware comparison and the 8-bit character tables.
#include "sysutil/OsUnicode.h"

#include <QString>
#include <QStringList>
#include <array>

// Text when it already ends with Suffix (case-sensitive), else Text + Suffix.
QString AppendSuffixIfMissing(const QString &Suffix, const QString &Text);
QString LeftPartOfText(const QString &S, qsizetype Count);
// From the 1-based Index to the end.
QString TextFromPosition(const QString &S, qsizetype Index);
// Replaces every Search by Replace in S; returns how many were replaced.
int ReplaceCharInText(QString &S, QChar Search, QChar Replace);
// Fills List with the parts of S between Separators. Empty parts are kept only with
// AllowEmptyString, and the part after the last separator only when it is not empty.
void SplitTextToStrings(const QString &S, const QString &Separator, QStringList &List,
                        bool AllowEmptyString);

// Case-insensitive comparison in the user's locale: -1, 0 or 1.
int LocaleCompareText(const QString &A, const QString &B);

// The 8-bit tables, over the ANSI code page (Windows-1251).
const std::array<quint16, 256> &AnsiCharTypes();
// Lower case in 0..255, upper case in 256..511, swapped case in 512..767.
const std::array<quint8, 768> &AnsiCaseMap();
inline constexpr int AnsiLoOffset = 0;
inline constexpr int AnsiUpOffset = 256;
inline constexpr int AnsiReOffset = 512;
bool AnsiCharIsUpper(quint8 c);
bool AnsiCharIsLower(quint8 c);
quint8 AnsiCharLower(quint8 c);
quint8 AnsiCharUpper(quint8 c);
quint8 AnsiCharSwapCase(quint8 c);
