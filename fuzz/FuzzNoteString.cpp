// Note strings of any text: every record the tone generator gets is in time order, on a MIDI
// channel, with a note, program or percussion number in range, and every note that starts ends.
#include "FuzzSupport.h"

#include "midi/NoteString.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TFuzzInput input(data, size);
    TNoteStringContext context;
    context.octave = input.IntIn(0, 10);
    context.duration = uint32_t(input.IntIn(0, 5000));
    context.instrument = input.IntIn(0, 174);
    context.effectiveChannel = input.IntIn(0, 15);
    const QString text = QString::fromUtf8(input.Rest());

    std::vector<TMGRecord> records;
    ParseNoteString(context, text, records);
    int open = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        const TMGRecord &r = records[i];
        VX_CHECK(r.channel <= 15);
        VX_CHECK(r.kind == MGProgramChange || r.kind == MGNoteOn || r.kind == MGNoteOff);
        VX_CHECK(r.value <= (r.kind == MGProgramChange || r.channel == 9 ? 174u : 127u));
        if (i > 0)
            VX_CHECK(records[i - 1].time <= r.time);
        open += r.kind == MGNoteOn ? 1 : r.kind == MGNoteOff ? -1 : 0;
    }
    VX_CHECK(open == 0);

    // A note name is one of the twelve semitones or none.
    const int index = NoteIndex(text.left(3));
    VX_CHECK(index >= -1 && index <= 11);
    return 0;
}
