#pragma once
// The chord on screen as a plain-text diagram for a song text: a Roman fret header, one line per
// string with an "x" in the fretted cell, and the absolute frets from the low string up.
#include <QString>

#include "app/core/Diagram.h"

namespace ChordCopy {

struct TTextDiagram
{
    QString shown;           // the scheme as drawn (relative frets when it was rewritten)
    Diagram::TMinMax measure;
    bool rightHand = true;
    bool showName = false;   // the chord name goes on string 1's line and before the frets
    QString chordName;       // the chord-name label's caption
};

// Nine lines, each ended by CRLF: header, strings 1..6, an empty line, the frets line.
QString ChordAsText(const TTextDiagram &diagram);

} // namespace ChordCopy
