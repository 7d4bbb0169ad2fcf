#pragma once
// MIDI output and stream functions with the behaviour of the Windows multimedia ones the tone
// generator was written for: a stream opens paused at 500,000 microseconds per quarter note, plays
// queued buffers of timed events, and reports open, position, done and close. Reports arrive
// queued on the thread of the receiver object, in the order they were raised.
#include <cstdint>
#include <functional>

class QObject;

namespace MidiOut {

using MMRESULT = uint32_t;
using HMIDISTRM = uint32_t; // 0: no stream
using HMIDIOUT = uint32_t;  // 0: no device open

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_NOTENABLED = 3;
constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MIDIERR_UNPREPARED = 64;
constexpr MMRESULT MIDIERR_STILLPLAYING = 65;

constexpr uint32_t MM_MOM_OPEN = 0x3C7;
constexpr uint32_t MM_MOM_CLOSE = 0x3C8;
constexpr uint32_t MM_MOM_DONE = 0x3C9;
constexpr uint32_t MM_MOM_POSITIONCB = 0x3CA;

constexpr uint32_t MEVT_F_SHORT = 0x00000000;
constexpr uint32_t MEVT_F_LONG = 0x80000000;
constexpr uint32_t MEVT_F_CALLBACK = 0x40000000;
constexpr uint8_t MEVT_SHORTMSG = 0x00;
constexpr uint8_t MEVT_TEMPO = 0x01;
constexpr uint8_t MEVT_NOP = 0x02;

constexpr uint32_t MHDR_DONE = 0x01;
constexpr uint32_t MHDR_PREPARED = 0x02;
constexpr uint32_t MHDR_INQUEUE = 0x04;
constexpr uint32_t MHDR_ISSTRM = 0x08;

constexpr uint32_t MIDIPROP_SET = 0x80000000;
constexpr uint32_t MIDIPROP_GET = 0x40000000;
constexpr uint32_t MIDIPROP_TIMEDIV = 0x00000001;
constexpr uint32_t MIDIPROP_TEMPO = 0x00000002;

constexpr uint32_t DefaultTempo = 500000; // microseconds per quarter note
constexpr uint32_t DefaultTimeDivision = 96;

struct MIDIEVENT
{
    uint32_t dwDeltaTime; // ticks since the previous event of the stream
    uint32_t dwStreamID;
    uint32_t dwEvent;     // type and flags in the high byte, the message or length below
};
static_assert(sizeof(MIDIEVENT) == 12);

struct MIDIHDR
{
    char *lpData = nullptr;
    uint32_t dwBufferLength = 0;
    uint32_t dwBytesRecorded = 0;
    uintptr_t dwUser = 0;
    uint32_t dwFlags = 0;
    MIDIHDR *lpNext = nullptr;
    uintptr_t reserved = 0;
    uint32_t dwOffset = 0;
    uintptr_t dwReserved[8] = {};
};

struct MIDIPROPTIMEDIV
{
    uint32_t cbStruct;
    uint32_t dwTimeDiv;
};

struct MIDIPROPTEMPO
{
    uint32_t cbStruct;
    uint32_t dwTempo;
};

struct MIDIOUTCAPSW
{
    char16_t szPname[32]; // zero-terminated, at most 31 characters
};

// A report of a stream: the message (MM_MOM_*), the stream, the instance value given at open
// and, for MM_MOM_DONE, the header that finished.
using TMidiReportProc = std::function<void(uint32_t message, HMIDISTRM stream, uintptr_t instance, MIDIHDR *header)>;

uint32_t midiOutGetNumDevs();
MMRESULT midiOutGetDevCapsW(int deviceId, MIDIOUTCAPSW *caps);
// Opens a device for direct use; the tone generator only probes with it.
MMRESULT midiOutOpen(HMIDIOUT *handle, int deviceId);
MMRESULT midiOutClose(HMIDIOUT handle);

// Opens a paused stream on the device (-1: the mapper). Reports are called on receiver's thread;
// none arrives once receiver is destroyed.
MMRESULT midiStreamOpen(HMIDISTRM *handle, int32_t *deviceId, uint32_t cMidi, QObject *receiver,
                        TMidiReportProc report, uintptr_t instance);
MMRESULT midiStreamClose(HMIDISTRM handle);
MMRESULT midiStreamProperty(HMIDISTRM handle, void *property, uint32_t flags);
MMRESULT midiStreamOut(HMIDISTRM handle, MIDIHDR *header, uint32_t size);
MMRESULT midiStreamRestart(HMIDISTRM handle);
MMRESULT midiStreamPause(HMIDISTRM handle);
// Ends every note and returns every queued buffer (done reports); the stream pauses at tick 0.
MMRESULT midiStreamStop(HMIDISTRM handle);
// The stream position in ticks.
MMRESULT midiStreamPosition(HMIDISTRM handle, uint64_t *ticks);
MMRESULT midiOutPrepareHeader(HMIDISTRM handle, MIDIHDR *header, uint32_t size);
MMRESULT midiOutUnprepareHeader(HMIDISTRM handle, MIDIHDR *header, uint32_t size);
// Like midiStreamStop, and every note of every channel is released.
MMRESULT midiOutReset(HMIDISTRM handle);

} // namespace MidiOut
