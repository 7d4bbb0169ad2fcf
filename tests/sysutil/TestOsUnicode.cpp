#include "sysutil/OsUnicode.h"

#include <gtest/gtest.h>

TEST(OsUnicode, CaseMapsCoverEveryCodeUnit)
{
    struct
    {
        char16_t c, lower, upper, swapped;
    } cases[] = {
        {u'a', u'a', u'A', u'A'},
        {u'Ж', u'ж', u'Ж', u'ж'},
        {u'7', u'7', u'7', u'7'},
        {u'ß', u'ß', u'ß', u'ß'},      // its upper case takes two characters
        {0xD801, 0xD801, 0xD801, 0xD801}, // half a surrogate pair stays as it is
        {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF},
    };
    ASSERT_EQ(UnicodeCharTypes().size(), 65536u);
    for (const auto &c : cases) {
        EXPECT_EQ(UnicodeCharLower(c.c), c.lower) << int(c.c);
        EXPECT_EQ(UnicodeCharUpper(c.c), c.upper) << int(c.c);
        EXPECT_EQ(UnicodeCharSwapCase(c.c), c.swapped) << int(c.c);
    }
    EXPECT_TRUE(UnicodeCharIsUpper(u'Ж'));
    EXPECT_TRUE(UnicodeCharIsLower(u'ж'));
    EXPECT_EQ(UnicodeCharTypes()[u'f'], C1_LOWER | C1_XDIGIT | C1_ALPHA | C1_DEFINED);
    EXPECT_EQ(UnicodeCharTypes()[0x0378] & C1_DEFINED, 0); // unassigned
}
