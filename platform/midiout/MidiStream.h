#pragma once
// The running state of one open stream: its queue of buffers, its clock and the thread that
// sounds events when they fall due (none for a device with a virtual clock).
#include "platform/midiout/MidiOut.h"

#include <QPointer>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class TMidiDevice;

namespace MidiOut {

class TMidiStream
{
public:
    TMidiStream(HMIDISTRM id, std::shared_ptr<TMidiDevice> device, QObject *receiver, TMidiReportProc report,
                uintptr_t instance);
    ~TMidiStream(); // stops the thread; posts nothing

    HMIDISTRM Id() const { return FId; }
    const std::shared_ptr<TMidiDevice> &Device() const { return FDevice; }
    void Post(uint32_t message, MIDIHDR *header);

    MMRESULT SetTimeDivision(uint32_t value);
    MMRESULT SetTempo(uint32_t value);
    uint32_t TimeDivision();
    uint32_t Tempo();
    MMRESULT Out(MIDIHDR *header);
    void Restart();
    void Pause();
    void Stop(bool resetDevice);
    uint64_t Position();
    bool IsQueued(const MIDIHDR *header);

    // Virtual clock only.
    void AdvanceUs(int64_t microseconds);
    int64_t MicrosecondsToNextEvent();

private:
    int64_t NowUs() const;
    int64_t DueUs(uint64_t tick) const;
    void Rebase(int64_t nowUs);
    // Sounds every event due at nowUs; returns when the next one falls due.
    std::optional<int64_t> Dispatch(int64_t nowUs);
    void Run();

    const HMIDISTRM FId;
    std::shared_ptr<TMidiDevice> FDevice;
    QPointer<QObject> FReceiver;
    TMidiReportProc FReport;
    uintptr_t FInstance;
    const bool FVirtual;

    std::mutex FMutex;
    std::condition_variable FWake;
    std::thread FThread;
    bool FQuit = false;
    std::deque<MIDIHDR *> FQueue;
    bool FPaused = true;
    uint32_t FTimeDivision = DefaultTimeDivision;
    uint32_t FTempo = DefaultTempo;
    uint64_t FTick = 0;       // position of the last event sounded
    int64_t FTickUs = 0;      // clock time of that position
    uint64_t FBaseTick = 0;   // the clock runs from (FBaseTick, FBaseUs) at the current tempo
    int64_t FBaseUs = 0;
    int64_t FVirtualNowUs = 0;
};

} // namespace MidiOut
