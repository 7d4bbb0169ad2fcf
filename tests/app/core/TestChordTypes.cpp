#include "app/core/ChordTypes.h"

#include <gtest/gtest.h>

#include <QMap>

#include <ostream>

// Readable failure messages for texts.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

using namespace ChordTypes;

namespace {

QString Q(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

TEST(ChordTypes, ResolvesTypedNamesToTheirChordType)
{
    const struct {
        const char *text;
        const char *canonical;
    } cases[] = {
        {"7/9", "9"},       {"sus", "sus4"},      {"0", "dim7"},        {"Maj7", ""},
        {"", ""},           {"maj", "maj"},       {"M", "maj"},         {"sus9", "9sus4"},
        {"2", "sus2"},      {"+", "+5"},          {"+7", "maj7"},       {"9+", "+9"},
        {"m7/(b5)", "m7-5"}, {"69", "6add9"},     {"m(add9)", "madd9"}, {"07", "dim7"},
        {"9/7+", "maj9"},   {"maj7+5", "+7+5"},   {"min", "m"},         {"m ", ""},
        {"13", "13"},       {"M7", "maj7"},       {"M9", "maj9"},       {"7(9#)", "+9"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CanonicalChordType(Q(c.text)), Q(c.canonical)) << c.text;
}

TEST(ChordTypes, OnlySus9IsListedUnderTwoChordTypes)
{
    QMap<QString, QStringList> rowsOf;
    for (const QStringList &row : AlternativeNames())
        for (const QString &entry : row)
            if (!entry.isEmpty())
                rowsOf[entry].append(row.first());
    QStringList twice;
    for (auto it = rowsOf.cbegin(); it != rowsOf.cend(); ++it)
        if (it.value().size() > 1)
            twice.append(it.key() + QLatin1Char(':') + it.value().join(QLatin1Char(',')));
    EXPECT_EQ(twice, QStringList{"sus9:sus2,9sus4"});

    // Every other entry leads back to the row it stands in.
    for (const QStringList &row : AlternativeNames()) {
        ASSERT_EQ(row.size(), 12);
        for (const QString &entry : row)
            if (!entry.isEmpty() && entry != QLatin1String("sus9")) {
                EXPECT_EQ(CanonicalChordType(entry), row.first()) << entry.toStdString();
            }
    }
}

TEST(ChordTypes, TablesHaveTheirShapes)
{
    ASSERT_EQ(CanonicalTypes().size(), TypeCount);
    ASSERT_EQ(TypesAndFormulas().size(), 60);
    EXPECT_EQ(TypesAndFormulas().at(29), "6add9");
    EXPECT_EQ(TypesAndFormulas().at(30), "010508");
    EXPECT_EQ(TypesAndFormulas().at(59), "0105081015");
    ASSERT_EQ(AlternativeNames().size(), TypeCount);
    for (int i = 0; i < TypeCount; ++i)
        EXPECT_EQ(AlternativeNames().at(i).first(), CanonicalTypes().at(i));
    EXPECT_EQ(AlternativeNames().at(6).last(), "9/7+");  // a full row
    EXPECT_EQ(AlternativeNames().at(2).at(1), "");       // "7" has no alternative

    ASSERT_EQ(ChromaticNames().size(), 36);
    EXPECT_EQ(ChromaticNames().at(35), "H");
    EXPECT_EQ(ChromaticNames().at(18), "F#");
    ASSERT_EQ(BassSpellings().size(), 19);
    EXPECT_EQ(BassSpellings().at(12), "B");

    const QStringList &board = FretboardNames();
    ASSERT_EQ(board.size(), 120);
    EXPECT_EQ(board.mid(0, 9), QStringList({"E", "F", "F#", "G", "G#", "A", "B", "H", "C"}));
    EXPECT_EQ(board.mid(20, 3), QStringList({"H", "C", "C#"}));
    EXPECT_EQ(board.at(100), "E");  // string 6 open
    EXPECT_EQ(board.at(119), "H");  // string 6, fret 19
    for (int string = 0; string < 6; ++string)
        EXPECT_EQ(board.at(string * 20 + 12), board.at(string * 20));

    const QStringList &octaves = NotesWithOctave();
    ASSERT_EQ(octaves.size(), 72);
    EXPECT_EQ(octaves.at(0), "C1");
    EXPECT_EQ(octaves.at(10), "A#1");
    EXPECT_EQ(octaves.at(11), "H1");
    EXPECT_EQ(octaves.at(12), "C2");
    EXPECT_EQ(octaves.at(71), "H6");
}

TEST(ChordTypes, FindsTheFormulaOfTheTypeBeforeTheSlash)
{
    const struct {
        const char *type;
        const char *formula;
    } cases[] = {
        {"maj", "010508"},   {"m7/C#", "01040811"}, {"13/E", "01050811151822"},
        {"M", ""},           {"m9-5", ""},          {"", ""},
        {"/C", ""},          {"MAJ", ""},           {"6add9", "0105081015"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ChordTypeFormula(Q(c.type)), Q(c.formula)) << c.type;
    EXPECT_EQ(FormulaSteps("01050811151822"), QList<int>({1, 5, 8, 11, 15, 18, 22}));
}

TEST(ChordTypes, IntervalLinesOfEveryTypeOnC)
{
    // Notation 0 with sharps writes the table of chord types as it is.
    const char *const lines[TypeCount] = {
        "(1)C    (3)E    (5)G    ",
        "(1)C    (-3)D#    (5)G    ",
        "(1)C    (3)E    (5)G    (-7)A#    ",
        "(1)C    (-3)D#    (5)G    (6)A    ",
        "(1)C    (-3)D#    (5)G    (-7)A#    ",
        "(1)C    (3)E    (5)G    (7)H    ",
        "(1)C    (3)E    (5)G    (7)H    (9)D    ",
        "(1)C    (3)E    (5)G    (6)A    ",
        "(1)C    (-3)D#    (5)G    (7)H    ",
        "(1)C    (3)E    (-5)F#    (-7)A#    ",
        "(1)C    (3)E    (+5)G#    (-7)A#    ",
        "(1)C    (-3)D#    (-5)F#    (-7)A#    ",
        "(1)C    (3)E    (+5)G#    (7)H    ",
        "(1)C    (-3)D#    (-5)F#    (6)A    ",
        "(1)C    (3)E    (+5)G#    ",
        "(1)C    (-3)D#    (-5)F#    ",
        "(1)C    (3)E    (5)G    (-7)A#    (9)D    ",
        "(1)C    (3)E    (5)G    (-7)A#    (-9)C#    ",
        "(1)C    (3)E    (5)G    (-7)A#    (+9)D#    ",
        "(1)C    (2)D    (5)G    ",
        "(1)C    (4)F    (5)G    ",
        "(1)C    (4)F    (5)G    (-7)A#    ",
        "(1)C    (4)F    (5)G    (-7)A#    (9)D    ",
        "(1)C    (-3)D#    (5)G    (-7)A#    (9)D    ",
        "(1)C    (3)E    (5)G    (-7)A#    (9)D    (11)F    ",
        "(1)C    (-3)D#    (5)G    (-7)A#    (9)D    (11)F    ",
        "(1)C    (3)E    (5)G    (-7)A#    (9)D    (11)F    (13)A    ",
        "(1)C    (3)E    (5)G    (9)D    ",
        "(1)C    (-3)D#    (5)G    (9)D    ",
        "(1)C    (3)E    (5)G    (6)A    (9)D    ",
    };
    for (int i = 0; i < TypeCount; ++i)
        EXPECT_EQ(IntervalLine(1, Formulas().at(i), 0, false), Q(lines[i])) << i;
}

TEST(ChordTypes, IntervalLinesFollowNotationAndAccidentals)
{
    const struct {
        int rootIndex;
        const char *type;
        int notation;
        bool flats;
        const char *line;
    } cases[] = {
        {10, "dim7", 1, true, "(1)A    (-3)C    (-5)Eb    (6)Gb    "},
        {10, "dim7", 0, false, "(1)A    (-3)C    (-5)D#    (6)F#    "},
        {12, "maj", 0, false, "(1)H    (3)D#    (5)F#    "},
        {12, "maj", 1, false, "(1)B    (3)D#    (5)F#    "},
        {12, "maj", 1, true, "(1)B    (3)Eb    (5)Gb    "},
        {11, "maj", 0, false, "(1)A#    (3)D    (5)F    "},
        {11, "maj", 0, true, "(1)B    (3)D    (5)F    "},
        {11, "maj", 1, true, "(1)Bb    (3)D    (5)F    "},
        {12, "13", 0, true, "(1)H    (3)Eb    (5)Gb    (-7)A    (9)Db    (11)E    (13)Ab    "},
        {7, "-9", 1, true, "(1)Gb    (3)Bb    (5)Db    (-7)E    (-9)G    "},
        {1, "sus2", 1, true, "(1)C    (2)D    (5)G    "},
        {1, "", 0, false, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IntervalLine(c.rootIndex, ChordTypeFormula(Q(c.type)), c.notation, c.flats), Q(c.line))
            << c.rootIndex << " " << c.type << " " << c.notation << c.flats;
    // A root outside the list (no item chosen) names nothing rather than reading past the table.
    EXPECT_EQ(IntervalName(0, 1, 0, false), "");
    EXPECT_EQ(IntervalName(12, 22, 0, false), "G#");
}

TEST(ChordTypes, NamesTheNotesOfAScheme)
{
    const struct {
        const char *scheme;
        const char *names;
        const char *playList;
    } cases[] = {
        {"0001000203xx", "ECGECxx", "C4,E4,G4,C5,E5,"},
        {"xxxxxxxxxxxx", "xxxxxxxxxxxx", "none"},
        {"xx11xx0301xx", "xxBxxFBxx", "B3,F4,B5,"},
        {"191919191919", "HF#DAEH", "H4,E5,A5,D6,F#6,H6,"},
        {"000001020200", "EHG#EHE", "E3,H3,E4,G#4,H4,E5,"},
    };
    for (const auto &c : cases) {
        const TChordNotes notes = ComputeChordNotes(Q(c.scheme));
        EXPECT_EQ(notes.names, Q(c.names)) << c.scheme;
        EXPECT_EQ(notes.playList, Q(c.playList)) << c.scheme;
    }
}

TEST(ChordTypes, LocalizesNoteNamesBesideTheDiagram)
{
    const struct {
        const char *name;
        bool english;
        bool flats;
        int notation;
        const char *shown;
    } cases[] = {
        {"C#", true, false, 0, "C#"},  {"C#", true, true, 0, "Db"},   {"C#", false, true, 0, "реb"},
        {"F#", false, true, 1, "сольb"}, {"B", true, false, 1, "A#"}, {"B", true, true, 1, "Bb"},
        {"B", true, true, 0, "B"},     {"B", false, false, 1, "ля#"}, {"B", false, true, 0, "сиb"},
        {"H", true, false, 1, "B"},    {"H", true, true, 0, "H"},     {"H", false, true, 1, "си"},
        {"G", false, false, 0, "соль"}, {"E", true, true, 1, "E"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(NoteNameLocalized(Q(c.name), c.english, c.flats, c.notation), Q(c.shown))
            << c.name << c.english << c.flats << c.notation;
}

TEST(ChordTypes, OffersAlternativeNamesAndAppliesTheChosenOne)
{
    EXPECT_EQ(AlternativeMenuItems("m6", "min6", "/G"), QStringList({"m6/G", "mi6/G", "madd6/G"}));
    EXPECT_EQ(AlternativeMenuItems("maj", "maj", " "), QStringList({"M "}));
    EXPECT_EQ(AlternativeMenuItems("7", "7", "/E"), QStringList());
    EXPECT_EQ(AlternativeMenuItems("", "m7b9", "/E"), QStringList());
    EXPECT_EQ(AlternativeMenuItems("sus2", "sus9", "").size(), 2);

    const struct {
        const char *root;
        const char *caption;
        const char *bass;
        const char *label;
        const char *type;
    } cases[] = {
        {"C (до)", "maj", "", "C", "maj"},
        {"C (do)", "M/E", "/E", "CM/E", "M"},
        {"Db", "+7/9/C", "/C", "Db+7/9/C", "+7/9"},
        {"H (си)", "mi ", " ", "Hmi ", "mi"},
        {"A", "7/9", "/G", "A7/9", "7/9"},
    };
    for (const auto &c : cases) {
        const TMenuChoice choice = MenuItemChoice(Q(c.root), Q(c.caption), Q(c.bass));
        EXPECT_EQ(choice.labelCaption, Q(c.label)) << c.caption;
        EXPECT_EQ(choice.chordTypeText, Q(c.type)) << c.caption;
    }
}

TEST(ChordTypes, WritesTheChordNameLabel)
{
    const struct {
        const char *root;
        const char *typeText;
        const char *current;
        bool listed;
        const char *bass;
        int bassIndex;
        const char *label;
    } cases[] = {
        {"C (до)", "m7", "m7", true, " ", 0, "Cm7"},
        {"C (do)", "", "maj", true, " ", 0, "C"},
        {"C", "maj", "maj/E", true, "/E", 5, "C/E"},
        {"Db", "min7", "m7", false, " ", 0, "Dbmin7"},
        {"Db", "foo", "foo", false, " ", 0, ""},
        {"Db", "foo", "foo", true, "/A", 10, "Dbfoo/A"},
        {"A", "m", "", true, " ", 0, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ChordNameLabel(Q(c.root), Q(c.typeText), Q(c.current), c.listed, Q(c.bass), c.bassIndex),
                  Q(c.label))
            << c.typeText;
}
