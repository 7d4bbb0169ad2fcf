#include "midi/NoteString.h"

#include <gtest/gtest.h>

namespace {

struct TRec
{
    uint32_t time;
    int kind;
    uint32_t value;
    int channel;
    bool operator==(const TRec &other) const = default;
};

std::ostream &operator<<(std::ostream &out, const TRec &r)
{
    return out << "{" << r.time << "," << r.kind << "," << r.value << ",ch" << r.channel << "}";
}

std::vector<TRec> Parse(const QString &text, bool *bend, TNoteStringContext context = {})
{
    std::vector<TMGRecord> records;
    *bend = ParseNoteString(context, text, records);
    std::vector<TRec> out;
    for (const TMGRecord &r : records)
        out.push_back({r.time, r.kind, r.value, r.channel});
    return out;
}

TNoteStringContext WithDuration(uint32_t duration)
{
    TNoteStringContext context;
    context.duration = duration;
    return context;
}

} // namespace

TEST(NoteString, ReadsItemsIntoTimedRecords)
{
    TNoteStringContext channel10;
    channel10.effectiveChannel = 9;
    const struct
    {
        const char *text;
        TNoteStringContext context;
        std::vector<TRec> expected;
        bool bend;
    } cases[] = {
        {"C4", WithDuration(50), {{0, 8, 48, 0}, {50, 9, 48, 0}}, true},
        {"E2,5,A2,D3", WithDuration(200),
         {{0, 8, 28, 0}, {5, 8, 33, 0}, {10, 8, 38, 0}, {200, 9, 28, 0}, {205, 9, 33, 0}, {210, 9, 38, 0}}, false},
        {"C,D,E", {}, {{0, 8, 48, 0}, {0, 8, 50, 0}, {0, 8, 52, 0}, {50, 9, 48, 0}, {50, 9, 50, 0}, {50, 9, 52, 0}}, true},
        {"10;C4;20,;D4", {}, {{10, 8, 48, 0}, {20, 8, 50, 0}, {30, 9, 48, 0}, {40, 9, 50, 0}}, false},
        {"N60", {}, {{0, 8, 60, 0}, {50, 9, 60, 0}}, true},
        {"I25,C4", {}, {{0, 6, 25, 0}, {0, 8, 48, 0}, {50, 9, 48, 0}}, true},
        {"I128,C4", {}, {{0, 6, 128, 9}, {0, 8, 128, 9}, {50, 9, 128, 9}}, true},
        {"I5,C4", channel10, {{0, 8, 48, 9}, {50, 9, 48, 9}}, true},
        {"C4,,D4", {}, {{0, 8, 48, 0}, {0, 8, 50, 0}, {50, 9, 48, 0}, {50, 9, 50, 0}}, true},
        {"  c4 , d#4 ", {}, {{0, 8, 48, 0}, {0, 8, 51, 0}, {50, 9, 48, 0}, {50, 9, 51, 0}}, true},
        {"C4;100,D4", {}, {{0, 8, 48, 0}, {0, 8, 50, 0}, {100, 9, 48, 0}, {100, 9, 50, 0}}, true},
        {"C4,D4;70", {}, {{0, 8, 48, 0}, {0, 8, 50, 0}, {50, 9, 48, 0}, {70, 9, 50, 0}}, false},
        // A note's off keeps its place ahead of the next note of the same pitch.
        {"C4;10,10;C4", {}, {{0, 8, 48, 0}, {10, 9, 48, 0}, {10, 8, 48, 0}, {20, 9, 48, 0}}, false},
        // The program change moves ahead of the earlier note's off at the same time.
        {"C4;10,10;I30,C4", {}, {{0, 8, 48, 0}, {10, 6, 30, 0}, {10, 9, 48, 0}, {20, 8, 48, 0}, {30, 9, 48, 0}}, false},
        // A blank item after trimming ends the string; what came before plays.
        {"C4,\t,D4", {}, {{0, 8, 48, 0}, {50, 9, 48, 0}}, true},
        {"D4;0", {}, {{0, 8, 50, 0}, {50, 9, 50, 0}}, true},
    };
    for (const auto &c : cases) {
        bool bend = false;
        EXPECT_EQ(Parse(QString::fromLatin1(c.text), &bend, c.context), c.expected) << c.text;
        EXPECT_EQ(bend, c.bend) << c.text;
    }
}

TEST(NoteString, InvalidItemsProduceNothing)
{
    const char *const texts[] = {"H4", "E#4", "C-4", "C11", "G#10", "N128", "I175", "IX", "X", "C4;X", "-5;C4",
                                 "4294967296;C4", "C4;4294967296", "99999999999999999999;C4", "", "   ", ",,,"};
    for (const char *text : texts) {
        bool bend = true;
        EXPECT_TRUE(Parse(QString::fromLatin1(text), &bend).empty()) << text;
    }
    bool bend = true;
    Parse(QString(), &bend);
    EXPECT_FALSE(bend);
    // An invalid delta clears the bend, even though nothing sounds from it.
    EXPECT_EQ(Parse(QStringLiteral("C4,5X;D4"), &bend).size(), 2u);
    EXPECT_FALSE(bend);
}

TEST(NoteString, OctaveAndDeltaCarryOver)
{
    bool bend = false;
    // G#10 is note 128 and fails, but the octave 10 stays current: C alone is then note 120.
    EXPECT_EQ(Parse(QStringLiteral("G#10,C"), &bend), (std::vector<TRec>{{0, 8, 120, 0}, {50, 9, 120, 0}}));
    // A delta-only item sets the step for the bare notes after it without advancing the time.
    EXPECT_EQ(Parse(QStringLiteral("C4,5,D4,E4"), &bend),
              (std::vector<TRec>{{0, 8, 48, 0}, {5, 8, 50, 0}, {10, 8, 52, 0}, {50, 9, 48, 0}, {55, 9, 50, 0},
                                 {60, 9, 52, 0}}));
    EXPECT_FALSE(bend);
}

TEST(NoteString, TimesSaturateInsteadOfWrapping)
{
    bool bend = false;
    EXPECT_EQ(Parse(QStringLiteral("4294967295;C4;4294967295"), &bend),
              (std::vector<TRec>{{4294967295u, 8, 48, 0}, {4294967295u, 9, 48, 0}}));
    EXPECT_EQ(Parse(QStringLiteral("4294967295;C4,4294967295;D4;1"), &bend),
              (std::vector<TRec>{{4294967295u, 8, 48, 0}, {4294967295u, 9, 48, 0}, {4294967295u, 8, 50, 0},
                                 {4294967295u, 9, 50, 0}}));
}

TEST(NoteString, PercussionInstrumentSoundsItsKeyForEveryNote)
{
    TNoteStringContext context;
    context.instrument = 130;
    bool bend = false;
    EXPECT_EQ(Parse(QStringLiteral("C4,E4"), &bend, context),
              (std::vector<TRec>{{0, 8, 130, 9}, {0, 8, 130, 9}, {50, 9, 130, 9}, {50, 9, 130, 9}}));
    // A melodic program change brings the notes back to the effective channel.
    EXPECT_EQ(Parse(QStringLiteral("I0,C4"), &bend, context),
              (std::vector<TRec>{{0, 6, 0, 0}, {0, 8, 48, 0}, {50, 9, 48, 0}}));
}

TEST(NoteString, NoteIndexKnowsOnlyTheTableSpellings)
{
    const struct
    {
        const char *name;
        int expected;
    } cases[] = {{"C", 0},  {"C+", 1}, {"C#", 1}, {"D-", 1},  {"D", 2},   {"D+", 3},  {"D#", 3},  {"E-", 3},
                 {"E", 4},  {"F", 5},  {"F+", 6}, {"F#", 6},  {"G-", 6},  {"G", 7},   {"G+", 8},  {"G#", 8},
                 {"A-", 8}, {"A", 9},  {"A+", 10}, {"A#", 10}, {"B-", 10}, {"B", 11},  {"H", -1},  {"E#", -1},
                 {"E+", -1}, {"F-", -1}, {"C-", -1}, {"B+", -1}, {"B#", -1}, {"", -1}, {"c", -1}, {"C#4", -1},
                 {"01", -1}, {"0", -1}};
    for (const auto &c : cases)
        EXPECT_EQ(NoteIndex(QString::fromLatin1(c.name)), c.expected) << c.name;
}
