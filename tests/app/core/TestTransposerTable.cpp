#include "app/core/TransposerTable.h"

#include <gtest/gtest.h>

using namespace TransposerTable;

namespace {
QStringList Split(const char *names)
{
    return QString::fromLatin1(names).split(QLatin1Char(' '));
}
} // namespace

TEST(TransposerTable, KeyRowsInEverySpelling)
{
    struct { int key; int notation; bool flats; const char *row; } cases[] = {
        {4, 0, false, "E F F# G G# A A# H C C# D D#"},
        {0, 1, true, "C Db D Eb E F Gb G Ab A Bb B"},
        {0, 0, true, "C Db D Eb E F Gb G Ab A B H"},
        {0, 1, false, "C C# D D# E F F# G G# A A# B"},
        {10, 0, true, "B H C Db D Eb E F Gb G Ab A"},
        {11, 1, true, "B C Db D Eb E F Gb G Ab A Bb"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(KeyRow(c.key, c.notation, c.flats), Split(c.row)) << c.key << c.notation << c.flats;
}

TEST(TransposerTable, StepsMoveTheKeyRow)
{
    const QStringList e = KeyRow(4, 0, false);
    EXPECT_EQ(MovedRow(e, 8), Split("G G# A A# H C C# D D# E F F#"));     // + 3
    EXPECT_EQ(MovedRow(e, 11), e);                                       // =
    EXPECT_EQ(MovedRow(e, 12), Split("D# E F F# G G# A A# H C C# D"));   // - 1
    EXPECT_EQ(MovedRow(e, 22), Split("F F# G G# A A# H C C# D D# E"));   // - 11 is + 1
    EXPECT_EQ(MovedRow(QStringList(), 5), QStringList(12, QString()));
}

TEST(TransposerTable, StepListNamesTargetKeys)
{
    const QStringList bare = BareStepTexts();
    ASSERT_EQ(bare.size(), 23);
    EXPECT_EQ(bare.first(), "+ 11");
    EXPECT_EQ(bare[10], "+ 1");
    EXPECT_EQ(bare[11], "=");
    EXPECT_EQ(bare[12], "- 1");
    EXPECT_EQ(bare.last(), "- 11");
    EXPECT_EQ(StepTexts(QStringList()), bare);

    const QStringList steps = StepTexts(KeyRow(4, 0, false));
    EXPECT_EQ(steps[8], "+ 3       G");
    EXPECT_EQ(steps[0], "+ 11      D#");
    EXPECT_EQ(steps[11], "=     E");
    EXPECT_EQ(steps[12], "- 1       D#");
    EXPECT_EQ(steps[22], "- 11      F");
    EXPECT_EQ(StepTexts(KeyRow(0, 0, false))[9], "+ 2       D");
}

TEST(TransposerTable, CopiesTheTableAsText)
{
    const QStringList key = KeyRow(4, 0, false);
    const QString text = TableText(key, MovedRow(key, 8));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 16);
    EXPECT_EQ(lines[0], "E  ->>  G");
    EXPECT_EQ(lines[1], " ");
    EXPECT_EQ(lines[2], "=-=-=-=-=-=-=");
    EXPECT_EQ(lines[3], " ");
    EXPECT_EQ(lines[4], "E   ->   G");
    EXPECT_EQ(lines[6], "F#  ->   A");
    EXPECT_EQ(lines[15], "D#  ->   F#");
    EXPECT_EQ(TableText(QStringList(12, QString()), QStringList(12, QString())), QString());
    EXPECT_EQ(TableText(key, QStringList()), QString());
}
