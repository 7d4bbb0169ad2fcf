#include "app/core/Tuner.h"

namespace Tuner {

namespace {

const char *const Semitones[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "H"};

struct TTuningRow
{
    const char *name;
    const char *strings[StringCount]; // string 1 first; nullptr where the instrument has no string
};

const TTuningRow Tunings[TuningCount] = {
    {"Standard", {"E5", "H4", "G4", "D4", "A3", "E3"}},
    {"Dropped D", {"E5", "H4", "G4", "D4", "A3", "D3"}},
    {"Open A", {"E5", "C#5", "A4", "E4", "A3", "E3"}},
    {"Open C", {"E5", "C5", "G4", "C4", "G3", "C3"}},
    {"Open D", {"D5", "A4", "F#4", "D4", "A3", "D3"}},
    {"Open Emin", {"E5", "H4", "G4", "E4", "H3", "E3"}},
    {"Open Esus11", {"E5", "H4", "G4", "E4", "A3", "E3"}},
    {"Open G", {"D5", "H4", "G4", "D4", "G3", "D3"}},
    {"Open Cmin", {"D#5", "C5", "G4", "C4", "G3", "C3"}},
    {"Open Dmin", {"D5", "A4", "F4", "D4", "A3", "D3"}},
    {"Open Dsus4", {"D5", "A4", "G4", "D4", "A3", "D3"}},
    {"Open E", {"E5", "H4", "G#4", "E4", "H3", "E3"}},
    {"Open F", {"F5", "C5", "F4", "C4", "A3", "F3"}},
    {"Russian 7 string guitar", {"D5", "H4", "G4", "D4", "H3", "G3"}},
    {"Bass 6 strings", {"C4", "G3", "D3", "A2", "E2", "H1"}},
    {"Bass Standard", {nullptr, nullptr, "G3", "D3", "A2", "E2"}},
    {"Bass Dropped D", {nullptr, nullptr, "G3", "D3", "A2", "D2"}},
    {"Mandolin Standard", {nullptr, nullptr, "E6", "A5", "D5", "G4"}},
};

// Names and letters line up in a fixed-width font.
constexpr int ItemNameWidth = 26;

const TTuningRow &Row(int row)
{
    return Tunings[row >= 0 && row < TuningCount ? row : 0];
}

QString WestSi(const QString &name)
{
    return name.startsWith(QLatin1Char('H')) ? QLatin1Char('B') + name.mid(1) : name;
}

} // namespace

QString NoteName(int index)
{
    if (index < 0 || index >= NoteCount)
        return {};
    return QLatin1String(Semitones[index % 12]) + QString::number(index / 12 + 1);
}

int NoteIndex(const QString &name)
{
    if (name.size() < 2)
        return -1;
    const QChar digit = name.back();
    if (digit < QLatin1Char('1') || digit > QLatin1Char('6'))
        return -1;
    const QString letters = name.chopped(1);
    for (int semitone = 0; semitone < 12; ++semitone)
        if (letters == QLatin1String(Semitones[semitone]))
            return (digit.unicode() - '1') * 12 + semitone;
    return -1;
}

TStringNotes TuningNotes(int row)
{
    TStringNotes notes;
    const TTuningRow &tuning = Row(row);
    for (int n = 0; n < StringCount; ++n)
        notes[n] = tuning.strings[n] ? NoteIndex(QLatin1String(tuning.strings[n])) : NoString;
    return notes;
}

QString TuningName(int row)
{
    return QLatin1String(Row(row).name);
}

int UsedStringCount(int row)
{
    int count = 0;
    for (const char *note : Row(row).strings)
        count += note ? 1 : 0;
    return count;
}

int StringDown(int index)
{
    return index > 0 && index < NoteCount ? index - 1 : index;
}

int StringUp(int index)
{
    return index >= 0 && index < NoteCount - 1 ? index + 1 : index;
}

QString DisplayedName(int index, int notation)
{
    const QString name = NoteName(index);
    return notation == 1 ? WestSi(name) : name;
}

QString PlayNoteName(const QString &displayed)
{
    return WestSi(displayed);
}

std::array<int, StringCount> StringLabelNumbers(const std::array<bool, StringCount> &visible)
{
    std::array<int, StringCount> numbers{};
    int next = 1;
    for (int n = 0; n < StringCount; ++n)
        numbers[n] = visible[n] ? next++ : 0;
    return numbers;
}

int RepeatTicks(int durationPosition)
{
    return durationPosition == 0 ? 10 : durationPosition * 20;
}

QString TuningListItem(int row, int notation)
{
    QString letters;
    const TStringNotes notes = TuningNotes(row);
    for (int n = StringCount - 1; n >= 0; --n) {
        if (notes[n] == NoString)
            continue;
        letters += QLatin1String(Semitones[notes[n] % 12]);
    }
    if (notation == 1)
        letters.replace(QLatin1Char('H'), QLatin1Char('B'));
    QString name = TuningName(row);
    return name.leftJustified(ItemNameWidth, QLatin1Char(' ')) + QStringLiteral("  ") + letters;
}

QString TuningListName(int notation)
{
    return notation == 1 ? QStringLiteral("WestList") : QStringLiteral("SovietList");
}

} // namespace Tuner
