#include "midi/NoteString.h"

#include "midi/MidiGen.h"

#include <algorithm>
#include <limits>

namespace {

// Each spelling preceded by its two-digit semitone.
const char NoteNames[] = "00C01C+01C#02D01D-03D+03D#04E03E-05F06F+06F#07G06G-08G+08G#09A08A-10A+10A#11B10B-";

constexpr int PercussionChannel = 9;
constexpr int64_t NotANumber = -1;

// A decimal number of at most 4294967295; anything else (signs, other characters, more digits
// than fit) is not a number.
int64_t ReadNumber(const QString &text)
{
    if (text.isEmpty() || text.size() > 10)
        return NotANumber;
    int64_t value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return NotANumber;
        value = value * 10 + (c.unicode() - '0');
    }
    return value <= std::numeric_limits<uint32_t>::max() ? value : NotANumber;
}

uint32_t SaturatingAdd(uint32_t a, int64_t b)
{
    const int64_t sum = int64_t(a) + b;
    return sum > int64_t(std::numeric_limits<uint32_t>::max()) ? std::numeric_limits<uint32_t>::max()
                                                                 : uint32_t(std::max<int64_t>(0, sum));
}

// Characters up to the blank count as white space, as in the trimming the strings were written for.
QString TrimControl(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= ' ')
        ++first;
    while (last > first && text.at(last - 1).unicode() <= ' ')
        --last;
    return text.mid(first, last - first);
}

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

struct TParser
{
    const TNoteStringContext &context;
    std::vector<TMGRecord> parsed;
    uint32_t time = 0;
    int64_t previousDelta = 0;
    int64_t currentDuration = -1; // none yet
    int currentOctave;
    bool bendAllowed = true;
    int noteChannel;
    int percussionOrdinal;

    explicit TParser(const TNoteStringContext &c)
        : context(c), currentOctave(c.octave),
          noteChannel(c.instrument < 128 && c.effectiveChannel != PercussionChannel ? c.effectiveChannel
                                                                                     : PercussionChannel),
          percussionOrdinal(c.instrument)
    {
    }

    // A note name with or without its octave; -1 when it names no note 0..127.
    int ReadNoteName(QString field)
    {
        if (field.size() < 2 || !IsDigit(field.back()))
            field += QString::number(currentOctave);
        QString name;
        QString octaveText;
        if (field.size() >= 2 && IsDigit(field.at(1))) {
            name = field.left(1);
            octaveText = field.mid(1);
        } else {
            name = field.left(2);
            octaveText = field.mid(2);
        }
        const int64_t octave = ReadNumber(octaveText);
        const int semitone = NoteIndex(name);
        if (octave < 0 || octave > 10 || semitone < 0)
            return -1;
        currentOctave = int(octave);
        const int64_t note = semitone + 12 * octave;
        return note <= 127 ? int(note) : -1;
    }

    void Item(QString item)
    {
        if (!IsDigit(item.front()) && item.front() != QLatin1Char(';'))
            item.prepend(QLatin1Char(';'));
        if (item.front() == QLatin1Char(';'))
            item.prepend(QString::number(previousDelta));
        if (item.count(QLatin1Char(';')) <= 1)
            item += QLatin1Char(';');
        if (item.endsWith(QLatin1Char(';'))) {
            if (currentDuration < 0)
                currentDuration = context.duration;
            item += QString::number(currentDuration);
        }
        const qsizetype firstSeparator = item.indexOf(QLatin1Char(';'));
        const QString deltaText = item.left(firstSeparator);
        const QString rest = item.mid(firstSeparator + 1);
        QString noteText;
        QString durationText;
        const qsizetype secondSeparator = rest.indexOf(QLatin1Char(';'));
        if (secondSeparator >= 0) {
            noteText = rest.left(secondSeparator);
            durationText = rest.mid(secondSeparator + 1);
        } else {
            durationText = rest;
        }

        const int64_t delta = ReadNumber(deltaText);
        if (delta >= 0)
            previousDelta = delta;
        if (delta != 0)
            bendAllowed = false;

        int instrument = -1;
        int note = -1;
        bool instrumentField = false;
        if (noteText.size() >= 2 && noteText.front() == QLatin1Char('I')) {
            instrumentField = true;
            const int64_t value = ReadNumber(noteText.mid(1));
            if (value >= 0 && value <= 174)
                instrument = int(value);
        } else {
            const int64_t value =
                noteText.size() >= 2 && noteText.front() == QLatin1Char('N') ? ReadNumber(noteText.mid(1)) : -1;
            note = value >= 0 && value <= 127 ? int(value) : ReadNoteName(noteText);
        }

        const int64_t duration = ReadNumber(durationText);
        if (duration > 0) {
            if (currentDuration >= 0 && currentDuration != duration)
                bendAllowed = false;
            currentDuration = duration;
        } else if (duration == 0 && currentDuration < 0) {
            currentDuration = context.duration;
        }

        const bool valid = instrumentField ? instrument >= 0 : note >= 0;
        if (delta < 0 || duration < 0 || !valid)
            return;
        time = SaturatingAdd(time, delta);
        if (instrumentField) {
            TMGRecord record{time, MGProgramChange, uint32_t(instrument), 0};
            if (instrument >= 128) {
                noteChannel = PercussionChannel;
                percussionOrdinal = instrument;
            } else {
                noteChannel = context.effectiveChannel;
            }
            record.channel = uint8_t(noteChannel);
            if (context.effectiveChannel == PercussionChannel) {
                noteChannel = PercussionChannel;
                return;
            }
            parsed.push_back(record);
            return;
        }
        const bool percussion = noteChannel == PercussionChannel && context.effectiveChannel != PercussionChannel;
        const uint32_t value = percussion ? uint32_t(percussionOrdinal) : uint32_t(note);
        parsed.push_back({time, MGNoteOn, value, uint8_t(noteChannel)});
        parsed.push_back({SaturatingAdd(time, currentDuration), MGNoteOff, value, uint8_t(noteChannel)});
    }
};

} // namespace

int NoteIndex(const QString &name)
{
    if (name.isEmpty() || name.size() > 2)
        return -1;
    const QByteArray wanted = name.toLatin1();
    const std::string_view table(NoteNames);
    for (size_t i = 0; i + 2 < table.size();) {
        size_t end = i + 2;
        while (end < table.size() && !(table[end] >= '0' && table[end] <= '9'))
            ++end;
        if (table.substr(i + 2, end - i - 2) == std::string_view(wanted.constData(), size_t(wanted.size())))
            return (table[i] - '0') * 10 + (table[i + 1] - '0');
        i = end;
    }
    return -1;
}

bool ParseNoteString(const TNoteStringContext &context, const QString &s, std::vector<TMGRecord> &records)
{
    QString text = TrimControl(s).toUpper();
    text.remove(QLatin1Char(' '));
    if (text.isEmpty())
        return false;
    TParser parser(context);
    for (const QString &piece : text.split(QLatin1Char(','))) {
        if (piece.isEmpty())
            continue;
        const QString item = TrimControl(piece);
        if (item.isEmpty())
            break;
        parser.Item(item);
    }
    // Equal times keep the order written, with program changes ahead, so that a note's off never
    // ends the next note of the same pitch.
    std::stable_sort(parser.parsed.begin(), parser.parsed.end(), [](const TMGRecord &a, const TMGRecord &b) {
        if (a.time != b.time)
            return a.time < b.time;
        return (a.kind == MGProgramChange) > (b.kind == MGProgramChange);
    });
    records.insert(records.end(), parser.parsed.begin(), parser.parsed.end());
    return parser.bendAllowed;
}

bool ParseNoteString(const TMidiGen &component, const QString &s, std::vector<TMGRecord> &records)
{
    TNoteStringContext context;
    context.octave = component.Octave();
    context.duration = component.Duration();
    context.instrument = component.Instrument();
    context.effectiveChannel = component.EffectiveChannel();
    return ParseNoteString(context, s, records);
}
