#include "app/core/Diagram.h"

namespace Diagram {

namespace {

const char *const RomanLabels[19] = {"  I  ", " II  ", " III ", " IV  ", "  V  ", " VI  ", " VII ",
                                     " VIII", " IX  ", "  X  ", " XI  ", " XII ", "XIII",  "XIV",
                                     "XV",    "XVI",   "XVII",  "XVIII", "XIX"};

QString Field(const QString &scheme, int string)
{
    return scheme.mid((string - 1) * 2, 2);
}

bool IsMuted(const QString &field)
{
    return field == QLatin1String("xx");
}

} // namespace

TMinMax GetMinMax(const QString &scheme)
{
    TMinMax measure;
    bool seenSounding = false;
    bool seenFretted = false;
    for (int string = 1; string <= 6; ++string) {
        const QString field = Field(scheme, string);
        if (IsMuted(field))
            continue;
        const int fret = field.toInt();
        if (!seenSounding || fret > measure.highest)
            measure.highest = fret;
        seenSounding = true;
        if (fret != 0 && (!seenFretted || fret < measure.lowest)) {
            measure.lowest = fret;
            seenFretted = true;
        }
    }
    return measure;
}

QString ArabicToRoman(int n, int highest)
{
    if (highest < 4 || n == 0)
        return QString::fromLatin1(RomanLabels[0]);
    if (n >= 1 && n <= 19)
        return QString::fromLatin1(RomanLabels[n - 1]);
    return QStringLiteral("I");
}

int RomanToArabic(const QString &text)
{
    for (int n = 1; n <= 19; ++n)
        if (text == QString::fromLatin1(RomanLabels[n - 1]).trimmed())
            return n;
    return 1;
}

QString ShownScheme(const QString &scheme, const TMinMax &measure)
{
    if (measure.highest < 4)
        return scheme;
    QString shown;
    for (int string = 1; string <= 6; ++string) {
        const QString field = Field(scheme, string);
        const int fret = field.toInt();
        if (IsMuted(field) || fret == 0)
            shown += field;
        else
            shown += QStringLiteral("%1").arg(fret - measure.lowest + 1, 2, 10, QLatin1Char('0'));
    }
    return shown;
}

TPositions DotPositions(const QString &shown)
{
    TPositions positions{};
    for (int string = 1; string <= 6; ++string) {
        const QString field = Field(shown, string);
        positions[string - 1] = IsMuted(field) ? MutedPosition : field.toInt();
    }
    return positions;
}

TBarre BarreOf(const TPositions &positions)
{
    bool blocked = false;
    for (int string = 1; string <= 6; ++string) {
        const int position = positions[string - 1];
        if (string <= 5 && position == 0)
            blocked = true;
        const bool fretted = position != 0 && position != MutedPosition;
        if (string > 2 && fretted && positions[string - 2] == MutedPosition)
            blocked = true;
    }
    TBarre barre;
    int fretted = 0;
    for (int position : positions)
        if (position != 0 && position != MutedPosition) {
            if (fretted == 0 || position < barre.lowest)
                barre.lowest = position;
            ++fretted;
        }
    int onLowest = 0;
    int last = 0;
    for (int string = 1; string <= 6; ++string)
        if (fretted > 0 && positions[string - 1] == barre.lowest) {
            ++onLowest;
            last = string;
        }
    barre.last = last == 0 ? 6 : last;
    barre.drawn = fretted >= 5 && !blocked && onLowest >= 2;
    return barre;
}

int DotX(int position, bool rightHand)
{
    return rightHand ? position * 79 - 52 : 422 - position * 79;
}

int DotY(int string)
{
    return string * 20 - 23;
}

int BarreX(int lowest, bool rightHand)
{
    const int column = rightHand ? lowest : 6 - lowest;
    return column * 79 - 40;
}

int PBLeft(bool rightHand)
{
    return rightHand ? 28 : BackWidth - PBWidth - 28;
}

QStringList StringNames(int notation)
{
    return {QStringLiteral("E "), notation == 1 ? QStringLiteral("B ") : QStringLiteral("H "),
            QStringLiteral("G "), QStringLiteral("D "), QStringLiteral("A "), QStringLiteral("E ")};
}

QStringList SplitNoteNames(const QString &noteNames)
{
    QStringList names;
    int i = 0;
    while (i < noteNames.size() && names.size() < 6) {
        if (noteNames.mid(i, 2) == QLatin1String("xx")) {
            names.append(QString(10, QLatin1Char(' ')));
            i += 2;
        } else if (noteNames.mid(i + 1, 1) == QLatin1String("#")) {
            names.append(noteNames.mid(i, 2));
            i += 2;
        } else {
            names.append(noteNames.mid(i, 1));
            i += 1;
        }
    }
    return names;
}

} // namespace Diagram
