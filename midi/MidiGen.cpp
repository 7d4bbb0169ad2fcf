#include "midi/MidiGen.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

using namespace MidiOut;

namespace {

// Unit-wide: the next instance id, and the instance that last opened a stream (0: none).
int InstanceCounter = 1;
int OwnerInstance = 0;

constexpr int PercussionChannel = 9;
constexpr uint32_t MaxBufferBytes = 65535;
// 50 ticks per quarter note at 500,000 microseconds per quarter note: a tick is 10 ms.
constexpr uint32_t TicksPerQuarter = 50;

uint32_t Short(int status, int channel, int data1, int data2)
{
    return uint32_t(status | (channel & 0x0F)) | uint32_t(data1 & 0x7F) << 8 | uint32_t(data2 & 0x7F) << 16;
}

uint32_t Controller(int channel, int controller, int value)
{
    return Short(0xB0, channel, controller, value);
}

} // namespace

TMidiGen::TMidiGen(QObject *owner) : QObject(owner), FInstanceId(InstanceCounter++)
{
    setObjectName(QStringLiteral("MidiGen"));
    FWindow = new QObject(this);
}

TMidiGen::~TMidiGen()
{
    FKeepLooping = false;
    // No event loop may run while the owner is being torn down: the stream ends here and now.
    if (FHandle)
        AbandonStream();
    if (OwnerInstance == FInstanceId)
        OwnerInstance = 0;
}

int TMidiGen::OwnerId()
{
    return OwnerInstance;
}

int64_t TMidiGen::CheckRange(int64_t lo, int64_t hi, int64_t value)
{
    if (value >= lo && value <= hi)
        return value;
    return value > hi ? hi : lo;
}

bool TMidiGen::SetDevice(int deviceId)
{
    FDeviceId = deviceId;
    const int count = int(midiOutGetNumDevs());
    return count > 0 && deviceId < count;
}

bool TMidiGen::MidiAvailable()
{
    if (FOpen)
        return true;
    HMIDIOUT probe = 0;
    if (midiOutOpen(&probe, FDeviceId) != MMSYSERR_NOERROR)
        return false;
    midiOutClose(probe);
    return true;
}

bool TMidiGen::Play()
{
    return PlayNote(FNote + 12 * FOctave);
}

bool TMidiGen::PlayNote(int note)
{
    note = int(CheckRange(0, 127, note));
    if (DeferAfterStop([this, note] { PlayNote(note); }))
        return true;
    // The play is what was asked for now: a handler run while the device is awaited may already
    // set the generator up for the next one.
    const uint32_t loops = FLoops;
    std::vector<TMGRecord> records;
    int noteChannel = PercussionChannel;
    if (FChannel != PercussionChannel) {
        noteChannel = FInstrument >= 128 ? PercussionChannel : FChannel;
        records.push_back({0, MGProgramChange, uint32_t(FInstrument), uint8_t(noteChannel)});
    }
    const bool percussion = FChannel != PercussionChannel && noteChannel == PercussionChannel;
    const uint32_t value = percussion ? uint32_t(FInstrument) : uint32_t(note);
    records.push_back({0, MGNoteOn, value, uint8_t(noteChannel)});
    records.push_back({FDuration, MGNoteOff, value, uint8_t(noteChannel)});
    if (!PrepareToPlay())
        return false;
    FLoopsLeft = loops;
    FEffectiveChannel = FChannel;
    return PlayEvents(records, true);
}

bool TMidiGen::PlayString(const QString &s)
{
    if (DeferAfterStop([this, s] { PlayString(s); }))
        return true;
    // Settled before the device is awaited, as in PlayNote.
    const uint32_t loops = FLoops;
    FEffectiveChannel = FChannel;
    std::vector<TMGRecord> records;
    const bool bendAllowed = ParseNoteString(*this, s, records);
    if (!PrepareToPlay())
        return false;
    FLoopsLeft = loops;
    if (records.empty())
        return Fail();
    return PlayEvents(records, bendAllowed);
}

void TMidiGen::Stop()
{
    FKeepLooping = false;
    FPendingPlay = nullptr;
    // A play still starting: its open report must not set the looping going again.
    if (!FReady)
        FStopRequested = true;
    if (FOpen && FReady)
        midiStreamStop(FHandle);
}

bool TMidiGen::DeferAfterStop(std::function<void()> play)
{
    // A play that follows a stop while the stopped play is still starting would be refused and
    // leave silence; it starts as soon as the device can take it.
    if (FReady || !FStopRequested)
        return false;
    FPendingPlay = std::move(play);
    return true;
}

void TMidiGen::StartPendingPlay()
{
    if (!FPendingPlay)
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (auto play = std::exchange(FPendingPlay, nullptr))
                play();
        },
        Qt::QueuedConnection);
}

bool TMidiGen::Fail()
{
    FStarting = false;
    FReady = true;
    StartPendingPlay();
    return false;
}

template <typename Done> bool TMidiGen::WaitFor(Done done)
{
    // Events are pumped directly: once the program is quitting an event loop returns at once
    // without running anything, and the report (or the time-out) would never be seen.
    QTimer timer;
    timer.setSingleShot(true);
    timer.start(FReportTimeoutMs);
    while (!done() && timer.isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

bool TMidiGen::PrepareToPlay()
{
    if (!FReady || !MidiAvailable())
        return false;
    FReady = false;
    FStarting = true;
    FKeepLooping = false;
    FStopRequested = false;
    if (FOpen) {
        midiStreamStop(FHandle);
        if (!WaitFor([this] { return !FOpen; }))
            AbandonStream();
    }
    return true;
}

void TMidiGen::AppendEvent(std::vector<MIDIEVENT> &events, uint32_t delta, uint32_t event)
{
    // The stream takes one buffer of at most 65,535 bytes; what does not fit is dropped.
    if ((events.size() + 1) * sizeof(MIDIEVENT) > MaxBufferBytes)
        return;
    events.push_back({delta, 0, event});
}

void TMidiGen::AddPitchBend(std::vector<MIDIEVENT> &events, uint32_t delta, int channel) const
{
    if (delta == 0 || FPBDuration == 0 || FPBDelay == 100 || FPitchBend == 0)
        return;
    const int64_t start = int64_t(delta) * FPBDelay / 100;
    const int64_t steps = (int64_t(delta) - start) * FPBDuration / 100;
    if (steps == 0 || steps > 8191)
        return;
    const int64_t step = (int64_t(FPitchBend) * 8191 / 120) / steps;
    for (int64_t k = 1; k <= steps; ++k) {
        const int64_t value = 8192 + k * step;
        const uint32_t eventDelta = k == 1 ? uint32_t(start + 1) : 1;
        AppendEvent(events, eventDelta, Short(0xE0, channel, int(value & 0x7F), int((value >> 7) & 0x7F)));
    }
}

bool TMidiGen::PlayEvents(const std::vector<TMGRecord> &records, bool bendAllowed)
{
    if (OwnerInstance != 0 && OwnerInstance != FInstanceId)
        return Fail();
    FEffectiveChannel = FChannel;
    const int c = FEffectiveChannel;
    const int d = PercussionChannel;
    const bool bend = FPitchBend != 0 && bendAllowed;

    std::vector<MIDIEVENT> events;
    AppendEvent(events, 0, Controller(c, 121, 0) | MEVT_F_CALLBACK);
    AppendEvent(events, 0, Controller(d, 121, 0));
    AppendEvent(events, 0, Controller(c, 100, 0));
    AppendEvent(events, 0, Controller(c, 101, 0));
    AppendEvent(events, 0, Controller(c, 6, 12));
    AppendEvent(events, 0, Controller(c, 100, 127));
    AppendEvent(events, 0, Controller(c, 101, 127));
    AppendEvent(events, 0, Controller(c, 10, FPan * 63 / 100 + 64));
    AppendEvent(events, 0, Controller(d, 10, FPan * 63 / 100 + 64));
    AppendEvent(events, 0, Controller(c, 1, FModulation * 127 / 100));
    AppendEvent(events, 0, Controller(c, 7, FVolume * 127 / 100));
    AppendEvent(events, 0, Controller(d, 7, FVolume * 127 / 100));
    AppendEvent(events, 0, Controller(c, 64, FSustain ? 127 : 0));
    AppendEvent(events, 0, Controller(c, 91, FReverb * 127 / 100));
    AppendEvent(events, 0, Controller(c, 93, FChorus * 127 / 100));

    if (!records.empty() && records.front().kind != MGProgramChange)
        AppendEvent(events, 0, Short(0xC0, c, FInstrument >= 128 ? 127 : FInstrument, 0));
    uint32_t previousTime = 0;
    bool firstNoteOff = true;
    for (const TMGRecord &record : records) {
        const uint32_t delta = record.time - previousTime;
        previousTime = record.time;
        const bool percussion = record.channel == PercussionChannel && c != PercussionChannel;
        const int key = percussion ? int(std::clamp<int64_t>(int64_t(record.value) - 93, 35, 81))
                                   : int(std::min<uint32_t>(record.value, 127));
        const int channel = percussion ? PercussionChannel : record.channel;
        switch (record.kind) {
        case MGProgramChange:
            AppendEvent(events, delta, Short(0xC0, record.channel, int(std::min<uint32_t>(record.value, 127)), 0));
            break;
        case MGNoteOn:
            AppendEvent(events, delta, Short(0x90, channel, key, 127));
            break;
        case MGNoteOff:
            if (firstNoteOff && bend)
                AddPitchBend(events, delta, channel);
            firstNoteOff = false;
            AppendEvent(events, delta, Short(0x90, channel, key, 0));
            break;
        default:
            break;
        }
    }

    // Opening: a previous stream must be gone before its buffer is replaced.
    if (!WaitFor([this] { return !FOpen; }))
        AbandonStream();
    FEvents = std::move(events);
    int32_t device = FDeviceId;
    const MMRESULT opened = midiStreamOpen(
        &FHandle, &device, 1, FWindow,
        [this](uint32_t message, HMIDISTRM stream, uintptr_t, MIDIHDR *header) { Report(message, stream, header); },
        uintptr_t(FInstanceId));
    if (opened != MMSYSERR_NOERROR) {
        FHandle = 0;
        ReleaseBuffer();
        return Fail();
    }
    if (!WaitFor([this] { return FOpen; })) {
        AbandonStream();
        return Fail();
    }
    OwnerInstance = FInstanceId;
    midiOutReset(FHandle);
    MIDIPROPTIMEDIV division{sizeof(MIDIPROPTIMEDIV), TicksPerQuarter};
    bool prepared = false;
    bool ok = midiStreamProperty(FHandle, &division, MIDIPROP_SET | MIDIPROP_TIMEDIV) == MMSYSERR_NOERROR;
    if (ok) {
        FHeader = MIDIHDR();
        FHeader.lpData = reinterpret_cast<char *>(FEvents.data());
        FHeader.dwBufferLength = FHeader.dwBytesRecorded = uint32_t(FEvents.size() * sizeof(MIDIEVENT));
        prepared = midiOutPrepareHeader(FHandle, &FHeader, sizeof FHeader) == MMSYSERR_NOERROR;
        ok = prepared && midiStreamOut(FHandle, &FHeader, sizeof FHeader) == MMSYSERR_NOERROR &&
             midiStreamRestart(FHandle) == MMSYSERR_NOERROR;
    }
    if (ok) {
        FStarting = false;
        return true;
    }
    // The stream closes again; its close report clears the open flag.
    midiStreamStop(FHandle);
    if (prepared)
        midiOutUnprepareHeader(FHandle, &FHeader, sizeof FHeader);
    midiStreamClose(FHandle);
    ReleaseBuffer();
    return Fail();
}

void TMidiGen::ReleaseBuffer()
{
    FEvents = {};
    FHeader = MIDIHDR();
}

void TMidiGen::AbandonStream()
{
    if (FHandle) {
        midiStreamStop(FHandle);
        midiOutUnprepareHeader(FHandle, &FHeader, sizeof FHeader);
        midiStreamClose(FHandle);
    }
    // Reports of the abandoned stream are ignored from here on.
    FHandle = 0;
    FOpen = false;
    FIsPlaying = false;
    FKeepLooping = false;
    // A play being set up stays unready: a second one would take over its stream.
    FReady = !FStarting;
    ReleaseBuffer();
}

void TMidiGen::Report(uint32_t message, HMIDISTRM stream, MIDIHDR *header)
{
    if (stream == 0 || stream != FHandle)
        return;
    switch (message) {
    case MM_MOM_OPEN:
        FOpen = FIsPlaying = true;
        FKeepLooping = !FStopRequested;
        // The loops left stay those of the play that opened the stream.
        break;
    case MM_MOM_POSITIONCB:
        // A pass of the stream a new play is replacing: the new play is not ready for that.
        if (FStarting)
            break;
        FReady = true;
        StartPendingPlay();
        break;
    case MM_MOM_DONE:
        if (header != &FHeader)
            break;
        if (FKeepLooping && FLoopsLeft != 1) {
            midiStreamOut(FHandle, &FHeader, sizeof FHeader);
            midiStreamRestart(FHandle);
            if (FLoopsLeft > 1)
                --FLoopsLeft;
        } else {
            midiOutUnprepareHeader(FHandle, &FHeader, sizeof FHeader);
            midiStreamStop(FHandle);
            midiOutReset(FHandle);
            ReleaseBuffer();
            midiStreamClose(FHandle);
        }
        break;
    case MM_MOM_CLOSE:
        FOpen = FIsPlaying = FKeepLooping = false;
        FHandle = 0;
        // Ready again even when the stream closed before any of its events sounded; not when a
        // new play closed it to take the device, or a second play could open a stream over it.
        if (FStarting)
            break;
        FReady = true;
        StartPendingPlay();
        break;
    default:
        break;
    }
}
