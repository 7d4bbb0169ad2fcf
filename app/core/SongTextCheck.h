#pragma once
// A song text just opened or pasted may betray the other notation of si: an H chord where si is
// B, a Bb where si flat is B, or mostly Latin letters where the Russian notation is in force.
#include <QStringView>

namespace SongTextCheck {

enum class TNotationQuestion {
    None,       // nothing to ask
    SwitchToEast, // an H chord under the West notation
    SwitchToWest, // a Bb under the East notation
    NonRussian, // a text in Latin letters under the East notation
};

// notation: 0 East (si H, si flat B), 1 West (si B, si flat Bb).
TNotationQuestion CheckSongText(QStringView text, int notation);

} // namespace SongTextCheck
