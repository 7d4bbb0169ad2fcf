#pragma once
// The vocabulary of chord types and note names: the 30 built-in chord types with their interval
// formulas, the alternative spellings a user may type, the note-name tables, and the texts built
// from them (a scheme's note names, the interval line, the chord-name label, the menu of
// alternative names). Nothing here works out a fingering.
#include <QList>
#include <QString>
#include <QStringList>

namespace ChordTypes {

constexpr int TypeCount = 30;

// The 30 chord types in the order of the chord-type list: "maj", "m", "7", ..., "6add9".
const QStringList &CanonicalTypes();
// The formulas of the chord types, in the same order: two-digit steps, each the number of
// semitones above the root plus one ("01" root, "05" major third, "08" fifth).
const QStringList &Formulas();
// Types then formulas, 60 entries, as the program's constant table holds them.
const QStringList &TypesAndFormulas();

// 30 rows of 12 entries: the chord type first, its alternative spellings, empty entries last.
const QList<QStringList> &AlternativeNames();

// "C", "C#", ..., "A#", "H" three times over (36 entries).
const QStringList &ChromaticNames();
// "C", "C#", ..., "A#", "H" (12 entries).
const QStringList &SharpNames();
// The 19 bass spellings a user slash-chord key may carry.
const QStringList &BassSpellings();
// Note names of strings 1..6 (string 1 first) at frets 0..19: entry (string - 1) * 20 + fret.
// B is si flat and H is si in this table.
const QStringList &FretboardNames();
// "C1", "C#1", ..., "H1", "C2", ..., "H6" (72 entries).
const QStringList &NotesWithOctave();

// The name of an interval step ("01" = 1 .. 22), "1", "-3", "+5", "13", ...; empty for the steps
// no formula uses (13, 20) and outside 1..22.
QString StepIntervalName(int step);

// The two-digit steps of a formula as numbers, from the left.
QList<int> FormulaSteps(const QString &formula);

// The chord type for any entry of the alternative-name table; the last matching row wins
// ("sus9" gives "9sus4"). Case matters; empty when nothing matches or the text is empty.
QString CanonicalChordType(const QString &text);

// The formula of the type text before its first "/" (the whole text without one); empty when
// that text is not one of the 30 chord types.
QString ChordTypeFormula(const QString &type);

// The note names a scheme sounds and the list the tone generator plays.
struct TChordNotes
{
    QString names;     // string 1 first: fretboard names, "xx" for a muted string
    QString playList;  // string 6 first: name, octave digit and "," per sounding string; "none"
};
TChordNotes ComputeChordNotes(const QString &scheme);

// The note name of a formula step over a root (rootIndex 1 = C .. 12 = si) in the notation
// (0: si is "H" and si flat "B"; 1: si is "B" and si flat "Bb") with sharps or flats; empty
// outside the table.
QString IntervalName(int rootIndex, int step, int notation, bool flats);

// The interval line: "(" + interval + ")" + note + four spaces per step, e.g.
// "(1)C    (3)E    (5)G    "; empty for an empty formula.
QString IntervalLine(int rootIndex, const QString &formula, int notation, bool flats);

// A fretboard note name ("C" .. "A", "B" si flat, "H" si) as the diagram writes it beside a
// string: English or Russian, sharps or flats, si spelled by the notation.
QString NoteNameLocalized(const QString &name, bool english, bool flats, int notation);

// The root as the chord-name label writes it: the first character when the second is a space
// ("C (до)" gives "C").
QString LabelRoot(const QString &rootText);

// The captions of the chord-name label's menu: every alternative name of the canonical type
// that differs from the chord-type box's text, each followed by the bass box's text. Empty for
// a type without a row (a user type).
QStringList AlternativeMenuItems(const QString &canonicalType, const QString &chordTypeText,
                                 const QString &bassText);

// What a click on one of those menu items writes back.
struct TMenuChoice
{
    QString labelCaption;   // root + caption, root alone for "maj"
    QString chordTypeText;  // the caption up to the bass text
};
TMenuChoice MenuItemChoice(const QString &rootText, const QString &caption, const QString &bassText);

// The chord-name label under the chord selectors: "Cm7", "C", "C/E"; empty when there is no
// current chord type or the typed text is neither listed nor an alternative name.
QString ChordNameLabel(const QString &rootText, const QString &chordTypeText,
                       const QString &currentChordType, bool typeListed, const QString &bassText,
                       int bassIndex);

} // namespace ChordTypes
