#include "app/core/ChordUnderPointer.h"

#include <gtest/gtest.h>

using namespace ChordUnderPointer;

TEST(ChordUnderPointer, FindsTheWordAtTheCaret)
{
    const QString line = QStringLiteral("Am7  C/E [Dm] *G*, (Em)");
    struct { qsizetype caret; const char *word; } cases[] = {
        {0, "Am7"},  {2, "Am7"},  {3, "Am7"},  {4, ""},     {5, "C/E"},  {8, "C/E"},
        {10, "Dm"},  {12, "Dm"},  {13, ""},  {15, "G"},   {16, "G"},   {17, ""},
        {19, ""},    {20, "(Em)"}, {23, "(Em)"}, {99, ""},  {-1, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(WordAt(line, c.caret), QString::fromUtf8(c.word)) << c.caret;
    EXPECT_EQ(WordAt(u"Am\nDm", 2), "Am");
    EXPECT_EQ(WordAt(u"Am\tDm", 3), "Dm");
    EXPECT_EQ(WordAt(u"", 0), "");
}

TEST(ChordUnderPointer, SplitsChordWords)
{
    struct { const char *word; bool valid; const char *root; const char *type; const char *bass; const char *fret; } cases[] = {
        {"Am7", true, "A", "m7", "", ""},
        {"C/E", true, "C", "maj", "/E", ""},
        {"D/f#", true, "D", "maj", "/f#", ""},
        {"Am/G", true, "A", "m", "/G", ""},
        {"(Em)", true, "E", "m", "", ""},
        {"Em)", true, "E", "m", "", ""},
        {"G(III)", true, "G", "maj", "", "III"},
        {"Am(v)", true, "A", "m", "", "V"},
        {"Am(V)/", true, "A", "m", "", "V"},
        {"C(add9)", true, "C", "(add9)", "", ""},
        {"C", true, "C", "maj", "", ""},
        {"\u0421", true, "C", "maj", "", ""},
        {"F#m7", true, "F#", "m7", "", ""},
        {"Bbmaj7", true, "Bb", "maj7", "", ""},
        {"/E", true, "E", "maj", "", ""},
        {"C7/9", true, "C", "7/9", "", ""},
        {"Xm", false, "X", "m", "", ""},
        {"cm", false, "c", "m", "", ""},
        {"/", false, "/", "maj", "", ""},
    };
    for (const auto &c : cases) {
        const TChordWord chord = ParseChordWord(QString::fromUtf8(c.word));
        EXPECT_EQ(chord.valid, c.valid) << c.word;
        EXPECT_EQ(chord.root, QString::fromUtf8(c.root)) << c.word;
        EXPECT_EQ(chord.typeText, QString::fromUtf8(c.type)) << c.word;
        EXPECT_EQ(chord.bassText, QString::fromUtf8(c.bass)) << c.word;
        EXPECT_EQ(chord.romanFret, QString::fromUtf8(c.fret)) << c.word;
    }
    EXPECT_FALSE(ParseChordWord(QString()).valid);
}

TEST(ChordUnderPointer, RootAndBassIndexes)
{
    struct { const char *root; int east; int west; } roots[] = {
        {"C", 0, 0},   {"C#", 1, 1},  {"Db", 1, 1},  {"D", 2, 2},   {"Eb", 3, 3},  {"E", 4, 4},
        {"F", 5, 5},   {"Gb", 6, 6},  {"G", 7, 7},   {"Ab", 8, 8},  {"A", 9, 9},   {"A#", 10, 10},
        {"Hb", 10, 10}, {"Bb", 10, 10}, {"B", 10, 11}, {"H", 11, 11}, {"X", 0, 0},  {"c", 0, 0},
    };
    for (const auto &r : roots) {
        EXPECT_EQ(RootIndexOf(QString::fromUtf8(r.root), 0), r.east) << r.root;
        EXPECT_EQ(RootIndexOf(QString::fromUtf8(r.root), 1), r.west) << r.root;
    }
    struct { const char *bass; int east; int west; } basses[] = {
        {"/C", 1, 1},   {"/c", 1, 1},   {"/c#", 2, 2},  {"/db", 2, 2},  {"/E", 5, 5},   {"/f#", 7, 7},
        {"/A", 10, 10}, {"/Bb", 11, 11}, {"/B", 11, 12}, {"/h", 12, 12}, {"/X", 0, 0},  {"", 0, 0},
        {"/", 0, 0},    {"C", 0, 0},    {"/Cx", 0, 0},  {"/C#m", 0, 0},
    };
    for (const auto &b : basses) {
        EXPECT_EQ(BassIndexOf(QString::fromUtf8(b.bass), 0), b.east) << b.bass;
        EXPECT_EQ(BassIndexOf(QString::fromUtf8(b.bass), 1), b.west) << b.bass;
    }
}
