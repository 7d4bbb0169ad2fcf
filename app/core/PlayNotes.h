#pragma once
// The notes a fingering sounds in standard tuning, as the text the tone generator plays.
#include <QString>

namespace PlayNotes {

// The note at string 1..6 (1 = high E) and fret 0..19, spelled C C# D D# E F F# G G# A B H
// (B is si flat, H is si); empty outside the neck.
QString FretNoteName(int string, int fret);
// The octave digit the tone generator uses (string 6 open is E3 = note 40); -1 outside the neck.
int OctaveDigit(int string, int fret);
// Appends name, octave digit and "," for a string and fret; nothing outside the neck.
void AddPlayNote(int string, int fret, QString &list);
// The play list of a scheme from string 6 up to string 1, "none" when every string is muted.
QString PlayList(const QString &scheme);
// The note string that strums a play list: si and si flat take the tone generator's names (H -> B,
// B -> A#), every octave digit rises by octaveShift, and the step in ticks follows the first note.
QString ChordNoteString(const QString &playList, int octaveShift, int strumStep);

} // namespace PlayNotes
