#include "app/core/Fretboard.h"

#include <QStringList>

namespace Fretboard {

namespace {

const char *const Semitones[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "B", "H"};
// Open strings 1..6: E, H, G, D, A, E.
constexpr int OpenStrings[StringCount] = {4, 11, 7, 2, 9, 4};

} // namespace

QString TableNote(int string, int fret)
{
    if (string < 1 || string > StringCount || fret < 0 || fret >= FretCount)
        return {};
    return QLatin1String(Semitones[(OpenStrings[string - 1] + fret) % 12]);
}

QString FretboardNoteName(const QString &name, bool west, bool flats)
{
    if (name == QLatin1String("B")) {
        if (!flats)
            return QStringLiteral("A#");
        return west ? QStringLiteral("Bb") : QStringLiteral("B");
    }
    if (name == QLatin1String("H"))
        return west ? QStringLiteral("B") : QStringLiteral("H");
    return name;
}

QString ShownNote(int string, int fret, bool west, bool flats)
{
    const QString entry = TableNote(string, fret);
    if (flats && entry.size() == 2) {
        // The note above a sharp is always a plain letter, even past the table's last fret.
        const int above = (OpenStrings[string - 1] + fret + 1) % 12;
        return QLatin1String(Semitones[above]) + QLatin1Char('b');
    }
    return FretboardNoteName(entry, west, flats);
}

QString Legend(bool english, bool west, bool flats)
{
    const QString names = english ? QStringLiteral("C=do, D=re, E=mi, F=fa, G=sol, A=la, ")
                                  : QStringLiteral("C=до, D=ре, E=ми, F=фа, G=соль, A=ля, ");
    const QString si = english ? QStringLiteral("si") : QStringLiteral("си");
    const QString siFlat = english ? QStringLiteral("si flat") : QStringLiteral("си-бемоль");
    const QString signs = english ? QStringLiteral("  ||  #=sharp, b=flat") : QStringLiteral("  ||  #=диез, b=бемоль");
    QString tail;
    if (flats)
        tail = (west ? QStringLiteral("Bb=") : QStringLiteral("B=")) + siFlat + QStringLiteral(", ");
    tail += (west ? QStringLiteral("B=") : QStringLiteral("H=")) + si;
    return names + tail + signs;
}

QString RomanFret(int fret)
{
    static const QStringList romans = {QStringLiteral("I"),    QStringLiteral("II"),   QStringLiteral("III"),
                                       QStringLiteral("IV"),   QStringLiteral("V"),    QStringLiteral("VI"),
                                       QStringLiteral("VII"),  QStringLiteral("VIII"), QStringLiteral("IX"),
                                       QStringLiteral("X"),    QStringLiteral("XI"),   QStringLiteral("XII"),
                                       QStringLiteral("XIII"), QStringLiteral("XIV"),  QStringLiteral("XV"),
                                       QStringLiteral("XVI")};
    return fret >= 1 && fret <= romans.size() ? romans[fret - 1] : QString();
}

} // namespace Fretboard
