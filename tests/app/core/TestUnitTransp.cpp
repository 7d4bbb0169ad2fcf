#include "app/core/UnitTransp.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace UnitTransp;

namespace {

constexpr TSpelling EastSharps{0, false};
constexpr TSpelling EastFlats{0, true};
constexpr TSpelling WestSharps{1, false};
constexpr TSpelling WestFlats{1, true};

// Step indexes of the step list.
int Up(int semitones) { return NoStepIndex - semitones; }
int Down(int semitones) { return NoStepIndex + semitones; }

QString Move(const QString &text, int from, int to, TSpelling spelling)
{
    return TransposeText(text, TranspOffset(from, to), spelling);
}

} // namespace

TEST(UnitTransp, OffsetMovesByTheDifferenceOfSteps)
{
    EXPECT_EQ(TranspSetOldOffset(NoStepIndex), 0);
    EXPECT_EQ(TranspSetOldOffset(0), 11);
    EXPECT_EQ(TranspSetOldOffset(22), -11);
    EXPECT_EQ(TranspSetNewOffset(0), 1);
    EXPECT_EQ(TranspSetNewOffset(10), 11);
    EXPECT_EQ(TranspSetNewOffset(11), 0);
    EXPECT_EQ(TranspSetNewOffset(22), 11);
    for (int previous = 0; previous < StepCount; ++previous)
        for (int selected = 0; selected < StepCount; ++selected)
            EXPECT_EQ(TranspOffset(previous, selected), ((selected - previous) % 12 + 12) % 12)
                << previous << " -> " << selected;
}

TEST(UnitTransp, NoteIndexOfEverySpelling)
{
    struct { const char *spelling; int east; int west; } cases[] = {
        {"C", 1, 1},   {"C#", 2, 2},  {"Db", 2, 2},  {"D", 3, 3},   {"D#", 4, 4},  {"Eb", 4, 4},
        {"E", 5, 5},   {"F", 6, 6},   {"F#", 7, 7},  {"Gb", 7, 7},  {"G", 8, 8},   {"G#", 9, 9},
        {"Ab", 9, 9},  {"A", 10, 10}, {"A#", 11, 11}, {"Hb", 11, 11}, {"Bb", 11, 11}, {"B", 11, 12},
        {"H", 12, 12},
        // enharmonic spellings sound as the notes they name
        {"E#", 6, 6},  {"Fb", 5, 5},  {"H#", 1, 1},  {"B#", 12, 1},  {"Cb", 12, 12},
        // no note
        {"", 0, 0},    {"c", 0, 0},   {"X", 0, 0},   {"Cm", 0, 0},  {"C##", 0, 0}, {"I", 0, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(TranspNoteIndex(QString::fromUtf8(c.spelling), 0), c.east) << c.spelling;
        EXPECT_EQ(TranspNoteIndex(QString::fromUtf8(c.spelling), 1), c.west) << c.spelling;
    }
}

TEST(UnitTransp, NoteNamesFollowNotationAndSpelling)
{
    const QStringList eastSharps = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "H"};
    const QStringList eastFlats = {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "B", "H"};
    const QStringList westSharps = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    const QStringList westFlats = {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"};
    for (int n = 1; n <= 12; ++n) {
        EXPECT_EQ(TranspNoteName(n, 0, EastSharps), eastSharps[n - 1]);
        EXPECT_EQ(TranspNoteName(n, 0, EastFlats), eastFlats[n - 1]);
        EXPECT_EQ(TranspNoteName(n, 0, WestSharps), westSharps[n - 1]);
        EXPECT_EQ(TranspNoteName(n, 0, WestFlats), westFlats[n - 1]);
    }
    // offset counts back and wraps: C moved by offset 1 is si
    EXPECT_EQ(TranspNoteName(1, 1, EastSharps), "H");
    EXPECT_EQ(TranspNoteName(1, 11, EastSharps), "C#");
    EXPECT_EQ(TranspNoteName(12, 11, WestFlats), "C");
    EXPECT_EQ(TranspNoteName(0, 0, EastSharps), "H");
}

TEST(UnitTransp, RecognisesChordSuffixes)
{
    struct { const char *rest; bool chord; } cases[] = {
        {"", true},       {"m", true},      {"7", true},      {"13", true},     {"11", true},
        {"maj7", true},   {"sus4", true},   {"m7b5", true},   {"7#9", true},    {"aug", true},
        {"°", true},      {"dim7", true},   {"add9", true},   {"m6", true},     {"mi", true},
        {"M7", true},     {"6-", true},     {"7+", true},     {"augm", true},   {"#", true},
        {"b", true},      {"9sus4", true},  {"madd11", true}, {"verm", true},   {"zm", true},
        {"25", false},    {"57", false},    {"34", false},    {"1", false},    {"mm", false},    {"at", false},    {"og", false},
        {"ello", false},  {"ур", false},    {"mж", false},    {"majj", false},  {"##", true},
        {"+-", true},    {"x", false},     {"7777", false},  {"##x", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TranspIsChordSuffix(QString::fromUtf8(c.rest)), c.chord) << c.rest;
    // however long, a rest of repeated tokens is never a suffix
    EXPECT_FALSE(TranspIsChordSuffix(QString(200, QLatin1Char('m'))));
}

TEST(UnitTransp, ArticleAndBassLetters)
{
    EXPECT_TRUE(TranspIsArticleA(u"A man", 0));
    EXPECT_FALSE(TranspIsArticleA(u"A Man", 0));
    EXPECT_FALSE(TranspIsArticleA(u"A 7", 0));
    EXPECT_FALSE(TranspIsArticleA(u"A ", 0));
    EXPECT_TRUE(TranspIsArticleA(u"x A b", 2));

    struct { const char *text; const char *expected; } cases[] = {
        {"C/e", "C/E"},           {"D/f#", "D/F#"},        {"Am/g Am/h", "Am/G Am/H"},
        {"Ab/eb]", "Ab/Eb]"},     {"C/a C/b", "C/a C/b"},  {"his/her", "his/her"},
        {"and/or", "and/or"},     {"/c", "/C"},           {"/e7", "/e7"},
        {"he/she", "he/she"},     {"C/d\nx", "C/D\nx"},    {"", ""},
        // only a bass of a chord or one standing alone: words and units keep their letters
        {"G /f# /e", "G /F# /E"}, {"(Am/e) C6/9/d", "(Am/E) C6/9/D"},
        {"60 km/h w/e b/c", "60 km/h w/e b/c"}, {"Cat/e", "Cat/e"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TranspUpcaseBassLetters(QString::fromUtf8(c.text)), QString::fromUtf8(c.expected)) << c.text;
}

TEST(UnitTransp, TransposesSongLines)
{
    struct { const char *text; int from; int to; TSpelling spelling; const char *expected; } cases[] = {
        // slash chords, a lower-case bass made a note
        {"Am  C/e  Hm7", NoStepIndex, Up(2), EastSharps, "Hm  D/F#  C#m7"},
        {"Bb7", NoStepIndex, Up(1), WestFlats, "B7"},
        {"B7", NoStepIndex, Up(1), EastFlats, "H7"},
        // Russian lyrics around chords
        {"Am              Dm\nВ лесу родилась ёлочка,\nE7               Am\nВ лесу она росла.",
         NoStepIndex, Up(3), EastSharps,
         "Cm              Fm\nВ лесу родилась ёлочка,\nG7               Cm\nВ лесу она росла."},
        // English lyrics: articles, capitalised words and chords side by side
        {"G        D/F#     Em\nA man is Dead, A Cat and a Dog\nC  Hello CD Am", NoStepIndex, Down(2), WestFlats,
         "F        C/E     Dm\nA man is Dead, G Cat and a Dog\nBb  Hello CD Gm"},
        // alternative names and suffixes
        {"Cmaj7 Csus4 Dm7b5 E7#9 Gaug F° C13 C7", NoStepIndex, Up(1), EastSharps,
         "C#maj7 C#sus4 D#m7b5 F7#9 G#aug F#° C#13 C#7"},
        {"C25 Cat (Am) [Em] Am,Dm.G:C;F?", NoStepIndex, Up(2), EastSharps,
         "C25 Cat (Hm) [F#m] Hm,Em.A:D;G?"},
        // flats and sharps read in both notations
        {"Db Eb Gb Ab Bb Hb B H", NoStepIndex, Up(1), EastSharps, "D E G A H H H C"},
        {"Db Eb Gb Ab Bb Hb B H", NoStepIndex, Up(1), WestSharps, "D E G A B B C C"},
        // enharmonic roots move as the notes they sound
        {"E# Fb H# B# Cb", NoStepIndex, Up(1), EastSharps, "F# F C# C C"},
        {"B#", NoStepIndex, Up(1), WestSharps, "C#"},
        // a Cyrillic letter right after a chord makes it a word; before it, it does not
        {"Amм жAm Am", NoStepIndex, Up(2), EastSharps, "Amм жHm Hm"},
        // a literal end mark does not stop the scan; no-break spaces and tabs are delimiters
        {"Am ¤ Dm\u00A0G\tC", NoStepIndex, Up(2), EastSharps, "Hm ¤ Em\u00A0A\tD"},
        // the step list moves down and around
        {"C", Up(1), Down(1), EastSharps, "A#"},
        {"his/her C/e", NoStepIndex, Up(2), EastSharps, "his/her D/F#"},
        {"", NoStepIndex, Up(5), EastSharps, ""},
        {"Am", Up(4), Up(4), EastSharps, "Am"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Move(QString::fromUtf8(c.text), c.from, c.to, c.spelling), QString::fromUtf8(c.expected))
            << c.text;
}

TEST(UnitTransp, ChainOfStepsReturnsToTheStart)
{
    const QString song = QString::fromUtf8(
        "Intro: Em  C  G  D/F#\n"
        "Em               C\n"
        "Ночь коротка, спят облака,\n"
        "G              D    Hm7  A7sus4\n"
        "И лежит у меня на ладони\n"
        "[Am] (Dm) Eb Gbmaj7 C#dim");
    const QString sharpsAgain = QString::fromUtf8(
        "Intro: Em  C  G  D/F#\n"
        "Em               C\n"
        "Ночь коротка, спят облака,\n"
        "G              D    Hm7  A7sus4\n"
        "И лежит у меня на ладони\n"
        "[Am] (Dm) D# F#maj7 C#dim");
    QString text = song;
    int previous = NoStepIndex;
    for (const int step : {Up(3), Down(2), Down(11), Up(11), Up(7), NoStepIndex}) {
        text = Move(text, previous, step, EastSharps);
        previous = step;
    }
    EXPECT_EQ(text, sharpsAgain);

    // every single step and its way back
    for (int step = 0; step < StepCount; ++step) {
        const QString moved = Move(song, NoStepIndex, step, EastSharps);
        if (step != NoStepIndex) {
            EXPECT_NE(moved, sharpsAgain) << step;
        }
        EXPECT_EQ(Move(moved, step, NoStepIndex, EastSharps), sharpsAgain) << step;
    }
}

TEST(UnitTransp, LeavesTextWithoutChordsAlone)
{
    const QString lyrics = QString::fromUtf8(
        "Hello darkness, my old friend; I've come to talk with you again.\n"
        "Это просто текст без аккордов 2025 года. CD-ROM, DVD, HTML.\n");
    EXPECT_EQ(TransposeText(lyrics, 5, EastSharps), lyrics);
}

TEST(UnitTransp, PositionsFollowTheWordsThroughATransposition)
{
    // "C#" became "C" and "Ab" became "A": the words after them moved back.
    const QString before = QStringLiteral("C# C# Ab\nhello world");
    const QString after = QStringLiteral("C C A\nhello world");
    const struct {
        qsizetype position;
        qsizetype expected;
    } cases[] = {
        {0, 0},   // before the first chord
        {1, 1},   // inside a chord: as far in as the shorter name allows
        {2, 1},   // at a chord's end: at the moved chord's end
        {3, 2},   // at the next chord's start
        {9, 6},   // the start of the next line
        {15, 12}, // inside a word after the chords
        {20, 17}, // the end of the text
    };
    for (const auto &c : cases)
        EXPECT_EQ(MovedPosition(before, after, c.position), c.expected) << c.position;
    // Texts that differ between the words keep the number from there on.
    EXPECT_EQ(MovedPosition(u"a  b c", u"a b c", 3), 3);
    // Longer names move what follows forward.
    EXPECT_EQ(MovedPosition(after, before, 12), 15);
    EXPECT_EQ(MovedPosition(after, before, 1), 2);
}
