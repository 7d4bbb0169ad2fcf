#pragma once
// The geometry and rules of the chord diagram: which fret the Roman label names, how a scheme
// high up the neck is shown relative to its lowest fret, where dots and the barre go for either
// hand, and which names are written beside the strings.
#include <QString>
#include <QStringList>
#include <array>

namespace Diagram {

// A muted string's dot position: its dot falls outside the picture.
constexpr int MutedPosition = 99;

// Canvas sizes of the diagram's two pictures: the frame and the neck placed over it.
constexpr int BackWidth = 476;
constexpr int BackHeight = 163;
constexpr int PBWidth = 390;
constexpr int PBHeight = 123;
// The neck's top inside the frame; leaves room for the Roman label above it.
constexpr int PBTop = 22;

struct TMinMax
{
    int lowest = 0;   // lowest fretted fret, 0 when every sounding string is open
    int highest = 0;  // highest fret of the fretted and open strings
};

// Measures a twelve-character scheme, string 1 first; "xx" fields are skipped.
TMinMax GetMinMax(const QString &scheme);

// The label over the first fret column: "  I  " when the chord sits low (highest below 4) or
// n is 0, else the label of n ("  V  ", " VII ", "XIII", ..., "XIX"); "I" for any other n.
QString ArabicToRoman(int n, int highest);
// "I" .. "XIX" without padding give 1 .. 19; anything else gives 1.
int RomanToArabic(const QString &text);

// The scheme as drawn: unchanged when highest is below 4, otherwise every fretted field becomes
// its fret counted from the lowest (lowest itself is "01"); always two digits per field.
QString ShownScheme(const QString &scheme, const TMinMax &measure);

using TPositions = std::array<int, 6>;
// Dot positions of a shown scheme, string 1 first: the fret, 0 when open, 99 when muted.
TPositions DotPositions(const QString &shown);

struct TBarre
{
    bool drawn = false;
    int lowest = 0;  // the barre's fret
    int last = 6;    // the highest-numbered string it reaches
};
// A barre needs five fretted strings, at least two on the lowest of them, no open string among
// 1..5 and no fretted string except string 2 right after a muted one.
TBarre BarreOf(const TPositions &positions);

// Left edge of the dot picture for a fret position and of the barre's centre line, in neck
// pixels; the left hand counts frets from the right.
int DotX(int position, bool rightHand);
int DotY(int string);
int BarreX(int lowest, bool rightHand);
// The neck's left edge inside the frame.
int PBLeft(bool rightHand);

// Open-string names, string 1 first: "E ", "H " (or "B " in Western notation), "G ", "D ", "A ", "E ".
QStringList StringNames(int notation);

// Splits a scheme's note-name string ("ECGECxx") into six names, string 1 first; a muted
// string's entry is ten spaces, which writes nothing visible.
QStringList SplitNoteNames(const QString &noteNames);

} // namespace Diagram
