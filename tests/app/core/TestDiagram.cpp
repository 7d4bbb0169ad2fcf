// Where the diagram puts its label, dots and barre, and how it shows a chord high on the neck.
#include "app/core/Diagram.h"

#include <gtest/gtest.h>

using namespace Diagram;

TEST(Diagram, MeasuresLowestAndHighestFret)
{
    struct
    {
        const char *scheme;
        int lowest;
        int highest;
    } cases[] = {
        {"0001000203xx", 1, 3},   // C major
        {"xx07090907xx", 7, 9},
        {"010102030301", 1, 3},   // F major barre
        {"000000020200", 2, 2},   // a larger first field must not pin the lowest at 0
        {"xxxxxxxxxxxx", 0, 0},
        {"00000000xxxx", 0, 0},   // open strings only: nothing fretted
        {"xx12xx1410xx", 10, 14}, // the first fretted field is not the lowest
        {"191817161514", 14, 19},
    };
    for (const auto &c : cases) {
        const TMinMax m = GetMinMax(QString::fromLatin1(c.scheme));
        EXPECT_EQ(m.lowest, c.lowest) << c.scheme;
        EXPECT_EQ(m.highest, c.highest) << c.scheme;
    }
}

TEST(Diagram, RomanLabelsFollowTheLowestFret)
{
    struct
    {
        int n;
        int highest;
        const char *label;
    } cases[] = {
        {1, 3, "  I  "},  {7, 3, "  I  "},   // a low chord is always at the first fret
        {2, 4, " II  "},                      // from the fourth fret on, its own label
        {0, 9, "  I  "},  {7, 9, " VII "},  {5, 8, "  V  "},  {8, 9, " VIII"},
        {12, 14, " XII "}, {13, 15, "XIII"}, {17, 19, "XVII"}, {18, 19, "XVIII"},
        {19, 19, "XIX"},  {20, 19, "I"},     {-1, 19, "I"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ArabicToRoman(c.n, c.highest), QString::fromLatin1(c.label)) << c.n << " " << c.highest;

    for (int n = 1; n <= 19; ++n)
        EXPECT_EQ(RomanToArabic(ArabicToRoman(n, 19).trimmed()), n) << n;
    for (const char *text : {"", "  V  ", "iv", "XX", "IIII", "VIIII"})
        EXPECT_EQ(RomanToArabic(QString::fromLatin1(text)), 1) << text;
}

TEST(Diagram, HighChordsAreShownRelativeToTheirLowestFret)
{
    struct
    {
        const char *scheme;
        const char *shown;
    } cases[] = {
        {"0001000203xx", "0001000203xx"}, // highest 3: unchanged
        {"xx02040402xx", "xx01030301xx"}, // highest 4: moved
        {"xx07090907xx", "xx01030301xx"},
        {"000001020200", "000001020200"},
        {"0002020200xx", "0002020200xx"},
        {"000707070000", "000101010000"}, // open strings stay open
        {"04xx0504xx04", "01xx0201xx01"},
        {"xx02xx12xxxx", "xx01xx11xxxx"}, // a span of ten keeps two digits per field
        {"xxxxxxxxxxxx", "xxxxxxxxxxxx"},
    };
    for (const auto &c : cases) {
        const QString scheme = QString::fromLatin1(c.scheme);
        EXPECT_EQ(ShownScheme(scheme, GetMinMax(scheme)), QString::fromLatin1(c.shown)) << c.scheme;
    }
}

TEST(Diagram, DotPositionsMarkOpenAndMutedStrings)
{
    EXPECT_EQ(DotPositions(QStringLiteral("0001000203xx")), (TPositions{0, 1, 0, 2, 3, 99}));
    EXPECT_EQ(DotPositions(QStringLiteral("xx01030301xx")), (TPositions{99, 1, 3, 3, 1, 99}));
    EXPECT_EQ(DotPositions(QStringLiteral("191817161514")), (TPositions{19, 18, 17, 16, 15, 14}));
}

TEST(Diagram, BarreNeedsFiveFrettedStringsAndNoGaps)
{
    struct
    {
        TPositions positions;
        bool drawn;
        int lowest;
        int last;
    } cases[] = {
        {{1, 1, 2, 3, 3, 1}, true, 1, 6},    // F major
        {{0, 1, 0, 2, 3, 99}, false, 1, 2},  // C major: open strings
        {{99, 1, 3, 3, 1, 99}, false, 1, 5}, // four fretted strings
        {{3, 3, 4, 5, 5, 99}, true, 3, 2},   // A-shape barre stops at string 2
        {{1, 1, 1, 1, 1, 0}, true, 1, 5},    // an open low E string does not block it
        {{2, 2, 2, 2, 2, 2}, true, 2, 6},
        {{1, 2, 3, 4, 5, 6}, false, 1, 1},   // only one string on the lowest fret
        {{99, 1, 1, 2, 3, 3}, true, 1, 3},   // string 2 after a muted string 1 is allowed
        {{1, 99, 1, 2, 3, 1}, false, 1, 6},  // string 3 after muted string 2 blocks it
        {{1, 1, 2, 99, 3, 1}, false, 1, 6},  // string 5 after muted string 4 blocks it
        {{99, 99, 99, 99, 99, 99}, false, 0, 6},
    };
    for (const auto &c : cases) {
        const TBarre barre = BarreOf(c.positions);
        EXPECT_EQ(barre.drawn, c.drawn) << c.positions[0] << c.positions[1] << c.positions[2];
        if (c.drawn) {
            EXPECT_EQ(barre.lowest, c.lowest);
            EXPECT_EQ(barre.last, c.last);
        }
    }
}

TEST(Diagram, LeftHandMirrorsDotsAndBarre)
{
    // Right hand: fret 1 is the column next to the nut on the left.
    EXPECT_EQ(DotX(1, true), 27);
    EXPECT_EQ(DotX(3, true), 185);
    EXPECT_EQ(DotX(1, false), 343);
    EXPECT_EQ(DotX(5, false), 27);
    EXPECT_EQ(DotY(1), -3);
    EXPECT_EQ(DotY(6), 97);
    EXPECT_EQ(BarreX(1, true), 39);
    EXPECT_EQ(BarreX(1, false), 355);
    EXPECT_EQ(BarreX(5, false), 39);
    EXPECT_EQ(PBLeft(true), 28);
    EXPECT_EQ(PBLeft(false), 58);
    for (int position = 1; position <= 5; ++position)
        EXPECT_EQ(DotX(position, false), DotX(6 - position, true)) << position;
}

TEST(Diagram, NoteNamesSplitPerString)
{
    const QString blank(10, QLatin1Char(' '));
    EXPECT_EQ(SplitNoteNames(QStringLiteral("ECGECxx")),
              (QStringList{"E", "C", "G", "E", "C", blank}));
    EXPECT_EQ(SplitNoteNames(QStringLiteral("xxF#C#xxG#B")),
              (QStringList{blank, "F#", "C#", blank, "G#", "B"}));
    EXPECT_EQ(SplitNoteNames(QStringLiteral("xxxxxxxxxxxx")), QStringList(6, blank));
    EXPECT_EQ(StringNames(0), (QStringList{"E ", "H ", "G ", "D ", "A ", "E "}));
    EXPECT_EQ(StringNames(1).at(1), QStringLiteral("B "));
}
