#pragma once
// The chord name a Ctrl+click lands on in a song text: the word around the caret, read as a
// root, a chord type, an optional bass after "/" and an optional Roman fret number in brackets.
#include <QString>
#include <QStringView>

namespace ChordUnderPointer {

// The trimmed word at caretIndex (0-based); a caret just after a word takes that word.
QString WordAt(QStringView text, qsizetype caretIndex);

struct TChordWord
{
    bool valid = false;   // the root is a known spelling and there is a type text
    QString root;         // "C", "F#", "Bb", ...
    QString typeText;     // to be made canonical: "m7", "maj", ...
    QString bassText;     // "/E", "/f#"; empty without a bass
    QString romanFret;    // "III", "V" (upper case); empty without a fret number
};

// The word split into its parts; valid is false when the root is not one of the 19 spellings.
TChordWord ParseChordWord(const QString &word);

// Index in the Root list (0..11); an unknown spelling gives 0.
int RootIndexOf(QStringView spelling, int notation);
// Index in the Bass list (1..12) of a text "/X"; 0 (no bass) for anything else.
int BassIndexOf(QStringView text, int notation);

} // namespace ChordUnderPointer
