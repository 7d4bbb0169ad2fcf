#include "app/core/PlayNotes.h"

#include <gtest/gtest.h>

TEST(PlayNotes, ChordNoteStringRenamesSiShiftsOctavesAndInsertsTheStep)
{
    const struct
    {
        const char *playList;
        int shift;
        int step;
        const char *expected;
    } cases[] = {
        {"E3,H3,E4,G#4,H4,E5,", 0, 5, "E3,5,B3,E4,G#4,B4,E5,"},
        {"E3,H3,E4,G#4,H4,E5,", 1, 5, "E4,5,B4,E5,G#5,B5,E6,"},
        {"E3,H3,E4,G#4,H4,E5,", 0, 0, "E3,0,B3,E4,G#4,B4,E5,"},
        // Si flat becomes A#, and a B made from an H stays B.
        {"B3,H3,", 0, 10, "A#3,10,B3,"},
        {"A3,E4,A4,C#5,E5,", 0, 100, "A3,100,E4,A4,C#5,E5,"},
        {"C4,", 1, 5, "C5,5,"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PlayNotes::ChordNoteString(QString::fromLatin1(c.playList), c.shift, c.step),
                  QString::fromLatin1(c.expected))
            << c.playList;
}
