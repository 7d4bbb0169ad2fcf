#include "app/core/SongTextCheck.h"

#include <QString>

#include <gtest/gtest.h>

using SongTextCheck::CheckSongText;
using Q = SongTextCheck::TNotationQuestion;

namespace {
constexpr int East = 0;
constexpr int West = 1;
} // namespace

TEST(SongTextCheck, AsksTheFourAnswers)
{
    struct { const char *text; int notation; Q expected; } cases[] = {
        // an H chord under the West notation
        {"Am  Hm7  E", West, Q::SwitchToEast},
        {"Am  Hm7  E", East, Q::None},
        {"H\nAm", West, Q::SwitchToEast},
        {"H\r\nAm", West, Q::SwitchToEast},
        {"H Am", West, Q::SwitchToEast},
        {"[H7]", West, Q::SwitchToEast},
        {"Hadd9 Haug H11 H13 Hsus4 H/D# H(II) H0", West, Q::SwitchToEast},
        {"Hello THE world", West, Q::None},
        {"H", West, Q::None},
        {"xHm", West, Q::None},
        // a Bb under the East notation, even inside a word
        {"Bb F C", East, Q::SwitchToWest},
        {"Bbq party tonight", East, Q::SwitchToWest},
        {"Bb F C", West, Q::None},
        // the H test comes first at every position: H before Bb decides under East
        {"Hm Bb", East, Q::None},
        {"Bb Hm", West, Q::None},
        {"Bb Hm", East, Q::SwitchToWest},
        // a non-Russian text under the East notation
        {"Yesterday, all my troubles seemed so far away", East, Q::NonRussian},
        {"Yesterday, all my troubles seemed so far away", West, Q::None},
        {"Вчера все мои беды казались далеки, yesterday", East, Q::None},
        {"ток top", East, Q::None},         // as many Latin letters as Cyrillic ones
        {"ток topy", East, Q::NonRussian},  // one more
        // letters chords are made of do not count as Latin
        {"Am Dm G C E Fmaj7 Gsus4 Cadd9", East, Q::None},
        {"", East, Q::None},
        {"", West, Q::None},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CheckSongText(QString::fromUtf8(c.text), c.notation), c.expected) << c.text << " / " << c.notation;
}
