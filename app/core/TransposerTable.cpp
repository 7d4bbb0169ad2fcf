#include "app/core/TransposerTable.h"

#include "app/core/ChordLists.h"

namespace TransposerTable {

namespace {

const QStringList Chromatic = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "H"};

int Wrap12(int value)
{
    return ((value % 12) + 12) % 12;
}

} // namespace

QStringList BareStepTexts()
{
    QStringList texts;
    for (int step = 11; step >= 1; --step)
        texts.append(QStringLiteral("+ %1").arg(step));
    texts.append(QStringLiteral("="));
    for (int step = 1; step <= 11; ++step)
        texts.append(QStringLiteral("- %1").arg(step));
    return texts;
}

QStringList KeyRow(int key, int notation, bool flats)
{
    QStringList sharps;
    for (int c = 0; c < 12; ++c)
        sharps.append(Chromatic[Wrap12(key + c)]);
    QStringList row = sharps;
    if (flats)
        for (int c = 0; c < 12; ++c)
            if (sharps[c].size() == 2)
                row[c] = sharps[(c + 1) % 12] + QLatin1Char('b');
    for (QString &name : row) {
        if (name == QLatin1String("Hb"))
            name = ChordLists::SiNoteName(QStringLiteral("sib"), notation, flats);
        else if (name == QLatin1String("H"))
            name = ChordLists::SiNoteName(QStringLiteral("si"), notation, flats);
    }
    return row;
}

QStringList MovedRow(const QStringList &keyRow, int stepIndex)
{
    QStringList row;
    for (int c = 0; c < 12; ++c)
        row.append(keyRow.value(Wrap12(11 - stepIndex + c)));
    return row;
}

QStringList StepTexts(const QStringList &keyRow)
{
    QStringList texts = BareStepTexts();
    if (keyRow.size() < 12)
        return texts;
    for (int k = 0; k <= 10; ++k)
        for (int item : {k, k + 12}) {
            const QString gap(texts[item].size() > 3 ? 6 : 7, QLatin1Char(' '));
            texts[item] += gap + keyRow[11 - k];
        }
    texts[11] += QStringLiteral("     ") + keyRow[0];
    return texts;
}

QString TableText(const QStringList &keyRow, const QStringList &movedRow)
{
    if (keyRow.value(0).isEmpty() || movedRow.value(0).isEmpty())
        return {};
    QStringList lines = {keyRow[0] + QStringLiteral("  ->>  ") + movedRow[0], QStringLiteral(" "),
                         QStringLiteral("=-=-=-=-=-=-="), QStringLiteral(" ")};
    for (int c = 0; c < 12; ++c)
        lines.append(keyRow.value(c).leftJustified(4) + QStringLiteral("->   ") + movedRow.value(c));
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace TransposerTable
