// The chord diagram as text for a song: both hands, with and without the chord name.
#include "app/core/ChordCopy.h"

#include <gtest/gtest.h>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

using namespace ChordCopy;

namespace {

QString Lines(std::initializer_list<const char *> lines)
{
    QString text;
    for (const char *line : lines)
        text += QString::fromUtf8(line) + QStringLiteral("\r\n");
    return text;
}

TTextDiagram Drawn(const char *scheme, bool rightHand, bool showName, const char *name)
{
    TTextDiagram d;
    const QString stored = QString::fromLatin1(scheme);
    d.measure = Diagram::GetMinMax(stored);
    d.shown = Diagram::ShownScheme(stored, d.measure);
    d.rightHand = rightHand;
    d.showName = showName;
    d.chordName = QString::fromUtf8(name);
    return d;
}

} // namespace

TEST(ChordCopy, RightHandWithName)
{
    EXPECT_EQ(ChordAsText(Drawn("0001000203xx", true, true, "C")),
              Lines({"   I                  ", "1|---|---|---|---|---| - C", "2|-x-|---|---|---|---|",
                     "3|---|---|---|---|---|", "4|---|-x-|---|---|---|", "5|---|---|-x-|---|---|",
                     "X|---|---|---|---|---|", "", "C: x 3 2 0 1 0"}));
}

TEST(ChordCopy, LeftHandReadsRightToLeft)
{
    EXPECT_EQ(ChordAsText(Drawn("0001000203xx", false, true, "C")),
              Lines({"                  I  ", "|---|---|---|---|---|1 - C", "|---|---|---|---|-x-|2",
                     "|---|---|---|---|---|3", "|---|---|---|-x-|---|4", "|---|---|-x-|---|---|5",
                     "|---|---|---|---|---|X", "", "C: x 3 2 0 1 0"}));
}

TEST(ChordCopy, HighChordGivesAbsoluteFrets)
{
    EXPECT_EQ(ChordAsText(Drawn("xx07090907xx", true, false, "")),
              Lines({"  VII                 ", "X|---|---|---|---|---|", "2|-x-|---|---|---|---|",
                     "3|---|---|-x-|---|---|", "4|---|---|-x-|---|---|", "5|-x-|---|---|---|---|",
                     "X|---|---|---|---|---|", "", " x 7 9 9 7 x"}));
    EXPECT_EQ(ChordAsText(Drawn("000707070000", false, true, "Am/E")),
              Lines({"                 VII ", "|---|---|---|---|---|1 - Am/E", "|---|---|---|---|-x-|2",
                     "|---|---|---|---|-x-|3", "|---|---|---|---|-x-|4", "|---|---|---|---|---|5",
                     "|---|---|---|---|---|6", "", "Am/E: 0 0 7 7 7 0"}));
}

TEST(ChordCopy, ChordNameOnlyWhenShown)
{
    const QString text = ChordAsText(Drawn("02030200xxxx", true, false, "D"));
    EXPECT_FALSE(text.contains(QLatin1Char('D')));
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n\r\n x x 0 2 3 2\r\n")));
    // A fret beyond the fifth column marks no cell even in a relative diagram.
    const QString wide = ChordAsText(Drawn("xx02xx12xxxx", true, false, ""));
    EXPECT_TRUE(wide.contains(QStringLiteral("\r\n4|---|---|---|---|---|\r\n")));
    EXPECT_TRUE(wide.endsWith(QStringLiteral(" x x 12 x 2 x\r\n")));
    EXPECT_EQ(ChordAsText(Drawn("xxxxxxxxxxxx", false, true, "")).count(QStringLiteral("|---|---|---|---|---|X")), 6);
}
