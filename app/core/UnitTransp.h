#pragma once
// Chord names written among the words of a song text, found without any markup and moved by a
// number of semitones in place; every other character stays as it was.
#include <QString>
#include <QStringView>

namespace UnitTransp {

// Notation 0 (East): si is H, si flat B; notation 1 (West): si is B, si flat Bb.
struct TSpelling
{
    int notation = 0;
    bool flats = false;
};

// The step list holds "+ 11" .. "+ 1" (0..10), "=" (11), "- 1" .. "- 11" (12..22).
constexpr int StepCount = 23;
constexpr int NoStepIndex = 11;

int TranspSetOldOffset(int previousIndex);
int TranspSetNewOffset(int selectedIndex);
// 0..11: how far note numbers are counted back when moving from one step to the other.
int TranspOffset(int previousIndex, int selectedIndex);

// 1 (C) .. 12 (si) for a root spelling; 0 for anything else.
int TranspNoteIndex(QStringView spelling, int notation);
// The name of the note number moved by offset in the given spelling.
QString TranspNoteName(int number, int offset, TSpelling spelling);
// The text between a root and the next chord-end delimiter is made only of chord suffix tokens.
bool TranspIsChordSuffix(QStringView rest);
// "A" at position, a space and a lower-case Latin letter: the English article.
bool TranspIsArticleA(QStringView text, qsizetype position);
// A lower-case c..h directly after "/" that stands alone as the bass note of a chord (or of no
// chord: " /e") becomes upper case.
QString TranspUpcaseBassLetters(const QString &text);

// The text with every recognised chord name moved back by offset (see TranspOffset).
QString TransposeText(const QString &text, int offset, TSpelling spelling);
// Where a position of the text falls in its transposed form: chord names change length, the
// spaces between words do not. A position inside a word stays as far into it as the word allows.
qsizetype MovedPosition(QStringView before, QStringView after, qsizetype position);

} // namespace UnitTransp
