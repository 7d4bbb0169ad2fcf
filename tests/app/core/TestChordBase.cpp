#include "app/core/ChordBase.h"
#include "TestSupport.h"
#include "app/core/ChordLists.h"
#include "platform/ini/IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ChordBase;

namespace {

const QString Data = QStringLiteral(VX_TEST_DATA);

QStringList RussianFlats()
{
    return ChordLists::RootItems({"C (до)", "Db", "D (ре)", "Eb", "E (ми)", "F (фа)", "Gb", "G (соль)", "Ab", "A (ля)"},
                                 true, 0, true);
}

TChordQuery Query(const QString &root, const QString &type, int notation = 0, bool flats = false, int bassIndex = 0)
{
    TChordQuery q;
    q.rootItems = RussianFlats();
    q.rootIndex = int(q.rootItems.indexOf(root));
    q.rootText = root;
    q.chordType = type;
    q.bassItems = ChordLists::BassItems(notation, flats);
    q.bassIndex = bassIndex;
    q.notation = notation;
    return q;
}

using TestSupport::WriteFile;

} // namespace

TEST(ChordBase, RootSectionFollowsListAndNotation)
{
    struct { QString root; int notation; QString rootText; QString expected; } cases[] = {
        {"C (до)", 0, {}, "C"},
        {"Db", 0, {}, "C#"},
        {"Ab", 1, {}, "G#"},
        {"A (ля)", 0, {}, "A"},
        {"B", 0, {}, "A#"},           // si flat item with notation 0
        {"H (си)", 0, {}, "H"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RootSection(Query(c.root, "maj", c.notation)), c.expected) << c.root.toStdString();

    TChordQuery western = Query("B", "maj", 1);
    EXPECT_EQ(RootSection(western), "H") << "B is si in Western notation";
    TChordQuery westernFlat;
    westernFlat.rootItems = ChordLists::RootItems({"C (do)", "Db", "D (re)", "Eb", "E (mi)", "F (fa)", "Gb", "G (sol)", "Ab", "A (la)"},
                                                  false, 1, true);
    westernFlat.rootText = "Bb";
    westernFlat.rootIndex = 10;
    westernFlat.notation = 1;
    EXPECT_EQ(RootSection(westernFlat), "A#");
    westernFlat.rootText = "B (si)";
    westernFlat.rootIndex = 11;
    EXPECT_EQ(RootSection(westernFlat), "H");
}

TEST(ChordBase, FindsSchemesOfTheBaseAndSplitsThem)
{
    TIniFile base(Data + "/chords_lookup.ini");
    struct { QString root; QString type; int bassIndex; QStringList schemes; QString key; } cases[] = {
        {"C (до)", "maj", 0, {"0001000203xx", "0305050503xx", "080809101008", "12131210xxxx"}, "maj"},
        {"C (до)", "m7", 0, {"0304030503xx"}, "m7"},
        {"Db", "maj", 0, {"0406060604xx"}, "maj"},
        {"D (ре)", "maj", 0, {"xx03020000xx"}, "maj"},             // upper-case XX read lower-case
        {"D (ре)", "sus2/C", 1, {"0003020003xx"}, "sus2/C"},
        {"E (ми)", "maj", 0, {NoScheme}, "maj"},                     // no section
        {"C (до)", "dim7", 0, {NoScheme}, "dim7"},                   // no key
    };
    for (const auto &c : cases) {
        const TChordSchemes found = FindChordSchemes(Query(c.root, c.type, 0, false, c.bassIndex), base, nullptr, false);
        EXPECT_EQ(found.schemes, c.schemes) << c.root.toStdString() << " " << c.type.toStdString();
        EXPECT_EQ(found.chordType, c.key);
    }
}

TEST(ChordBase, SlashBassTriesTheOtherSpellingFirst)
{
    TIniFile base(Data + "/chords_lookup.ini");
    TIniFile user(Data + "/user_lookup.ini");
    // "maj/C#": "maj/Db" is tried in both files; the user's "maj/Db" wins over the base's "maj/C#".
    TChordSchemes found = FindChordSchemes(Query("C (до)", "maj/C#", 0, false, 2), base, &user, true);
    EXPECT_EQ(found.schemes, QStringList{"xx0100020304"});
    EXPECT_EQ(found.chordType, "maj/Db");
    // Without that user entry the base's "maj/C#" is found by the listed bass item.
    found = FindChordSchemes(Query("C (до)", "maj/C#", 0, false, 2), base, nullptr, false);
    EXPECT_EQ(found.schemes, QStringList{"xx01000203xx"});
    EXPECT_EQ(found.chordType, "maj/C#");

    // Western notation: "m/A#" tries "m/Bb" first.
    found = FindChordSchemes(Query("A (ля)", "m/A#", 1, false, 11), base, nullptr, false);
    EXPECT_EQ(found.schemes, QStringList{"0101020201xx"});
    EXPECT_EQ(found.chordType, "m/Bb");
    // A flat bass reads the sharp key; "B" reads si or si flat by notation.
    found = FindChordSchemes(Query("A (ля)", "m/Bb", 1, true, 11), base, nullptr, false);
    EXPECT_EQ(found.chordType, "m/A#");
    found = FindChordSchemes(Query("A (ля)", "m/B", 1, false, 12), base, nullptr, false);
    EXPECT_EQ(found.chordType, "m/H");
    EXPECT_EQ(found.schemes, QStringList{"0001020202xx"});
    found = FindChordSchemes(Query("A (ля)", "m/B", 0, true, 11), base, nullptr, false);
    EXPECT_EQ(found.chordType, "m/A#");
}

TEST(ChordBase, UserSchemesFollowTheBase)
{
    TIniFile base(Data + "/chords_lookup.ini");
    TIniFile user(Data + "/user_lookup.ini");
    TChordSchemes found = FindChordSchemes(Query("A (ля)", "7sus4"), base, &user, true);
    EXPECT_EQ(found.schemes, QStringList({"0003000200xx", "0003000200x0"}));
    // A key only the user file holds shows only the user's schemes.
    found = FindChordSchemes(Query("C (до)", "9sus4"), base, &user, true);
    EXPECT_EQ(found.schemes, QStringList{"0303030303xx"});
    // A user file removed while the program runs is no longer read.
    found = FindChordSchemes(Query("C (до)", "9sus4"), base, &user, false);
    EXPECT_EQ(found.schemes, QStringList{NoScheme});
}

TEST(ChordBase, UserSharpSpellingIsNotMergedAfterTheFallback)
{
    QTemporaryDir dir;
    TIniFile base(Data + "/chords_lookup.ini");
    TIniFile user(WriteFile(dir, "user.ini", "[C]\nmaj/C#=xx0100020399\n"));
    const TChordSchemes found = FindChordSchemes(Query("C (до)", "maj/C#", 0, false, 2), base, &user, true);
    EXPECT_EQ(found.schemes, QStringList{"xx01000203xx"});
}

TEST(ChordBase, SplitsAtAStrideOfThirteen)
{
    EXPECT_EQ(SplitSchemes("0001000203xx"), QStringList{"0001000203xx"});
    EXPECT_EQ(SplitSchemes("0001000203xx 0305050503xx"), QStringList({"0001000203xx", "0305050503xx"}));
    // Two blanks shift the stride: the second entry is malformed and is caught by validation.
    EXPECT_EQ(SplitSchemes("0001000203xx  0305050503xx"),
              QStringList({"0001000203xx", "0305050503x", ""}));
}

TEST(ChordBase, AUserTypeWithNoNoteAfterItsSlashIsReadUnderItsOwnName)
{
    QTemporaryDir dir;
    TIniFile base(Data + "/chords_lookup.ini");
    TIniFile user(WriteFile(dir, "user.ini", "[C]\nm7/11=0301030103xx\n7/#11=xx0102020300\n"));
    struct { QString type; QString scheme; } cases[] = {{"m7/11", "0301030103xx"}, {"7/#11", "xx0102020300"}};
    for (const auto &c : cases)
        EXPECT_EQ(FindChordSchemes(Query("C (до)", c.type), base, &user, true).schemes, QStringList{c.scheme});
}

TEST(ChordBase, AKeyTheBaseListsEmptyGivesTheUsersSchemesAlone)
{
    QTemporaryDir dir;
    TIniFile base(WriteFile(dir, "base.ini", "[C]\nmaj=\n"));
    TIniFile user(WriteFile(dir, "user.ini", "[C]\nmaj=0001000203xx 0305050503xx\n"));
    EXPECT_EQ(FindChordSchemes(Query("C (до)", "maj"), base, &user, true).schemes,
              QStringList({"0001000203xx", "0305050503xx"}));
}
