#include "app/core/ChordLists.h"

namespace ChordLists {

QString SiNoteName(const QString &which, int notation, bool flats)
{
    if (which == QLatin1String("si"))
        return notation != 0 ? QStringLiteral("B") : QStringLiteral("H");
    if (which == QLatin1String("sib")) {
        if (!flats)
            return QStringLiteral("A#");
        return notation != 0 ? QStringLiteral("Bb") : QStringLiteral("B");
    }
    return which;
}

QString RootListName(bool russian, bool flats)
{
    return QStringLiteral("Root") + (russian ? QStringLiteral("Russian") : QStringLiteral("English")) +
           (flats ? QStringLiteral("Flats") : QStringLiteral("Sharps"));
}

QStringList RootItems(const QStringList &namedList, bool russian, int notation, bool flats)
{
    QStringList items = namedList;
    items.append(SiNoteName(QStringLiteral("sib"), notation, flats));
    items.append(SiNoteName(QStringLiteral("si"), notation, flats) +
                 (russian ? QStringLiteral(" (си)") : QStringLiteral(" (si)")));
    return items;
}

QStringList BassItems(int notation, bool flats)
{
    static const QStringList sharps = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A"};
    static const QStringList flatNames = {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A"};
    QStringList items = {QStringLiteral(" ")};
    for (const QString &name : flats ? flatNames : sharps)
        items.append(QLatin1Char('/') + name);
    items.append(QLatin1Char('/') + SiNoteName(QStringLiteral("sib"), notation, flats));
    items.append(QLatin1Char('/') + SiNoteName(QStringLiteral("si"), notation, flats));
    return items;
}

} // namespace ChordLists
