// The fretboard window's note table, spellings, legend and placement.
#include "app/core/Fretboard.h"

#include <gtest/gtest.h>

using namespace Fretboard;

TEST(Fretboard, TableRisesASemitoneAFretFromEachOpenString)
{
    const struct { int string, fret; const char *note; } cases[] = {
        {1, 0, "E"}, {2, 0, "H"}, {3, 0, "G"}, {4, 0, "D"}, {5, 0, "A"}, {6, 0, "E"},
        {1, 1, "F"}, {1, 6, "B"}, {1, 7, "H"}, {1, 12, "E"}, {1, 19, "H"},
        {2, 1, "C"}, {3, 1, "G#"}, {6, 4, "G#"}, {6, 11, "D#"}, {5, 13, "B"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TableNote(c.string, c.fret), QString::fromLatin1(c.note)) << c.string << "/" << c.fret;
}

TEST(Fretboard, TableHasNothingOutsideTheNeck)
{
    const struct { int string, fret; } cases[] = {{0, 1}, {7, 1}, {1, -1}, {1, 20}, {6, 20}};
    for (const auto &c : cases)
        EXPECT_TRUE(TableNote(c.string, c.fret).isEmpty()) << c.string << "/" << c.fret;
}

TEST(Fretboard, NoteNamesFollowNotationAndAccidentals)
{
    const struct { const char *name; bool west, flats; const char *expected; } cases[] = {
        {"B", true, true, "Bb"},  {"B", false, true, "B"},  {"B", true, false, "A#"}, {"B", false, false, "A#"},
        {"H", true, true, "B"},   {"H", true, false, "B"},  {"H", false, true, "H"},  {"H", false, false, "H"},
        {"C#", true, false, "C#"}, {"E", false, true, "E"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FretboardNoteName(QString::fromLatin1(c.name), c.west, c.flats), QString::fromLatin1(c.expected))
            << c.name << " west=" << c.west << " flats=" << c.flats;
}

TEST(Fretboard, ShownNotesSpellSharpsAsFlatsFromTheNoteAbove)
{
    const struct { int string, fret; bool west, flats; const char *expected; } cases[] = {
        // Si flat and si on the high E string in both notations.
        {1, 6, true, true, "Bb"}, {1, 7, true, true, "B"},
        {1, 6, false, false, "A#"}, {1, 7, false, false, "H"},
        {1, 6, false, true, "B"}, {1, 7, false, true, "H"},
        {1, 6, true, false, "A#"}, {1, 7, true, false, "B"},
        // Sharps become flats of the next fret's note.
        {6, 4, true, true, "Ab"}, {6, 11, true, true, "Eb"}, {2, 2, false, true, "Db"}, {5, 9, true, true, "Gb"},
        {6, 4, true, false, "G#"}, {6, 11, false, false, "D#"},
        // A sharp on the table's last fret still finds its note above.
        {3, 13, true, true, "Ab"}, {2, 19, true, true, "Gb"}, {2, 19, false, false, "F#"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ShownNote(c.string, c.fret, c.west, c.flats), QString::fromLatin1(c.expected))
            << c.string << "/" << c.fret << " west=" << c.west << " flats=" << c.flats;
}

TEST(Fretboard, EveryDrawnPlaceHasAShortName)
{
    for (bool west : {false, true})
        for (bool flats : {false, true})
            for (int string = 1; string <= StringCount; ++string)
                for (int fret = 1; fret <= ShownFrets; ++fret) {
                    const QString name = ShownNote(string, fret, west, flats);
                    EXPECT_TRUE(name.size() == 1 || name.size() == 2) << string << "/" << fret << " " << name.toStdString();
                    EXPECT_EQ(name.contains(QLatin1Char('#')), !flats && name.size() == 2);
                }
}

TEST(Fretboard, LegendForEveryLanguageSpellingAndNotation)
{
    const struct { bool english, west, flats; const char *expected; } cases[] = {
        {true, true, false, "C=do, D=re, E=mi, F=fa, G=sol, A=la, B=si  ||  #=sharp, b=flat"},
        {true, false, false, "C=do, D=re, E=mi, F=fa, G=sol, A=la, H=si  ||  #=sharp, b=flat"},
        {true, true, true, "C=do, D=re, E=mi, F=fa, G=sol, A=la, Bb=si flat, B=si  ||  #=sharp, b=flat"},
        {true, false, true, "C=do, D=re, E=mi, F=fa, G=sol, A=la, B=si flat, H=si  ||  #=sharp, b=flat"},
        {false, true, false, "C=до, D=ре, E=ми, F=фа, G=соль, A=ля, B=си  ||  #=диез, b=бемоль"},
        {false, false, false, "C=до, D=ре, E=ми, F=фа, G=соль, A=ля, H=си  ||  #=диез, b=бемоль"},
        {false, true, true, "C=до, D=ре, E=ми, F=фа, G=соль, A=ля, Bb=си-бемоль, B=си  ||  #=диез, b=бемоль"},
        {false, false, true, "C=до, D=ре, E=ми, F=фа, G=соль, A=ля, B=си-бемоль, H=си  ||  #=диез, b=бемоль"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Legend(c.english, c.west, c.flats), QString::fromUtf8(c.expected))
            << "english=" << c.english << " west=" << c.west << " flats=" << c.flats;
}

TEST(Fretboard, PlacesMarkersNamesAndFretNumbers)
{
    EXPECT_EQ(MarkerPos(1, 1), QPoint(32, 17));
    EXPECT_EQ(MarkerPos(6, 16), QPoint(692, 132));
    EXPECT_EQ(NamePos(QStringLiteral("E"), 1, 1), QPoint(40, 22));
    EXPECT_EQ(NamePos(QStringLiteral("Bb"), 3, 10), QPoint(434, 68));
    EXPECT_EQ(FretNumberX(1, 4), 40);
    EXPECT_EQ(FretNumberX(16, 20), 692);
    const struct { int fret; const char *roman; } romans[] = {
        {1, "I"}, {4, "IV"}, {9, "IX"}, {12, "XII"}, {14, "XIV"}, {16, "XVI"}, {0, ""}, {17, ""}};
    for (const auto &r : romans)
        EXPECT_EQ(RomanFret(r.fret), QString::fromLatin1(r.roman)) << r.fret;
}
