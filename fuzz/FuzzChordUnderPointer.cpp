// The chord under a Ctrl+click in any text at any caret: the word is a piece of the text without
// word breaks inside, and whatever it parses to gives list indexes the chord page has.
#include "FuzzSupport.h"

#include "app/core/ChordUnderPointer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzInput input(data, size);
    const int caret = input.IntIn(-2, 300);
    const int notation = input.Byte() & 1;
    const QString text = QString::fromUtf8(input.Rest());

    const QString word = ChordUnderPointer::WordAt(text, caret);
    VX_CHECK(word.isEmpty() || text.contains(word));
    for (QChar c : word)
        VX_CHECK(c.unicode() > 32 && c != QLatin1Char(',') && c != QLatin1Char('*') && c != QLatin1Char('[') &&
                 c != QLatin1Char(']'));

    for (const QString &each : {word, text}) {
        const ChordUnderPointer::TChordWord chord = ChordUnderPointer::ParseChordWord(each);
        if (chord.valid)
            VX_CHECK(!chord.root.isEmpty() && !chord.typeText.isEmpty());
        const int root = ChordUnderPointer::RootIndexOf(chord.root, notation);
        VX_CHECK(root >= 0 && root <= 11);
        const int bass = ChordUnderPointer::BassIndexOf(chord.bassText, notation);
        VX_CHECK(bass >= 0 && bass <= 12);
        VX_CHECK(chord.romanFret == chord.romanFret.toUpper());
    }
    return 0;
}
