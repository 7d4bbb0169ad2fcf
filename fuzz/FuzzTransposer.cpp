// The transposer over song texts: any text keeps its lyrics and a second pass by zero changes
// nothing; a text of chords among words moved up and back again is the text it was.
#include "FuzzSupport.h"

#include "app/core/ChordUnderPointer.h"
#include "app/core/UnitTransp.h"

#include <QRegularExpression>
#include <array>

namespace {

// Chord names as each spelling writes them, so that moving one back gives the same spelling.
const std::array<std::array<const char *, 12>, 4> Roots = {{
    {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "H"},
    {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "B", "H"},
    {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"},
    {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"},
}};
const char *const Suffixes[] = {"", "m", "7", "m7", "maj7", "sus4", "sus2", "dim", "aug", "6", "9", "add9",
                                "7-5", "m7-5", "+", "11", "13", "maj", "dim7", "7(9)", "mi", "M7"};
const char *const Words[] = {"Ой", "то", "не", "вечер", "мне", "малым-мало", "спалось", "1.", "2)", "припев:", "—", "…"};
const char *const Gaps[] = {" ", "  ", "\n", "\r\n", "\t", " (", ") ", ", ", ". ", "\u00A0", " [", "] "};

QString Generate(TFuzzInput &input, int table, QStringList &chords)
{
    QString text;
    while (input.Remaining() > 0) {
        const uint8_t kind = input.Byte();
        if (kind & 1) {
            QString chord = QLatin1String(Roots[size_t(table)][input.Byte() % 12]);
            chord += QLatin1String(Suffixes[input.Byte() % std::size(Suffixes)]);
            if (kind & 2)
                chord += QLatin1Char('/') + QLatin1String(Roots[size_t(table)][input.Byte() % 12]);
            chords.append(chord);
            text += chord;
        } else {
            text += QString::fromUtf8(Words[input.Byte() % std::size(Words)]);
        }
        text += QString::fromUtf8(Gaps[(kind >> 2) % std::size(Gaps)]);
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    TFuzzInput input(data, size);
    const uint8_t mode = input.Byte();
    const int offset = mode % 12;
    const UnitTransp::TSpelling spelling{(mode >> 4) & 1, bool((mode >> 5) & 1)};
    const int table = spelling.notation * 2 + spelling.flats;

    if (mode & 0x80) {
        // Any text: letters other than chord roots and the text's length in lines stay.
        const QString text = QString::fromUtf8(input.Rest());
        const QString moved = UnitTransp::TransposeText(text, offset, spelling);
        VX_CHECK(moved.count(QLatin1Char('\n')) == text.count(QLatin1Char('\n')));
        // A root with two accidentals ("Bb#") is read again as another root once respelled, so
        // only texts without one settle after a pass.
        static const QRegularExpression doubled(QStringLiteral("[A-H][#b][#b]"));
        const QString normal = UnitTransp::TransposeText(moved, 0, spelling);
        if (!text.contains(doubled) && !moved.contains(doubled))
            VX_CHECK(UnitTransp::TransposeText(normal, 0, spelling) == normal);
        UnitTransp::TranspIsChordSuffix(text);
        return 0;
    }

    QStringList chords;
    const QString text = Generate(input, table, chords);
    const QString up = UnitTransp::TransposeText(text, offset, spelling);
    VX_CHECK(UnitTransp::TransposeText(up, (12 - offset) % 12, spelling) == text);
    if (offset == 0)
        VX_CHECK(up == text);

    // Every chord written is found again under the pointer; a no-break space joins words there.
    if (text.contains(QChar(0xA0)))
        return 0;
    qsizetype at = 0;
    for (const QString &chord : chords) {
        at = text.indexOf(chord, at);
        VX_CHECK(at >= 0);
        const QString word = ChordUnderPointer::WordAt(text, at);
        const ChordUnderPointer::TChordWord parsed = ChordUnderPointer::ParseChordWord(word);
        VX_CHECK(parsed.valid);
        VX_CHECK(chord.startsWith(parsed.root));
        at += chord.size();
    }
    return 0;
}
