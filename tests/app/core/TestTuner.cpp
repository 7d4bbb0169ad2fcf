#include "app/core/Tuner.h"
#include "toolkit/VxStringHolder.h"

#include <gtest/gtest.h>

namespace {

using Tuner::NoString;

QString Names(const Tuner::TStringNotes &notes, int notation = 0)
{
    QStringList names;
    for (int note : notes)
        names.append(note == NoString ? QStringLiteral("-") : Tuner::DisplayedName(note, notation));
    return names.join(QLatin1Char(' '));
}

TEST(TunerTest, NamesAndIndexesOfAllNotes)
{
    struct { int index; const char *name; } cases[] = {
        {0, "C1"}, {1, "C#1"}, {10, "A#1"}, {11, "H1"}, {12, "C2"},
        {28, "E3"}, // string 6 of a guitar, note 40 of the tone generator
        {52, "E5"}, {70, "A#6"}, {71, "H6"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Tuner::NoteName(c.index), QString::fromLatin1(c.name));
        EXPECT_EQ(Tuner::NoteIndex(QString::fromLatin1(c.name)), c.index) << c.name;
    }
    for (int i = 0; i < Tuner::NoteCount; ++i)
        EXPECT_EQ(Tuner::NoteIndex(Tuner::NoteName(i)), i);
    for (const char *bad : {"", "C", "1", "C0", "C7", "H7", "B4", "c4", "E31", "Db3", "E 3", "#4"})
        EXPECT_EQ(Tuner::NoteIndex(QString::fromLatin1(bad)), -1) << bad;
    EXPECT_TRUE(Tuner::NoteName(-1).isEmpty());
    EXPECT_TRUE(Tuner::NoteName(72).isEmpty());
}

TEST(TunerTest, EveryPresetTuningInBothNotations)
{
    struct { int row; const char *name; const char *east; const char *west; } cases[] = {
        {0, "Standard", "E5 H4 G4 D4 A3 E3", "E5 B4 G4 D4 A3 E3"},
        {1, "Dropped D", "E5 H4 G4 D4 A3 D3", "E5 B4 G4 D4 A3 D3"},
        {2, "Open A", "E5 C#5 A4 E4 A3 E3", "E5 C#5 A4 E4 A3 E3"},
        {3, "Open C", "E5 C5 G4 C4 G3 C3", "E5 C5 G4 C4 G3 C3"},
        {4, "Open D", "D5 A4 F#4 D4 A3 D3", "D5 A4 F#4 D4 A3 D3"},
        {5, "Open Emin", "E5 H4 G4 E4 H3 E3", "E5 B4 G4 E4 B3 E3"},
        {6, "Open Esus11", "E5 H4 G4 E4 A3 E3", "E5 B4 G4 E4 A3 E3"},
        {7, "Open G", "D5 H4 G4 D4 G3 D3", "D5 B4 G4 D4 G3 D3"},
        {8, "Open Cmin", "D#5 C5 G4 C4 G3 C3", "D#5 C5 G4 C4 G3 C3"},
        {9, "Open Dmin", "D5 A4 F4 D4 A3 D3", "D5 A4 F4 D4 A3 D3"},
        {10, "Open Dsus4", "D5 A4 G4 D4 A3 D3", "D5 A4 G4 D4 A3 D3"},
        {11, "Open E", "E5 H4 G#4 E4 H3 E3", "E5 B4 G#4 E4 B3 E3"},
        {12, "Open F", "F5 C5 F4 C4 A3 F3", "F5 C5 F4 C4 A3 F3"},
        {13, "Russian 7 string guitar", "D5 H4 G4 D4 H3 G3", "D5 B4 G4 D4 B3 G3"},
        {14, "Bass 6 strings", "C4 G3 D3 A2 E2 H1", "C4 G3 D3 A2 E2 B1"},
        {15, "Bass Standard", "- - G3 D3 A2 E2", "- - G3 D3 A2 E2"},
        {16, "Bass Dropped D", "- - G3 D3 A2 D2", "- - G3 D3 A2 D2"},
        {17, "Mandolin Standard", "- - E6 A5 D5 G4", "- - E6 A5 D5 G4"},
    };
    ASSERT_EQ(std::size(cases), size_t(Tuner::TuningCount));
    for (const auto &c : cases) {
        const Tuner::TStringNotes notes = Tuner::TuningNotes(c.row);
        EXPECT_EQ(Tuner::TuningName(c.row), QString::fromLatin1(c.name));
        EXPECT_EQ(Names(notes, 0), QString::fromLatin1(c.east)) << c.name;
        EXPECT_EQ(Names(notes, 1), QString::fromLatin1(c.west)) << c.name;
        EXPECT_EQ(Tuner::UsedStringCount(c.row), c.row >= 15 ? 4 : 6) << c.name;
        // Every instrument's strings rise from the bottom row to the top one.
        int previous = -1;
        for (int n = Tuner::StringCount - 1; n >= 0; --n) {
            if (notes[n] == NoString)
                continue;
            EXPECT_GT(notes[n], previous) << c.name << " string " << n + 1;
            previous = notes[n];
        }
    }
    // An unknown row falls back to standard tuning.
    EXPECT_EQ(Tuner::TuningNotes(18), Tuner::TuningNotes(0));
    EXPECT_EQ(Tuner::TuningNotes(-1), Tuner::TuningNotes(0));
}

TEST(TunerTest, RaisesAndLowersWithinTheRange)
{
    const Tuner::TStringNotes standard = Tuner::TuningNotes(0);
    EXPECT_EQ(Tuner::NoteName(Tuner::StringDown(standard[5])), QStringLiteral("D#3"));
    EXPECT_EQ(Tuner::NoteName(Tuner::StringUp(standard[1])), QStringLiteral("C5"));
    EXPECT_EQ(Tuner::NoteName(Tuner::StringDown(Tuner::StringDown(standard[4]))), QStringLiteral("G3"));
    EXPECT_EQ(Tuner::StringDown(Tuner::NoteIndex("C1")), Tuner::NoteIndex("C1"));
    EXPECT_EQ(Tuner::StringUp(Tuner::NoteIndex("H6")), Tuner::NoteIndex("H6"));
    EXPECT_EQ(Tuner::StringUp(Tuner::NoteIndex("H1")), Tuner::NoteIndex("C2"));
    EXPECT_EQ(Tuner::StringDown(Tuner::NoteIndex("C4")), Tuner::NoteIndex("H3"));
    for (int i = 1; i < Tuner::NoteCount; ++i) {
        EXPECT_EQ(Tuner::StringDown(i), i - 1);
        EXPECT_EQ(Tuner::StringUp(Tuner::StringDown(i)), i);
    }
    // Twelve steps up and down are one octave, every string of every tuning.
    for (int row = 0; row < Tuner::TuningCount; ++row) {
        for (int note : Tuner::TuningNotes(row)) {
            if (note == NoString)
                continue;
            int raised = note;
            for (int step = 0; step < 12; ++step)
                raised = Tuner::StringUp(raised);
            if (note + 12 < Tuner::NoteCount)
                EXPECT_EQ(Tuner::NoteName(raised).chopped(1), Tuner::NoteName(note).chopped(1));
            else
                EXPECT_EQ(raised, Tuner::NoteCount - 1);
        }
    }
}

TEST(TunerTest, ShownAndPlayedNamesSpellSi)
{
    struct { const char *note; int notation; const char *shown; const char *played; } cases[] = {
        {"H4", 0, "H4", "B4"}, {"H4", 1, "B4", "B4"}, {"A#3", 0, "A#3", "A#3"}, {"A#3", 1, "A#3", "A#3"},
        {"H1", 1, "B1", "B1"}, {"C#5", 1, "C#5", "C#5"}, {"E3", 0, "E3", "E3"}, {"H6", 0, "H6", "B6"},
    };
    for (const auto &c : cases) {
        const QString shown = Tuner::DisplayedName(Tuner::NoteIndex(c.note), c.notation);
        EXPECT_EQ(shown, QString::fromLatin1(c.shown)) << c.note << " " << c.notation;
        EXPECT_EQ(Tuner::PlayNoteName(shown), QString::fromLatin1(c.played)) << c.note;
    }
    // Whatever the notation, the tone generator gets the same note for every string.
    for (int row = 0; row < Tuner::TuningCount; ++row)
        for (int note : Tuner::TuningNotes(row)) {
            if (note != NoString) {
                EXPECT_EQ(Tuner::PlayNoteName(Tuner::DisplayedName(note, 0)),
                          Tuner::PlayNoteName(Tuner::DisplayedName(note, 1)));
            }
        }
    EXPECT_TRUE(Tuner::DisplayedName(-1, 1).isEmpty());
}

TEST(TunerTest, NumbersOnlyShownStrings)
{
    using TVisible = std::array<bool, Tuner::StringCount>;
    using TNumbers = std::array<int, Tuner::StringCount>;
    struct { TVisible visible; TNumbers numbers; } cases[] = {
        {{true, true, true, true, true, true}, {1, 2, 3, 4, 5, 6}},
        {{false, false, true, true, true, true}, {0, 0, 1, 2, 3, 4}},
        {{true, false, true, false, true, false}, {1, 0, 2, 0, 3, 0}},
        {{false, false, false, false, false, false}, {0, 0, 0, 0, 0, 0}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Tuner::StringLabelNumbers(c.visible), c.numbers);
}

TEST(TunerTest, RepeatsEveryDurationStep)
{
    struct { int position; int ticks; } cases[] = {{0, 10}, {1, 20}, {5, 100}, {50, 1000}, {100, 2000}};
    for (const auto &c : cases)
        EXPECT_EQ(Tuner::RepeatTicks(c.position), c.ticks) << c.position;
}

TEST(TunerTest, ListsOfTheProgramMatchTheTunings)
{
    EXPECT_EQ(Tuner::TuningListItem(0, 0), QStringLiteral("Standard                    EADGHE"));
    EXPECT_EQ(Tuner::TuningListItem(0, 1), QStringLiteral("Standard                    EADGBE"));
    EXPECT_EQ(Tuner::TuningListItem(2, 1), QStringLiteral("Open A                      EAEAC#E"));
    EXPECT_EQ(Tuner::TuningListItem(14, 0), QStringLiteral("Bass 6 strings              HEADGC"));
    EXPECT_EQ(Tuner::TuningListItem(17, 1), QStringLiteral("Mandolin Standard           GDAE"));

    TVxMultiStringHolder holder(QStringLiteral("VxMultiString"), nullptr);
    ASSERT_TRUE(holder.LoadFromResource(QStringLiteral(":/VxMultiString.txt")));
    for (int notation : {0, 1}) {
        const QStringList items = holder.GetStringsByName(Tuner::TuningListName(notation));
        ASSERT_EQ(items.size(), Tuner::TuningCount) << notation;
        for (int row = 0; row < Tuner::TuningCount; ++row)
            EXPECT_EQ(items[row], Tuner::TuningListItem(row, notation)) << notation << " " << row;
    }
    EXPECT_EQ(Tuner::TuningListName(0), QStringLiteral("SovietList"));
    EXPECT_EQ(Tuner::TuningListName(1), QStringLiteral("WestList"));
}

} // namespace
