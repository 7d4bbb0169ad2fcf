#pragma once
// The chord base lookup: the root, chord type and bass chosen on the chord page become the list of
// fingering schemes that the diagram and the Next/Back buttons step through.
#include <QString>
#include <QStringList>

class TIniFile;

namespace ChordBase {

// The scheme of a chord that has no entry: six muted strings.
inline const QString NoScheme = QStringLiteral("xxxxxxxxxxxx");
inline const QString CurrentBaseVersion = QStringLiteral("1.4.5");

// What the lookup reads from the chord page.
struct TChordQuery
{
    QString rootText;        // Root.Text, e.g. "C (до)", "Db", "B (si)"
    QStringList rootItems;   // Root's items, for the neighbour of a flat
    int rootIndex = -1;      // Root.ItemIndex
    QString chordType;       // the current chord type, e.g. "maj" or "m7/C#"
    QStringList bassItems;   // Bass's items: " ", "/C", ..., the si-flat and si items
    int bassIndex = 0;       // Bass.ItemIndex
    int notation = 0;        // EastWestRG.ItemIndex: 0 si is H, 1 si is B
};

struct TChordSchemes
{
    QStringList schemes;     // never empty
    QString chordType;       // the key that was read last; it replaces the current chord type
};

// The section of the chord base that holds the root ("C", "C#", ..., "A#", "H").
QString RootSection(const TChordQuery &query);

// Reads base and user file; user schemes follow the base's. userFileExists tells whether the
// user file is still in the data folder (the user may have removed it while the program runs).
TChordSchemes FindChordSchemes(const TChordQuery &query, const TIniFile &base, const TIniFile *user,
                               bool userFileExists);

// Splits a value of one or more schemes at a stride of 13 characters.
QStringList SplitSchemes(const QString &value);

} // namespace ChordBase
