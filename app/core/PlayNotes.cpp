#include "app/core/PlayNotes.h"

namespace PlayNotes {

namespace {

const char *const NoteNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "B", "H"};
// Open strings 1..6 of standard tuning as note numbers (semitone + 12 x octave).
constexpr int OpenNote[7] = {0, 64, 59, 55, 50, 45, 40};

bool OnNeck(int string, int fret)
{
    return string >= 1 && string <= 6 && fret >= 0 && fret <= 19;
}

} // namespace

QString FretNoteName(int string, int fret)
{
    return OnNeck(string, fret) ? QString::fromLatin1(NoteNames[(OpenNote[string] + fret) % 12]) : QString();
}

int OctaveDigit(int string, int fret)
{
    return OnNeck(string, fret) ? (OpenNote[string] + fret) / 12 : -1;
}

void AddPlayNote(int string, int fret, QString &list)
{
    if (!OnNeck(string, fret))
        return;
    list += FretNoteName(string, fret) + QString::number(OctaveDigit(string, fret)) + QLatin1Char(',');
}

QString PlayList(const QString &scheme)
{
    QString list;
    for (int string = 6; string >= 1; --string) {
        const QString field = scheme.mid((string - 1) * 2, 2);
        bool ok = false;
        const int fret = field.toInt(&ok);
        if (ok)
            AddPlayNote(string, fret, list);
    }
    return list.isEmpty() ? QStringLiteral("none") : list;
}

QString ChordNoteString(const QString &playList, int octaveShift, int strumStep)
{
    QString notes;
    for (const QChar c : playList) {
        if (c == QLatin1Char('H'))
            notes += QLatin1Char('B');
        else if (c == QLatin1Char('B'))
            notes += QLatin1String("A#");
        else if (c.isDigit() && octaveShift != 0)
            notes += QString::number(c.digitValue() + octaveShift);
        else
            notes += c;
    }
    const qsizetype firstEnd = notes.indexOf(QLatin1Char(','));
    if (firstEnd < 0)
        return notes + QLatin1Char(',') + QString::number(strumStep);
    return notes.left(firstEnd) + QLatin1Char(',') + QString::number(strumStep) + QLatin1Char(',') +
           notes.mid(firstEnd + 1);
}

} // namespace PlayNotes
