#include "app/core/SchemeCheck.h"

#include <gtest/gtest.h>

using namespace SchemeCheck;

namespace {
QString Ids(int id)
{
    return QStringLiteral("<%1>").arg(id);
}
} // namespace

TEST(SchemeCheck, ValidatesSchemesInRuleOrder)
{
    struct { QString scheme; QString expected; } cases[] = {
        {"0001000203xx", ""},
        {"1901000203xx", ""},
        {"xxxxxxxxxxxx", ""},
        {"0001000203x", "<49>0001000203x<50>\r\n<51>\r\n<52>"},
        {"000100020300 ", "<49>000100020300 <50>\r\n<51>\r\n<52>"},
        {"0001000203zz", "<54>\r\n<55>0001000203zz<56>"},
        {"0001000203XX", "<54>\r\n<55>0001000203XX<56>"},   // callers lower-case first
        {"00010002031x", "<54>\r\n<59>00010002031x<60>\r\n<52>"},
        {"x0010002031x", "<54>\r\n<59>x0010002031x<60>\r\n<52>"},
        {"2001000203xx", "<54>\r\n<59>2001000203xx<65>\r\n<52>"},
        {"0001000299xx", "<54>\r\n<59>0001000299xx<65>\r\n<52>"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ValidateScheme(c.scheme, Ids), c.expected) << c.scheme.toStdString();
}

TEST(SchemeCheck, TakesUserTypesFromTheLinesUnderTheFirstHeader)
{
    struct { QStringList lines; bool hasHeader; QStringList names; } cases[] = {
        {{"; comment", "", "[C]", "m7b9=0001000203xx", "maj/Db=xx0100020304", "maj/Q=0", "7/X=1",
          "maj/Hb=2", "a=b/c", "[D]=x", "no equals", "", "later=0001000203xx"},
         true, {"m7b9", "maj", "maj/Q", "7/X", "maj", "a"}},
        {{"[C]", "", "m7b9=0001000203xx"}, true, {}},                 // an empty line ends the scan
        {{"comment", "[C]"}, false, {}},                              // the only header is the last line
        {{"comment only", "no header"}, false, {}},
        {{}, false, {}},
        {{"[C]", "sus=1", "[D]", "add11=2"}, true, {"sus", "add11"}}, // sections play no part
    };
    for (const auto &c : cases) {
        const TUserChordTypes types = UserChordTypes(c.lines);
        EXPECT_EQ(types.hasHeader, c.hasHeader) << c.lines.join('|').toStdString();
        EXPECT_EQ(types.names, c.names) << c.lines.join('|').toStdString();
    }
}
