#pragma once
// The items of the chord page's Root and Bass lists under the notation and accidental options.
#include <QString>
#include <QStringList>

namespace ChordLists {

// The spelling of si ("si") or si flat ("sib"): notation 0 writes si "H" and si flat "B" (or
// "A#" with sharps); notation 1 writes si "B" and si flat "Bb" (or "A#" with sharps). Any other
// input is returned unchanged.
QString SiNoteName(const QString &which, int notation, bool flats);

// The named string list that gives the first ten roots.
QString RootListName(bool russian, bool flats);

// Ten roots from the named list, then si flat, then si with " (си)" or " (si)".
QStringList RootItems(const QStringList &namedList, bool russian, int notation, bool flats);

// " ", "/C" .. "/A" in sharps or flats, "/" + si flat, "/" + si.
QStringList BassItems(int notation, bool flats);

} // namespace ChordLists
