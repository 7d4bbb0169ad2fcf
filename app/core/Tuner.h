#pragma once
// The tuner's notes: 72 names C1 .. H6 in the tone generator's octaves, the preset tunings, and
// the names shown and played for a string.
#include <QString>
#include <QStringList>
#include <array>

namespace Tuner {

constexpr int NoteCount = 72;   // C1 .. H6
constexpr int StringCount = 6;  // string 1 is the top row, the highest
constexpr int TuningCount = 18;
constexpr int NoString = -1;    // a tuning entry for a string the instrument lacks

// Note indexes of strings 1..6 (element 0 is string 1).
using TStringNotes = std::array<int, StringCount>;

// "C1" .. "H6" (si is H, si flat A#); empty outside 0..71.
QString NoteName(int index);
// The index of a name as NoteName spells it; -1 for anything else.
int NoteIndex(const QString &name);

// The tuning of a row 0..17, NoString for unused strings; row 0 (standard) for any other row.
TStringNotes TuningNotes(int row);
QString TuningName(int row);
// Strings the row's instrument has.
int UsedStringCount(int row);

// A semitone lower or higher; the lowest and highest notes stay where they are.
int StringDown(int index);
int StringUp(int index);

// notation 0 (East) shows the note name as it is; notation 1 (West) writes a leading H as B.
QString DisplayedName(int index, int notation);
// The tone generator calls si "B": a leading H of a shown name becomes B.
QString PlayNoteName(const QString &displayed);

// The number label of each string: hidden strings get 0, the shown ones 1, 2, .. from the top.
std::array<int, StringCount> StringLabelNumbers(const std::array<bool, StringCount> &visible);

// Ticks between two starts of a repeated string: the duration setting x 20, 10 at setting 0.
int RepeatTicks(int durationPosition);

// The list item of a tuning: its name, spaces, and its open strings' letters from the lowest
// string, si written H (notation 0) or B (notation 1).
QString TuningListItem(int row, int notation);
// The name of the string list holding the tuning items of a notation.
QString TuningListName(int notation);

} // namespace Tuner
