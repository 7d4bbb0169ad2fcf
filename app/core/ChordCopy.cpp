#include "app/core/ChordCopy.h"

#include <QStringList>

#include <algorithm>

namespace ChordCopy {

namespace {

const QLatin1String Crlf("\r\n");
const QLatin1String PlainCells("|---|---|---|---|---|");

QString StringLine(int string, int fret)
{
    QString line = QString::number(string) + PlainCells;
    if (fret >= 1 && fret <= 5)
        line.replace(1 + (fret - 1) * 4, 4, QStringLiteral("|-x-"));
    return line;
}

// The first 21 characters read backwards behind a bar: the nut ends up on the right.
QString Mirrored(const QString &line)
{
    QString head = line.left(21);
    std::reverse(head.begin(), head.end());
    return QLatin1Char('|') + head;
}

} // namespace

QString ChordAsText(const TTextDiagram &diagram)
{
    const QString roman = Diagram::ArabicToRoman(diagram.measure.lowest, diagram.measure.highest);
    const bool relative = diagram.measure.highest >= 4;
    QStringList strings;
    QString frets;
    for (int string = 1; string <= 6; ++string) {
        const QString field = diagram.shown.mid((string - 1) * 2, 2);
        if (field == QLatin1String("xx")) {
            strings.append(QLatin1Char('X') + PlainCells);
            continue;
        }
        strings.append(StringLine(string, field.toInt()));
    }
    for (int string = 6; string >= 1; --string) {
        const QString field = diagram.shown.mid((string - 1) * 2, 2);
        if (field == QLatin1String("xx")) {
            frets += QLatin1String(" x");
            continue;
        }
        int fret = field.toInt();
        if (relative && fret != 0)
            fret += diagram.measure.lowest - 1;
        frets += QLatin1Char(' ') + QString::number(fret);
    }

    const QString nameSuffix = diagram.showName ? QStringLiteral(" - ") + diagram.chordName : QString();
    QString text = diagram.rightHand ? QLatin1Char(' ') + roman + QString(16, QLatin1Char(' '))
                                     : QString(16, QLatin1Char(' ')) + roman;
    text += Crlf;
    for (int i = 0; i < 6; ++i) {
        text += diagram.rightHand ? strings[i] : Mirrored(strings[i]);
        if (i == 0)
            text += nameSuffix;
        text += Crlf;
    }
    text += Crlf;
    text += (diagram.showName ? diagram.chordName + QLatin1Char(':') : QString()) + frets + Crlf;
    return text;
}

} // namespace ChordCopy
