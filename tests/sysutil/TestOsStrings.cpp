#include "sysutil/OsStrings.h"

#include <gtest/gtest.h>

TEST(OsStrings, SplitsTextKeepingEmptiesOnlyWhenAsked)
{
    struct
    {
        QString text;
        QString separator;
        bool allowEmpty;
        QStringList expected;
    } cases[] = {
        {"a,,b,", ",", false, {"a", "b"}},
        {"a,,b,", ",", true, {"a", "", "b"}},
        {",a", ",", true, {"", "a"}},
        {"", ",", true, {}},
        {"a", ",", true, {"a"}},
        {"a::b::", "::", true, {"a", "b"}},
        {"a,b", "", true, {"a,b"}},
    };
    for (const auto &c : cases) {
        QStringList list{"old"};
        SplitTextToStrings(c.text, c.separator, list, c.allowEmpty);
        EXPECT_EQ(list, c.expected) << c.text.toStdString() << " " << c.allowEmpty;
    }
}

TEST(OsStrings, TextHelpers)
{
    EXPECT_EQ(AppendSuffixIfMissing("\\", "a\\"), "a\\");
    EXPECT_EQ(AppendSuffixIfMissing("\\", "a"), "a\\");
    EXPECT_EQ(AppendSuffixIfMissing("", "a"), "a");
    EXPECT_EQ(AppendSuffixIfMissing("X", "ax"), "axX");
    EXPECT_EQ(LeftPartOfText("abc", 2), "ab");
    EXPECT_EQ(LeftPartOfText("abc", -1), "");
    EXPECT_EQ(TextFromPosition("abc", 2), "bc");
    EXPECT_EQ(TextFromPosition("abc", 0), "abc");
    EXPECT_EQ(TextFromPosition("abc", 4), "");
}

TEST(OsStrings, ReplacesCharsAndCountsThem)
{
    struct
    {
        QString text;
        QChar search, replace;
        int count;
        QString expected;
    } cases[] = {
        {"a.b.c", '.', '\\', 2, "a\\b\\c"},
        {"a.b.c", '.', '.', 0, "a.b.c"},
        {"abc", 'x', 'y', 0, "abc"},
    };
    for (const auto &c : cases) {
        QString text = c.text;
        const QString shared = text;
        EXPECT_EQ(ReplaceCharInText(text, c.search, c.replace), c.count);
        EXPECT_EQ(text, c.expected);
        EXPECT_EQ(shared, c.text);
    }
}

TEST(OsStrings, ComparesWithoutCaseGivingMinusOneZeroOne)
{
    struct
    {
        QString a, b;
        int expected;
    } cases[] = {
        {"abc", "ABC", 0}, {"abc", "abd", -1}, {"b", "A", 1},
        {QString::fromUtf8("ёлка"), QString::fromUtf8("ЁЛКА"), 0},
        {"", "a", -1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LocaleCompareText(c.a, c.b), c.expected) << c.a.toStdString();
}

TEST(OsStrings, AnsiCaseTablesFollowTheCodePage)
{
    struct
    {
        quint8 byte, lower, upper, swapped;
    } cases[] = {
        {'a', 'a', 'A', 'A'},
        {'Z', 'z', 'Z', 'z'},
        {'5', '5', '5', '5'},
        {' ', ' ', ' ', ' '},
        {0xE0, 0xE0, 0xC0, 0xC0}, // а
        {0xA8, 0xB8, 0xA8, 0xB8}, // Ё
        {0xB5, 0xB5, 0xB5, 0xB5}, // µ: its upper case is not in the code page
        {0x98, 0x98, 0x98, 0x98},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(AnsiCharLower(c.byte), c.lower) << int(c.byte);
        EXPECT_EQ(AnsiCharUpper(c.byte), c.upper) << int(c.byte);
        EXPECT_EQ(AnsiCharSwapCase(c.byte), c.swapped) << int(c.byte);
        EXPECT_EQ(AnsiCaseMap()[AnsiReOffset + c.byte], c.swapped);
    }
    EXPECT_TRUE(AnsiCharIsUpper(0xC0));
    EXPECT_TRUE(AnsiCharIsLower(0xFF));
    EXPECT_FALSE(AnsiCharIsUpper('1') || AnsiCharIsLower('1'));
    EXPECT_EQ(AnsiCharTypes()['7'], C1_DIGIT | C1_XDIGIT | C1_DEFINED);
    EXPECT_EQ(AnsiCharTypes()[' '], C1_SPACE | C1_BLANK | C1_DEFINED);
    EXPECT_EQ(AnsiCharTypes()['\n'], C1_SPACE | C1_CNTRL | C1_DEFINED);
}
