#include "app/core/ChordTypes.h"

#include "app/core/PlayNotes.h"
#include "app/core/SchemeCheck.h"

namespace ChordTypes {

namespace {

constexpr int RowWidth = 12;
constexpr int Frets = 20;

QList<QStringList> PaddedRows(QList<QStringList> rows)
{
    for (QStringList &row : rows)
        while (row.size() < RowWidth)
            row.append(QString());
    return rows;
}

} // namespace

const QStringList &CanonicalTypes()
{
    static const QStringList types = {"maj",  "m",    "7",    "m6",    "m7",    "maj7",  "maj9", "6",
                                      "m+7",  "7-5",  "7+5",  "m7-5",  "+7+5",  "dim7",  "+5",   "m-5",
                                      "9",    "-9",   "+9",   "sus2",  "sus4",  "7sus4", "9sus4", "m9",
                                      "11",   "m11",  "13",   "add9",  "madd9", "6add9"};
    return types;
}

const QStringList &Formulas()
{
    static const QStringList formulas = {
        "010508",     "010408",     "01050811",     "01040810",   "01040811",   "01050812",
        "0105081215", "01050810",   "01040812",     "01050711",   "01050911",   "01040711",
        "01050912",   "01040710",   "010509",       "010407",     "0105081115", "0105081114",
        "0105081116", "010308",     "010608",       "01060811",   "0106081115", "0104081115",
        "010508111518", "010408111518", "01050811151822", "01050815", "01040815", "0105081015"};
    return formulas;
}

const QStringList &TypesAndFormulas()
{
    static const QStringList table = CanonicalTypes() + Formulas();
    return table;
}

const QList<QStringList> &AlternativeNames()
{
    static const QList<QStringList> rows = PaddedRows({
        {"maj", "M"},
        {"m", "mi", "min"},
        {"7"},
        {"m6", "mi6", "min6", "madd6"},
        {"m7", "mi7", "min7", "madd7"},
        {"maj7", "M7", "+7", "7+", "7maj", "(#7)", "7M", "j7"},
        {"maj9", "7M9", "M9", "9+7", "9maj", "maj7(add9)", "+7/9", "M7/9", "M7(9)", "9(#7)", "9/+7",
         "9/7+"},
        {"6", "M6", "maj6", "add6"},
        {"m+7", "mmaj7", "mM7", "m7+", "maj7-3", "maj7b3", "m7maj", "m(maj7)", "m7M"},
        {"7-5", "7b5", "7/-5", "7/5-", "7(-5)", "7(5-)", "7/b5", "7/5b", "7(b5)", "7(5b)"},
        {"7+5", "7#5", "7/+5", "7/5+", "7(+5)", "7(5+)", "7/#5", "7/5#", "7(#5)", "7(5#)", "aug7",
         "7aug"},
        {"m7-5", "m7b5", "m7/-5", "m7/5-", "m7(-5)", "m7/b5", "m7(5-)", "m7(b5)", "m5-/7", "m-5/7",
         "m5-7", "m7/(b5)"},
        {"+7+5", "maj7+5", "M7+5", "+7/+5", "+7/5+", "maj7(#5)", "aug-maj7", "maj7/+5", "maj7/#5",
         "maj7/5+", "maj7/5#"},
        {"dim7", "dim", "0", "0(7)", "verm7", "verm", "zm7", "zm", "07"},
        {"+5", "+", "5+", "aug", "5#", "augm", "augm5", "(#5)"},
        {"m-5", "mb5"},
        {"9", "7add9", "7/9"},
        {"-9", "7-9", "9-", "9b", "7/-9", "7/9-", "7/b9", "7b9", "7/9b", "7(b9)", "7(9b)"},
        {"+9", "7+9", "9+", "#9", "7/+9", "7/9+", "7/#9", "7#9", "7/9#", "7(#9)", "7(9#)"},
        {"sus2", "2", "sus9"},
        {"sus4", "4", "4sus", "sus", "+3", "3+", "add4"},
        {"7sus4", "sus7", "7sus", "7+3", "7/4", "7(4)", "7/+3", "7/3+", "7(+3)", "74"},
        {"9sus4", "sus9", "9sus", "9+3", "9/4", "9(4)", "9/+3", "9/3+", "9(+3)", "94"},
        {"m9", "mi9", "min9", "m7/9"},
        {"11"},
        {"m11", "mi11", "min11"},
        {"13"},
        {"add9", "(add9)"},
        {"madd9", "m(add9)"},
        {"6add9", "6(add9)", "6.9", "6/9", "69"},
    });
    return rows;
}

const QStringList &SharpNames()
{
    static const QStringList names = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "H"};
    return names;
}

const QStringList &ChromaticNames()
{
    static const QStringList names = SharpNames() + SharpNames() + SharpNames();
    return names;
}

const QStringList &BassSpellings()
{
    return SchemeCheck::UserBassSpellings();
}

const QStringList &FretboardNames()
{
    static const QStringList names = [] {
        QStringList table;
        for (int string = 1; string <= 6; ++string)
            for (int fret = 0; fret < Frets; ++fret)
                table.append(PlayNotes::FretNoteName(string, fret));
        return table;
    }();
    return names;
}

const QStringList &NotesWithOctave()
{
    static const QStringList names = [] {
        QStringList table;
        for (int octave = 1; octave <= 6; ++octave)
            for (const QString &name : SharpNames())
                table.append(name + QString::number(octave));
        return table;
    }();
    return names;
}

QString StepIntervalName(int step)
{
    static const char *const names[23] = {"",   "1",  "-2", "2",  "-3", "3",   "4",  "-5",
                                          "5",  "+5", "6",  "-7", "7",  "",    "-9", "9",
                                          "+9", "-11", "11", "+11", "",  "-13", "13"};
    return step >= 1 && step <= 22 ? QString::fromLatin1(names[step]) : QString();
}

QList<int> FormulaSteps(const QString &formula)
{
    QList<int> steps;
    for (qsizetype i = 0; i + 1 < formula.size(); i += 2)
        steps.append(formula.mid(i, 2).toInt());
    return steps;
}

QString CanonicalChordType(const QString &text)
{
    // Rows end in empty entries, which an empty text must not match.
    if (text.isEmpty())
        return {};
    QString canonical;
    for (const QStringList &row : AlternativeNames())
        for (const QString &entry : row)
            if (entry == text)
                canonical = row.first();
    return canonical;
}

QString ChordTypeFormula(const QString &type)
{
    const QString name = type.section(QLatin1Char('/'), 0, 0);
    const qsizetype index = CanonicalTypes().indexOf(name);
    return index < 0 ? QString() : Formulas().at(index);
}

TChordNotes ComputeChordNotes(const QString &scheme)
{
    TChordNotes notes;
    for (int string = 1; string <= 6; ++string) {
        const QString field = scheme.mid((string - 1) * 2, 2);
        if (field == QLatin1String("xx"))
            notes.names += field;
        else
            notes.names += PlayNotes::FretNoteName(string, field.toInt());
    }
    notes.playList = PlayNotes::PlayList(scheme);
    return notes;
}

QString IntervalName(int rootIndex, int step, int notation, bool flats)
{
    const int entry = step + rootIndex - 2;
    if (entry < 0 || entry >= ChromaticNames().size())
        return {};
    QString name = ChromaticNames().at(entry);
    if (flats && name.size() == 2)
        name = SharpNames().at((SharpNames().indexOf(name) + 1) % 12) + QLatin1Char('b');
    if (name == QLatin1String("H"))
        return notation == 1 ? QStringLiteral("B") : name;
    if (name == QLatin1String("Hb"))
        return notation == 1 ? QStringLiteral("Bb") : QStringLiteral("B");
    return name;
}

QString IntervalLine(int rootIndex, const QString &formula, int notation, bool flats)
{
    QString line;
    for (int step : FormulaSteps(formula))
        line += QLatin1Char('(') + StepIntervalName(step) + QLatin1Char(')') +
                IntervalName(rootIndex, step, notation, flats) + QStringLiteral("    ");
    return line;
}

QString NoteNameLocalized(const QString &name, bool english, bool flats, int notation)
{
    static const QStringList internal = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "B", "H"};
    static const QStringList englishFlats = {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "", ""};
    static const QStringList russianSharps = {"до",   "до#", "ре",    "ре#", "ми",  "фа",
                                              "фа#",  "соль", "соль#", "ля",  "ля#", "си"};
    static const QStringList russianFlats = {"до",    "реb", "ре",  "миb", "ми",  "фа",
                                             "сольb", "соль", "ляb", "ля",  "сиb", "си"};
    const qsizetype index = internal.indexOf(name);
    if (index < 0)
        return name;
    if (!english)
        return (flats ? russianFlats : russianSharps).at(index);
    if (name == QLatin1String("H"))
        return notation == 1 ? QStringLiteral("B") : QStringLiteral("H");
    if (name == QLatin1String("B")) {
        if (!flats)
            return QStringLiteral("A#");
        return notation == 1 ? QStringLiteral("Bb") : QStringLiteral("B");
    }
    return flats ? englishFlats.at(index) : name;
}

QString LabelRoot(const QString &rootText)
{
    return rootText.size() > 1 && rootText.at(1) == QLatin1Char(' ') ? rootText.left(1) : rootText;
}

QStringList AlternativeMenuItems(const QString &canonicalType, const QString &chordTypeText,
                                 const QString &bassText)
{
    QStringList items;
    for (const QStringList &row : AlternativeNames()) {
        if (row.first() != canonicalType)
            continue;
        for (const QString &entry : row)
            if (!entry.isEmpty() && entry != chordTypeText)
                items.append(entry + bassText);
        break;
    }
    return items;
}

TMenuChoice MenuItemChoice(const QString &rootText, const QString &caption, const QString &bassText)
{
    TMenuChoice choice;
    const QString root = LabelRoot(rootText);
    choice.labelCaption = caption == QLatin1String("maj") ? root : root + caption;
    const qsizetype at = bassText.isEmpty() ? -1 : caption.indexOf(bassText);
    choice.chordTypeText = at < 0 ? caption : caption.left(at);
    return choice;
}

QString ChordNameLabel(const QString &rootText, const QString &chordTypeText,
                       const QString &currentChordType, bool typeListed, const QString &bassText,
                       int bassIndex)
{
    const QString type = chordTypeText.isEmpty() ? QStringLiteral("maj") : chordTypeText;
    if (currentChordType.isEmpty() || (!typeListed && CanonicalChordType(type).isEmpty()))
        return {};
    const QString suffix = type == QLatin1String("maj") ? QString() : type;
    return LabelRoot(rootText) + suffix + (bassIndex != 0 ? bassText : QString());
}

} // namespace ChordTypes
