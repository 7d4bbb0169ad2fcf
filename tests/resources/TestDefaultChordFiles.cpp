// The default chord base and user file that the program carries: every fingering of the base is
// checked against the chord it stands for, with the program's own note names.
#include "app/core/ChordTypes.h"
#include "app/core/PlayNotes.h"
#include "app/core/SchemeCheck.h"
#include "platform/ini/IniFile.h"
#include "platform/text/AnsiText.h"
#include "toolkit/VxDataEmbedded.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <bit>
#include <ostream>

// Readable failure messages for texts.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QString BaseFile = QStringLiteral(VX_SOURCE_DIR "/resources/veltrasomin_chords.ini");
const QString UserFile = QStringLiteral(VX_SOURCE_DIR "/resources/user_chords.ini");

const QStringList Sections = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "H"};
const QStringList SlashTypes = {"maj", "m", "7", "m6", "m7"};
const QStringList CommonTypes = {"maj", "m",    "7",    "m7",    "maj7", "m6", "6",
                                 "sus2", "sus4", "7sus4", "dim7", "+5",  "9",  "add9"};

QByteArray ReadAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Fretboard names spell si flat "B"; the interval names spell it "A#".
QString Sharp(const QString &fretboardName)
{
    return fretboardName == QLatin1String("B") ? QStringLiteral("A#") : fretboardName;
}

// The names of the note-name string, string 1 first, empty for a muted string.
QStringList NamesByString(const QString &scheme)
{
    const QString names = ChordTypes::ComputeChordNotes(scheme).names;
    QStringList result;
    for (qsizetype i = 0; i < names.size();) {
        if (names.mid(i, 2) == QLatin1String("xx")) {
            result.append(QString());
            i += 2;
        } else if (i + 1 < names.size() && names[i + 1] == QLatin1Char('#')) {
            result.append(names.mid(i, 2));
            i += 2;
        } else {
            result.append(Sharp(names.mid(i, 1)));
            i += 1;
        }
    }
    return result;
}

QList<int> Frets(const QString &scheme)
{
    QList<int> frets;
    for (int i = 0; i < 12; i += 2) {
        const QString field = scheme.mid(i, 2);
        frets.append(field == QLatin1String("xx") ? -1 : field.toInt());
    }
    return frets;
}

int LowestFret(const QList<int> &frets)
{
    int lowest = 0;
    for (int f : frets)
        if (f > 0 && (lowest == 0 || f < lowest))
            lowest = f;
    return lowest;
}

// The fewest fingers that hold a shape: a barre lies across neighbouring strings at one fret,
// over strings fretted at that fret or higher or muted, never over an open string, and counts
// as one finger; at most two barres.
int FingersNeeded(const QList<int> &frets)
{
    struct TBarre { unsigned held; };
    QList<TBarre> barres;
    unsigned fretted = 0;
    for (int s = 0; s < 6; ++s)
        if (frets[s] > 0)
            fretted |= 1u << s;
    for (int a = 0; a < 6; ++a)
        for (int b = a + 1; b < 6; ++b)
            for (int fret = 1; fret <= 19; ++fret) {
                unsigned held = 0;
                bool fits = true;
                for (int s = a; s <= b && fits; ++s) {
                    fits = frets[s] == -1 || frets[s] >= fret;
                    if (frets[s] == fret)
                        held |= 1u << s;
                }
                if (fits && held)
                    barres.append(TBarre{held});
            }
    int best = std::popcount(fretted);
    for (qsizetype i = 0; i < barres.size(); ++i) {
        best = std::min(best, 1 + std::popcount(fretted & ~barres[i].held));
        for (qsizetype j = i + 1; j < barres.size(); ++j)
            best = std::min(best, 2 + std::popcount(fretted & ~(barres[i].held | barres[j].held)));
    }
    return best;
}

// The lowest note of a play list ("E3,C4,..."), in the interval names' spelling.
QString LowestNote(const QString &playList)
{
    static const QStringList names = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "B", "H"};
    QString lowest;
    int lowestPitch = 999;
    for (const QString &note : playList.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int pitch = note.right(1).toInt() * 12 + int(names.indexOf(note.chopped(1)));
        if (pitch < lowestPitch) {
            lowestPitch = pitch;
            lowest = Sharp(note.chopped(1));
        }
    }
    return lowest;
}

// Why a scheme is not a right, playable fingering of the chord; empty when it is.
QString Fault(const QString &scheme, int root, const QString &type, const QString &bass)
{
    if (!SchemeCheck::ValidateScheme(scheme, [](int id) { return QString::number(id); }).isEmpty())
        return QStringLiteral("malformed");
    const QList<int> frets = Frets(scheme);
    const QStringList names = NamesByString(scheme);

    // Notes: the chord's tones (and a slash bass), with every tone but the leavable ones present.
    const QString formula = ChordTypes::ChordTypeFormula(type);
    if (formula.isEmpty())
        return QStringLiteral("unknown chord type");
    QSet<QString> chord, required;
    for (int step : ChordTypes::FormulaSteps(formula)) {
        const QString name = ChordTypes::IntervalName(root + 1, step, 0, false);
        const QString interval = ChordTypes::StepIntervalName(step);
        const bool eleventhChord = type == QLatin1String("11") || type == QLatin1String("m11") || type == QLatin1String("13");
        const bool triad = type == QLatin1String("maj") || type == QLatin1String("m") ||
                           type == QLatin1String("sus2") || type == QLatin1String("sus4");
        const bool leavable = (interval == QLatin1String("5") && !triad) ||
                              (eleventhChord && interval.endsWith(QLatin1Char('9'))) ||
                              (type == QLatin1String("13") && interval == QLatin1String("11")) ||
                              (type == QLatin1String("11") && interval == QLatin1String("3"));
        chord.insert(name);
        if (!leavable)
            required.insert(name);
    }
    if (!bass.isEmpty())
        chord.insert(bass);
    QSet<QString> heard;
    for (const QString &name : names)
        if (!name.isEmpty())
            heard.insert(name);
    for (const QString &name : heard)
        if (!chord.contains(name))
            return QStringLiteral("sounds ") + name;
    for (const QString &name : required)
        if (!heard.contains(name))
            return QStringLiteral("lacks ") + name;
    if (heard.size() < 2)
        return QStringLiteral("too few notes");

    // Bass: the lowest pitch the tone generator plays, wherever its string lies.
    const QString lowest = LowestNote(PlayNotes::PlayList(scheme));
    const QString rootName = Sections[root];
    const bool anyTone = bass.isEmpty() && (type == QLatin1String("dim7") || type == QLatin1String("+5"));
    const QString wanted = bass.isEmpty() ? rootName : bass;
    if (anyTone ? !chord.contains(lowest) : lowest != wanted)
        return QStringLiteral("bass ") + lowest;

    // Hand: span (four frets only where the frets are narrow), mutes and fingers.
    int low = 99, high = 0;
    for (int s = 0; s < 6; ++s)
        if (frets[s] > 0) {
            low = std::min(low, frets[s]);
            high = std::max(high, frets[s]);
        }
    if (high > 0 && high - low > (low >= 5 ? 4 : 3))
        return QStringLiteral("span");
    // A muted string is inner only with sounding strings on both sides; runs at the edges are not.
    int first = -1, last = -1;
    for (int s = 0; s < 6; ++s)
        if (frets[s] != -1) {
            first = first < 0 ? s : first;
            last = s;
        }
    if (frets.mid(first, last - first + 1).count(-1) > 2)
        return QStringLiteral("inner mutes");
    if (FingersNeeded(frets) > 4)
        return QStringLiteral("fingers");
    return {};
}

// The shape with its frets taken from the lowest fretted one: the same shape further up the
// neck gives the same text.
QString ShapeOf(const QList<int> &frets)
{
    const int lowest = LowestFret(frets);
    QString shape;
    for (int f : frets)
        shape += f == -1 ? QStringLiteral("x,") : f == 0 ? QStringLiteral("o,") : QString::number(f - lowest) + ',';
    return shape;
}

} // namespace

TEST(DefaultChordBase, FileHasTheLayoutOfTheChordBase)
{
    const QByteArray bytes = ReadAll(BaseFile);
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_FALSE(bytes.contains('\r'));
    EXPECT_TRUE(bytes.endsWith("\n[Version]\nNumber=1.4.5\n"));
    const QString text = QString::fromUtf8(bytes);
    EXPECT_EQ(text.toUtf8(), bytes) << "not UTF-8";

    const QStringList lines = text.split(QLatin1Char('\n'));
    const qsizetype first = lines.indexOf(QStringLiteral("[C]"));
    ASSERT_GT(first, 0);
    for (qsizetype i = 0; i < first; ++i)
        EXPECT_FALSE(lines[i].startsWith(QLatin1Char('['))) << i;
    const QString comment = lines.mid(0, first).join(QLatin1Char('\n'));
    EXPECT_TRUE(comment.contains(QStringLiteral("Не редактируйте")));
    EXPECT_TRUE(comment.contains(QStringLiteral("Do not edit")));
    EXPECT_GE(comment.count(QStringLiteral("user_chords.ini")), 2);
    EXPECT_TRUE(comment.contains(QStringLiteral("https://")));
    for (qsizetype i = first; i < lines.size(); ++i)
        for (QChar c : lines[i])
            ASSERT_LT(c.unicode(), 128) << "non-ASCII text after the comment block, line " << i + 1;

    // The section headers are those of the default user file.
    QStringList userHeaders;
    for (const QString &line : IniText::SplitLines(AnsiText::DecodeText(ReadAll(UserFile))))
        if (line.startsWith(QLatin1Char('[')))
            userHeaders.append(line);
    QStringList headers;
    for (const QString &line : lines)
        if (line.startsWith(QLatin1Char('[')))
            headers.append(line);
    ASSERT_EQ(userHeaders.size(), 12);
    EXPECT_EQ(headers, userHeaders + QStringList{"[Version]"});
    EXPECT_TRUE(headers.contains(QStringLiteral("[H] // = B (si) for the USA and some European countries")));

    // Each section: 30 chord types, one blank line, 60 slash keys, then its extra keys.
    const QStringList &types = ChordTypes::CanonicalTypes();
    for (int root = 0; root < 12; ++root) {
        const qsizetype header = lines.indexOf(headers[root]);
        QStringList keys;
        qsizetype i = header + 1;
        for (; !lines[i].isEmpty(); ++i)
            keys.append(lines[i].section(QLatin1Char('='), 0, 0));
        EXPECT_EQ(keys, types) << root;
        QStringList slashKeys;
        for (++i; !lines[i].isEmpty(); ++i)
            slashKeys.append(lines[i].section(QLatin1Char('='), 0, 0));
        QStringList expected;
        for (const QString &type : SlashTypes)
            for (const QString &bass : Sections)
                expected.append(type + '/' + bass);
        if (root == 2)
            expected.append(QStringLiteral("sus2/C"));
        if (root == 9)
            expected.append(QStringLiteral("7sus4/E"));
        if (root == 5)
            expected.append(QStringLiteral("m7/D#"));
        EXPECT_EQ(slashKeys, expected) << root;
        EXPECT_TRUE(lines[i + 1].startsWith(QLatin1Char('['))) << root;
    }

    const TIniFile base(BaseFile);
    EXPECT_EQ(base.ReadSections(), Sections + QStringList{"Version"});
    EXPECT_EQ(base.ReadString("Version", "Number", ""), "1.4.5");
    EXPECT_EQ(base.ReadString("C", "maj", ""), "0001000203xx 0305050503xx 080809101008 12131210xxxx");
    EXPECT_EQ(base.ReadString("A", "m7/A", "").count(QLatin1Char(' ')), 10);
    EXPECT_FALSE(base.ReadString("D", "sus2/C", "").isEmpty());
    EXPECT_FALSE(base.ReadString("A", "7sus4/E", "").isEmpty());
}

TEST(DefaultChordBase, EveryFingeringIsRightAndPlayable)
{
    const TIniFile base(BaseFile);
    int total = 0, fewest = 99, most = 0;
    for (int root = 0; root < 12; ++root) {
        const QString section = Sections[root];
        QStringList keys = base.ReadSection(section);
        keys.removeDuplicates();
        for (const QString &key : keys) {
            const QString type = key.section(QLatin1Char('/'), 0, 0);
            const QString bass = key.section(QLatin1Char('/'), 1);
            const QString value = base.ReadString(section, key, "");
            const QStringList schemes = value.split(QLatin1Char(' '));
            const QString where = section + ' ' + key;
            EXPECT_EQ(schemes.join(QLatin1Char(' ')).size(), schemes.size() * 13 - 1) << where.toStdString();

            const bool plain = bass.isEmpty();
            const bool pinnedCMajor = root == 0 && key == QLatin1String("maj");  // its line is fixed at four
            const int minimum = !plain ? 1 : CommonTypes.contains(type) && !pinnedCMajor ? 5 : 3;
            EXPECT_GE(schemes.size(), minimum) << where.toStdString();
            EXPECT_LE(schemes.size(), 11) << where.toStdString();
            total += int(schemes.size());
            fewest = std::min(fewest, int(schemes.size()));
            most = std::max(most, int(schemes.size()));

            QSet<QString> shapes;
            int previousLowest = -1;
            bool low = false, high = false;
            for (const QString &scheme : schemes) {
                const QString fault = Fault(scheme, root, type, bass);
                EXPECT_TRUE(fault.isEmpty()) << where.toStdString() << " " << scheme.toStdString() << ": "
                                             << fault.toStdString();
                const QList<int> frets = Frets(scheme);
                EXPECT_FALSE(shapes.contains(ShapeOf(frets))) << where.toStdString() << " repeats " << scheme.toStdString();
                shapes.insert(ShapeOf(frets));
                // The first is the standard shape; the others go up the neck.
                EXPECT_GE(LowestFret(frets), previousLowest) << where.toStdString() << " order at " << scheme.toStdString();
                previousLowest = &scheme == &schemes.first() ? 0 : LowestFret(frets);
                (LowestFret(frets) <= 4 ? low : high) = true;
            }
            if (plain && CommonTypes.contains(type)) {
                EXPECT_TRUE(low && high) << where.toStdString() << " is not spread over the neck";
            }
        }
    }
    std::printf("chord base: %d fingerings, %d to %d per key\n", total, fewest, most);
    EXPECT_EQ(most, 11);
}

TEST(DefaultChordBase, FirstFingeringIsTheOneATeacherShows)
{
    // Open chords where they exist, else the barre forms rooted on string 6 or 5 and the usual
    // small forms of the other types, at the lowest place on the neck; roots C to H.
    const struct {
        const char *type;
        const char *first[12];
    } cases[] = {
        {"maj", {"0001000203xx", "0406060604xx", "02030200xxxx", "0608080806xx", "000001020200", "010102030301",
               "020203040402", "030000000203", "040405060604", "0002020200xx", "0103030301xx", "0204040402xx"}},
        {"m", {"0304050503xx", "0405060604xx", "01030200xxxx", "0607080806xx", "000000020200", "010101030301",
               "020202040402", "030303050503", "040404060604", "0001020200xx", "0102030301xx", "0203040402xx"}},
        {"7", {"0001030203xx", "0406040604xx", "02010200xxxx", "0608060806xx", "000001000200", "010102010301",
               "020203020402", "010000000203", "040405040604", "0002000200xx", "0103010301xx", "0200020102xx"}},
        {"m7", {"0304030503xx", "0405040604xx", "01010200xxxx", "0607060806xx", "000000000200", "010101010301",
               "020202020402", "030303030503", "040404040604", "0001000200xx", "0102010301xx", "0203020402xx"}},
        {"maj7", {"0000000203xx", "0406050604xx", "02020200xxxx", "0608070806xx", "000001010200", "00010203xxxx",
               "020203030402", "020000000203", "040405050604", "0002010200xx", "0103020301xx", "0204030402xx"}},
        {"sus4", {"0101000303xx", "0407060604xx", "03030200xxxx", "0609080806xx", "000002020200", "010103030301",
               "020204040402", "030305050503", "040406060604", "0003020200xx", "0104030301xx", "0205040402xx"}},
        {"sus2", {"0303000003xx", "0404060604xx", "00030200xxxx", "01040301xxxx", "000004040200", "01010003xxxx",
               "04070604xxxx", "030300000003", "06090806xxxx", "0000020200xx", "0101030301xx", "0202040402xx"}},
        {"6", {"0001020203xx", "0606060604xx", "02000200xxxx", "03010301xxxx", "000201020200", "05030503xxxx",
               "xx020301xx02", "000000000203", "xx040503xx04", "0202020200xx", "0303030301xx", "0404040402xx"}},
        {"m6", {"0301020103xx", "0402030204xx", "01000200xxxx", "02010301xxxx", "000200020200", "04030503xxxx",
               "xx020201xx02", "xx030302xx03", "xx040403xx04", "0201020200xx", "xx060605xx06", "0200010002xx"}},
        {"dim7", {"xx04020403xx", "xx05030504xx", "01000100xxxx", "02010201xxxx", "03020302xxxx", "04030403xxxx",
               "xx010201xx02", "xx020302xx03", "xx030403xx04", "0201020100xx", "xx02000201xx", "xx03010302xx"}},
        {"+5", {"0001010203xx", "xx02020304xx", "02030300xxxx", "03040401xxxx", "000101020300", "xx020203xx01",
               "xx030304xx02", "030000010203", "xx050506xx04", "0102020300xx", "xx070708xx06", "xx00000102xx"}},
        {"9", {"0303030203xx", "0404040304xx", "0505050405xx", "0606060506xx", "020001000200", "030102010301",
               "040203020402", "010002000203", "060405040604", "0302040200xx", "0101010001xx", "0202020102xx"}},
        {"add9", {"0003000203xx", "xx04010304xx", "xx05020405xx", "xx06030506xx", "000001040200", "03010203xxxx",
               "04020304xxxx", "030002000203", "06040506xxxx", "0002040200xx", "08060708xxxx", "0202040102xx"}},
        {"7sus4", {"0306030503xx", "0407040604xx", "03010200xxxx", "0609060806xx", "000002000200", "010103010301",
               "020204020402", "030305030503", "040406040604", "0003000200xx", "0104010301xx", "0205020402xx"}},
    };
    const TIniFile base(BaseFile);
    for (const auto &c : cases)
        for (int root = 0; root < 12; ++root)
            EXPECT_EQ(base.ReadString(Sections[root], c.type, "").section(QLatin1Char(' '), 0, 0),
                      QString::fromLatin1(c.first[root]))
                << Sections[root].toStdString() << " " << c.type;
}

TEST(DefaultChordBase, ChecksCatchWrongFingerings)
{
    // The checks above must reject what a careless base could hold.
    const struct {
        const char *scheme;
        int root;
        const char *type;
        const char *bass;
        const char *fault;
    } cases[] = {
        {"0001000203xx", 0, "maj", "", ""},
        {"0001000203xx", 0, "m", "", "sounds E"},          // C major is no C minor
        {"00010002xxxx", 0, "maj", "", "bass E"},          // E in the bass of a plain C
        {"00010002xxxx", 0, "maj", "E", ""},               // ... but right for C/E
        {"0001000203xx", 0, "7", "", "lacks A#"},          // no seventh
        {"xx01030203xx", 0, "7", "", ""},                  // the fifth may be left out
        {"0303030303xx", 0, "11", "", ""},                 // 11 without its third
        {"0303030303xx", 0, "m11", "", "lacks D#"},        // m11 keeps its third
        {"0301030103xx", 0, "m7", "", ""},
        {"0301030203xx", 0, "m7", "", "sounds E"},
        {"030000000203", 7, "maj", "", ""},                // open G
        {"000001020200", 4, "maj", "", ""},                // open E
        {"0400xx020200", 4, "maj", "", ""},                // one inner mute
        {"04xxxxxx0200", 4, "maj", "", "inner mutes"},     // three inner mutes
        {"010102030301", 5, "maj", "", ""},                // full barre F
        {"080102030301", 5, "maj", "", "span"},            // a stretch of seven frets
        {"0001020200xx", 9, "m", "", ""},
        {"00010202xxxx", 9, "m", "", "bass E"},
        {"0xx1000203xx", 0, "maj", "", "malformed"},
        {"0301040203xx", 0, "maj7", "", "fingers"},        // five fingers, no barre helps
        {"xxxx01020304", 4, "+5", "", ""},                 // G# in the bass of E+5
        {"xxxx01020304", 8, "+5", "", ""},
        {"xxxx01020304", 4, "maj", "", "sounds C"},
        {"0000121415xx", 0, "maj7", "", "bass H"},         // the open H sounds below the fretted C
        {"0507070006xx", 2, "maj", "D#", "bass D"},        // the open D lies under the D# on string 5
        {"11110013xxxx", 3, "maj", "", "bass G"},
        {"xxxxxx020405", 9, "maj", "", ""},                // three muted strings at the edge
        {"0001xx0203xx", 0, "maj", "", "lacks G"},         // a triad keeps its fifth
        {"07030405xxxx", 7, "maj", "", "span"},            // four frets in the first positions
        {"09050607xxxx", 9, "maj", "", ""},                // ... are a reach from fret 5 up
    };
    for (const auto &c : cases)
        EXPECT_EQ(Fault(c.scheme, c.root, c.type, c.bass), QString::fromUtf8(c.fault)) << c.scheme << " " << c.type;
}

TEST(DefaultUserFile, AddsNoChordTypes)
{
    // The program writes the user file from its embedded copy; read back, it lends no type.
    TVxDataEmbedded embedded(QStringLiteral("VxDataEmbed_User"), nullptr);
    ASSERT_TRUE(embedded.LoadFromResource(QStringLiteral(":/user_chords.ini")));
    EXPECT_EQ(embedded.Bytes(), ReadAll(UserFile));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString written = dir.filePath(QStringLiteral("user_chords.ini"));
    embedded.DataSaveToFile(written);

    const QStringList lines = IniText::SplitLines(AnsiText::DecodeText(ReadAll(written)));
    const SchemeCheck::TUserChordTypes types = SchemeCheck::UserChordTypes(lines);
    EXPECT_TRUE(types.hasHeader);
    EXPECT_TRUE(types.names.isEmpty()) << types.names.join(' ').toStdString();

    // Every header is followed by two empty lines and no keys.
    int headers = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith(QLatin1Char('[')))
            continue;
        ++headers;
        ASSERT_LT(i + 2, lines.size());
        EXPECT_TRUE(lines[i + 1].isEmpty() && lines[i + 2].isEmpty()) << lines[i].toStdString();
    }
    EXPECT_EQ(headers, 12);
}

TEST(DefaultChordBase, EmbeddedCopyIsTheCommittedFile)
{
    TVxDataEmbedded embedded(QStringLiteral("VxDataEmbed"), nullptr);
    ASSERT_TRUE(embedded.LoadFromResource(QStringLiteral(":/veltrasomin_chords.ini")));
    EXPECT_EQ(embedded.Bytes(), ReadAll(BaseFile));
}
