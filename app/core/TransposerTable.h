#pragma once
// The transposer page's table: the twelve notes of a song's key beside the notes they move to,
// the step list that names each step's target key, and the table as clipboard text.
#include <QString>
#include <QStringList>

namespace TransposerTable {

// "+ 11" .. "+ 1", "=", "- 1" .. "- 11".
QStringList BareStepTexts();
// The chromatic scale from key (0 C .. 11 si) in the spelling of the options.
QStringList KeyRow(int key, int notation, bool flats);
// Each note of keyRow moved by the step at stepIndex of the step list.
QStringList MovedRow(const QStringList &keyRow, int stepIndex);
// The step texts each followed by its target key, aligned for a fixed-pitch font.
QStringList StepTexts(const QStringList &keyRow);
// The key change, a rule and one line per note, joined by CR LF; empty without both keys.
QString TableText(const QStringList &keyRow, const QStringList &movedRow);

} // namespace TransposerTable
