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
        const bool leavable = interval == QLatin1String("5") ||
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

    // Bass: the first note the tone generator plays is the lowest string's.
    const QString play = PlayNotes::PlayList(scheme);
    QString lowest = play.section(QLatin1Char(','), 0, 0);
    lowest.chop(1); // the octave digit
    lowest = Sharp(lowest);
    const QString rootName = Sections[root];
    const bool anyTone = bass.isEmpty() && (type == QLatin1String("dim7") || type == QLatin1String("+5"));
    const QString wanted = bass.isEmpty() ? rootName : bass;
    if (anyTone ? !chord.contains(lowest) : lowest != wanted)
        return QStringLiteral("bass ") + lowest;

    // Hand: span, mutes and fingers.
    int low = 99, high = 0, bassString = -1;
    for (int s = 0; s < 6; ++s)
        if (frets[s] > 0) {
            low = std::min(low, frets[s]);
            high = std::max(high, frets[s]);
        }
    if (high > 0 && high - low > 4)
        return QStringLiteral("span");
    for (int s = 5; s >= 0 && bassString < 0; --s)
        if (frets[s] != -1)
            bassString = s;
    int innerMutes = 0;
    for (int s = bassString - 1; s >= 1; --s)
        if (frets[s] == -1)
            ++innerMutes;
    if (innerMutes > 2)
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
            int previousLowest = 0;
            bool low = false, high = false;
            for (const QString &scheme : schemes) {
                const QString fault = Fault(scheme, root, type, bass);
                EXPECT_TRUE(fault.isEmpty()) << where.toStdString() << " " << scheme.toStdString() << ": "
                                             << fault.toStdString();
                const QList<int> frets = Frets(scheme);
                EXPECT_FALSE(shapes.contains(ShapeOf(frets))) << where.toStdString() << " repeats " << scheme.toStdString();
                shapes.insert(ShapeOf(frets));
                EXPECT_GE(LowestFret(frets), previousLowest) << where.toStdString() << " order at " << scheme.toStdString();
                previousLowest = LowestFret(frets);
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
