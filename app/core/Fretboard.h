#pragma once
// What the fretboard window shows: the note at every string and fret of a neck in standard
// tuning, spelled as the notation options ask, and where each text and marker goes.
#include <QPoint>
#include <QString>

namespace Fretboard {

constexpr int StringCount = 6;
constexpr int FretCount = 20;      // frets 0..19 in the table
constexpr int ShownFrets = 16;     // frets 1..16 are drawn
constexpr int FretPitch = 44;
constexpr int StringPitch = 23;

// The table's own spelling (C .. A, B for si flat, H for si); string 1 is the high E.
// Empty outside strings 1..6 and frets 0..19.
QString TableNote(int string, int fret);

// A table name in the notation in force: west = si is "B", flats = flats instead of sharps.
QString FretboardNoteName(const QString &name, bool west, bool flats);

// The name written at a string and fret: with flats a sharp is spelled from the note above.
QString ShownNote(int string, int fret, bool west, bool flats);

// The line of solfège names under the neck.
QString Legend(bool english, bool west, bool flats);

// Roman fret numbers "I" .. "XVI" above the neck.
QString RomanFret(int fret);

// Top-left corners inside the neck picture.
inline QPoint MarkerPos(int string, int fret)
{
    return {FretPitch * fret - 12, StringPitch * string - 6};
}
inline QPoint NamePos(const QString &name, int string, int fret)
{
    return {FretPitch * fret - (name.size() > 1 ? 6 : 4), StringPitch * string - 1};
}
// The fret number's left edge for a text textWidth wide.
inline int FretNumberX(int fret, int textWidth)
{
    return FretPitch * fret - textWidth / 2 - 2;
}

} // namespace Fretboard
