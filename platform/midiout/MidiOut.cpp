#include "platform/midiout/MidiOut.h"

#include "platform/midiout/AlsaSeqDevice.h"
#include "platform/midiout/FluidSynthDevice.h"
#include "platform/midiout/MidiDevice.h"
#include "platform/midiout/MidiStream.h"

#include <QObject>
#include <chrono>
#include <cstring>
#include <map>
#include <system_error>

// ---------------------------------------------------------------------------------------------
// Devices

TMidiDevice::~TMidiDevice() = default;

bool TMidiDevice::Open()
{
    std::lock_guard lock(FMutex);
    if (FOpenCount == 0 && !DoOpen())
        return false;
    ++FOpenCount;
    return true;
}

void TMidiDevice::Close()
{
    std::lock_guard lock(FMutex);
    if (FOpenCount > 0 && --FOpenCount == 0)
        DoClose();
}

bool TMidiDevice::IsOpen() const
{
    std::lock_guard lock(FMutex);
    return FOpenCount > 0;
}

void TMidiDevice::Reported(uint32_t, uint64_t) {}

void TMidiDevice::Attach(MidiOut::TMidiStream *stream)
{
    std::lock_guard lock(FStreamMutex);
    FStream = stream;
}

void TMidiDevice::Detach(MidiOut::TMidiStream *stream)
{
    std::lock_guard lock(FStreamMutex);
    if (FStream == stream)
        FStream = nullptr;
}

void TMidiDevice::AdvanceClockUs(int64_t microseconds)
{
    std::lock_guard lock(FStreamMutex);
    if (FStream)
        FStream->AdvanceUs(microseconds);
}

int64_t TMidiDevice::MicrosecondsToNextEvent() const
{
    std::lock_guard lock(FStreamMutex);
    return FStream ? FStream->MicrosecondsToNextEvent() : -1;
}

namespace MidiOut {

namespace {

std::mutex &ListMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::unique_ptr<TDeviceList> &ListSlot()
{
    static std::unique_ptr<TDeviceList> list;
    return list;
}

TDeviceList SystemDevices()
{
    TDeviceList devices;
    devices.push_back(std::make_shared<TFluidSynthDevice>());
    for (auto &port : TAlsaSeqDevice::Enumerate())
        devices.push_back(std::move(port));
    return devices;
}

} // namespace

const TDeviceList &Devices()
{
    std::lock_guard lock(ListMutex());
    if (!ListSlot())
        ListSlot() = std::make_unique<TDeviceList>(SystemDevices());
    return *ListSlot();
}

void SetDevices(TDeviceList devices)
{
    std::lock_guard lock(ListMutex());
    ListSlot() = std::make_unique<TDeviceList>(std::move(devices));
}

void ResetDevices()
{
    std::lock_guard lock(ListMutex());
    ListSlot().reset();
}

void PrepareDevices()
{
    for (const std::shared_ptr<TMidiDevice> &device : Devices())
        if (auto *synth = dynamic_cast<TFluidSynthDevice *>(device.get()))
            synth->StartLoading();
}

std::shared_ptr<TMidiDevice> DeviceById(int id)
{
    const TDeviceList &devices = Devices();
    if (id == -1)
        id = 0;
    if (id < 0 || id >= int(devices.size()))
        return nullptr;
    return devices[size_t(id)];
}

// ---------------------------------------------------------------------------------------------
// Streams

namespace {

void PostReport(QObject *receiver, const TMidiReportProc &report, HMIDISTRM stream, uintptr_t instance,
                uint32_t message, MIDIHDR *header)
{
    if (!receiver || !report)
        return;
    QMetaObject::invokeMethod(
        receiver, [report, stream, instance, message, header] { report(message, stream, instance, header); },
        Qt::QueuedConnection);
}

// A start long after the previous buffer ran out begins at once instead of catching up; an event
// due longer ago than this was held up.
constexpr int64_t StarvedUs = 100000;

} // namespace

TMidiStream::TMidiStream(HMIDISTRM id, std::shared_ptr<TMidiDevice> device, QObject *receiver,
                         TMidiReportProc report, uintptr_t instance)
    : FId(id), FDevice(std::move(device)), FReceiver(receiver), FReport(std::move(report)), FInstance(instance),
      FVirtual(FDevice->VirtualClock())
{
    FDevice->Attach(this);
    if (FVirtual)
        return;
    try {
        FThread = std::thread([this] { Run(); });
    } catch (const std::system_error &) {
        FDevice->Detach(this);
        throw;
    }
}

TMidiStream::~TMidiStream()
{
    FDevice->Detach(this);
    {
        std::lock_guard lock(FMutex);
        FQuit = true;
    }
    FWake.notify_all();
    if (FThread.joinable())
        FThread.join();
}

void TMidiStream::Post(uint32_t message, MIDIHDR *header)
{
    FDevice->Reported(message, FTick);
    PostReport(FReceiver.data(), FReport, FId, FInstance, message, header);
}

int64_t TMidiStream::NowUs() const
{
    if (FVirtual)
        return FVirtualNowUs;
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int64_t TMidiStream::DueUs(uint64_t tick) const
{
    const long double span = (long double)(tick - FBaseTick) * FTempo / (FTimeDivision ? FTimeDivision : 1);
    return FBaseUs + int64_t(span);
}

void TMidiStream::Rebase(int64_t nowUs)
{
    FBaseTick = FTick;
    FBaseUs = nowUs;
    FTickUs = nowUs;
}

MMRESULT TMidiStream::SetTimeDivision(uint32_t value)
{
    if (value == 0 || value > 0x7FFF)
        return MMSYSERR_INVALPARAM;
    std::lock_guard lock(FMutex);
    FBaseTick = FTick;
    FBaseUs = FTickUs;
    FTimeDivision = value;
    return MMSYSERR_NOERROR;
}

MMRESULT TMidiStream::SetTempo(uint32_t value)
{
    if (value == 0)
        return MMSYSERR_INVALPARAM;
    std::lock_guard lock(FMutex);
    FBaseTick = FTick;
    FBaseUs = FTickUs;
    FTempo = value;
    return MMSYSERR_NOERROR;
}

uint32_t TMidiStream::TimeDivision()
{
    std::lock_guard lock(FMutex);
    return FTimeDivision;
}

uint32_t TMidiStream::Tempo()
{
    std::lock_guard lock(FMutex);
    return FTempo;
}

MMRESULT TMidiStream::Out(MIDIHDR *header)
{
    {
        std::lock_guard lock(FMutex);
        if (!(header->dwFlags & MHDR_PREPARED))
            return MIDIERR_UNPREPARED;
        if (header->dwFlags & MHDR_INQUEUE)
            return MIDIERR_STILLPLAYING;
        header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE | MHDR_ISSTRM;
        header->dwOffset = 0;
        const int64_t now = NowUs();
        if (FQueue.empty() && !FPaused && now - FTickUs > StarvedUs)
            Rebase(now);
        FQueue.push_back(header);
    }
    FWake.notify_all();
    return MMSYSERR_NOERROR;
}

void TMidiStream::Restart()
{
    {
        std::lock_guard lock(FMutex);
        if (!FPaused)
            return;
        FPaused = false;
        Rebase(NowUs());
    }
    FWake.notify_all();
}

void TMidiStream::Pause()
{
    std::lock_guard lock(FMutex);
    FPaused = true;
}

void TMidiStream::Stop(bool resetDevice)
{
    {
        std::lock_guard lock(FMutex);
        FPaused = true;
        while (!FQueue.empty()) {
            MIDIHDR *header = FQueue.front();
            FQueue.pop_front();
            header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
            Post(MM_MOM_DONE, header);
        }
        FTick = 0;
        Rebase(NowUs());
    }
    if (resetDevice)
        FDevice->Reset();
    FWake.notify_all();
}

uint64_t TMidiStream::Position()
{
    std::lock_guard lock(FMutex);
    return FTick;
}

bool TMidiStream::IsQueued(const MIDIHDR *header)
{
    std::lock_guard lock(FMutex);
    for (const MIDIHDR *queued : FQueue)
        if (queued == header)
            return true;
    return false;
}

std::optional<int64_t> TMidiStream::Dispatch(int64_t nowUs)
{
    while (!FPaused && !FQuit && !FQueue.empty()) {
        MIDIHDR *header = FQueue.front();
        if (!header->lpData || uint64_t(header->dwOffset) + sizeof(MIDIEVENT) > header->dwBytesRecorded) {
            FQueue.pop_front();
            header->dwFlags = (header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
            Post(MM_MOM_DONE, header);
            continue;
        }
        MIDIEVENT event;
        std::memcpy(&event, header->lpData + header->dwOffset, sizeof event);
        const uint64_t tick = FTick + event.dwDeltaTime;
        int64_t due = DueUs(tick);
        // A stream held up (the program stopped, the machine too busy) goes on from where it was,
        // keeping its spacing, instead of sounding everything it missed at once.
        if (nowUs - due > StarvedUs) {
            FBaseUs += nowUs - due;
            due = nowUs;
        }
        if (due > nowUs)
            return due;
        FTick = tick;
        FTickUs = due;
        uint32_t size = sizeof(MIDIEVENT);
        if (event.dwEvent & MEVT_F_LONG) {
            const uint32_t length = event.dwEvent & 0xFFFFFF;
            size += (length + 3) & ~3u;
        } else {
            const uint8_t type = uint8_t((event.dwEvent >> 24) & 0x3F);
            if (type == MEVT_SHORTMSG) {
                FDevice->ShortMessage(event.dwEvent & 0xFFFFFF, FTick);
            } else if (type == MEVT_TEMPO && (event.dwEvent & 0xFFFFFF) != 0) {
                FBaseTick = FTick;
                FBaseUs = FTickUs;
                FTempo = event.dwEvent & 0xFFFFFF;
            }
        }
        header->dwOffset = uint32_t(std::min<uint64_t>(uint64_t(header->dwOffset) + size, header->dwBytesRecorded));
        if (event.dwEvent & MEVT_F_CALLBACK)
            Post(MM_MOM_POSITIONCB, header);
    }
    return std::nullopt;
}

void TMidiStream::Run()
{
    std::unique_lock lock(FMutex);
    while (!FQuit) {
        if (FPaused || FQueue.empty()) {
            FWake.wait(lock);
            continue;
        }
        const std::optional<int64_t> next = Dispatch(NowUs());
        if (next)
            FWake.wait_until(lock, std::chrono::steady_clock::time_point(std::chrono::microseconds(*next)));
    }
}

void TMidiStream::AdvanceUs(int64_t microseconds)
{
    std::lock_guard lock(FMutex);
    FVirtualNowUs += std::max<int64_t>(0, microseconds);
    Dispatch(FVirtualNowUs);
}

int64_t TMidiStream::MicrosecondsToNextEvent()
{
    std::lock_guard lock(FMutex);
    if (FPaused || FQueue.empty())
        return -1;
    const MIDIHDR *header = FQueue.front();
    if (!header->lpData || uint64_t(header->dwOffset) + sizeof(MIDIEVENT) > header->dwBytesRecorded)
        return 0;
    MIDIEVENT event;
    std::memcpy(&event, header->lpData + header->dwOffset, sizeof event);
    return std::max<int64_t>(0, DueUs(FTick + event.dwDeltaTime) - FVirtualNowUs);
}

// ---------------------------------------------------------------------------------------------
// The functions

namespace {

struct TRegistry
{
    std::mutex mutex;
    uint32_t nextId = 1;
    std::map<HMIDISTRM, std::unique_ptr<TMidiStream>> streams;
    std::map<HMIDIOUT, std::shared_ptr<TMidiDevice>> outs;
};

TRegistry &Registry()
{
    static TRegistry registry;
    return registry;
}

TMidiStream *Find(HMIDISTRM handle)
{
    TRegistry &registry = Registry();
    std::lock_guard lock(registry.mutex);
    const auto it = registry.streams.find(handle);
    return it == registry.streams.end() ? nullptr : it->second.get();
}

} // namespace

uint32_t midiOutGetNumDevs()
{
    return uint32_t(Devices().size());
}

MMRESULT midiOutGetDevCapsW(int deviceId, MIDIOUTCAPSW *caps)
{
    if (!caps)
        return MMSYSERR_INVALPARAM;
    const std::shared_ptr<TMidiDevice> device = DeviceById(deviceId);
    if (!device)
        return MMSYSERR_BADDEVICEID;
    const QString name = device->Name().left(31);
    std::memset(caps, 0, sizeof *caps);
    for (int i = 0; i < name.size(); ++i)
        caps->szPname[i] = name.at(i).unicode();
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutOpen(HMIDIOUT *handle, int deviceId)
{
    if (!handle)
        return MMSYSERR_INVALPARAM;
    *handle = 0;
    std::shared_ptr<TMidiDevice> device = DeviceById(deviceId);
    if (!device)
        return MMSYSERR_BADDEVICEID;
    if (!device->Open())
        return MMSYSERR_ALLOCATED;
    TRegistry &registry = Registry();
    std::lock_guard lock(registry.mutex);
    *handle = registry.nextId++;
    registry.outs[*handle] = std::move(device);
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutClose(HMIDIOUT handle)
{
    std::shared_ptr<TMidiDevice> device;
    {
        TRegistry &registry = Registry();
        std::lock_guard lock(registry.mutex);
        const auto it = registry.outs.find(handle);
        if (it == registry.outs.end())
            return MMSYSERR_INVALHANDLE;
        device = std::move(it->second);
        registry.outs.erase(it);
    }
    device->Close();
    return MMSYSERR_NOERROR;
}

MMRESULT midiStreamOpen(HMIDISTRM *handle, int32_t *deviceId, uint32_t cMidi, QObject *receiver,
                        TMidiReportProc report, uintptr_t instance)
{
    if (!handle || !deviceId || cMidi != 1)
        return MMSYSERR_INVALPARAM;
    *handle = 0;
    std::shared_ptr<TMidiDevice> device = DeviceById(*deviceId);
    if (!device)
        return MMSYSERR_BADDEVICEID;
    if (!device->Open())
        return MMSYSERR_ALLOCATED;
    TRegistry &registry = Registry();
    TMidiStream *stream = nullptr;
    try {
        std::lock_guard lock(registry.mutex);
        const HMIDISTRM id = registry.nextId++;
        auto owned = std::make_unique<TMidiStream>(id, device, receiver, std::move(report), instance);
        stream = owned.get();
        registry.streams[id] = std::move(owned);
        *handle = id;
    } catch (const std::system_error &) {
        // The stream's clock needs a thread; without one to spare the device is not playable now.
        device->Close();
        return MMSYSERR_NOMEM;
    }
    stream->Post(MM_MOM_OPEN, nullptr);
    return MMSYSERR_NOERROR;
}

MMRESULT midiStreamClose(HMIDISTRM handle)
{
    std::unique_ptr<TMidiStream> stream;
    {
        TRegistry &registry = Registry();
        std::lock_guard lock(registry.mutex);
        const auto it = registry.streams.find(handle);
        if (it == registry.streams.end())
            return MMSYSERR_INVALHANDLE;
        stream = std::move(it->second);
        registry.streams.erase(it);
    }
    // Buffers still queued come back as done before the stream goes.
    stream->Stop(true);
    std::shared_ptr<TMidiDevice> device = stream->Device();
    stream->Post(MM_MOM_CLOSE, nullptr);
    stream.reset();
    device->Close();
    return MMSYSERR_NOERROR;
}

MMRESULT midiStreamProperty(HMIDISTRM handle, void *property, uint32_t flags)
{
    TMidiStream *stream = Find(handle);
    if (!stream)
        return MMSYSERR_INVALHANDLE;
    if (!property || ((flags & MIDIPROP_SET) != 0) == ((flags & MIDIPROP_GET) != 0))
        return MMSYSERR_INVALPARAM;
    const uint32_t which = flags & ~(MIDIPROP_SET | MIDIPROP_GET);
    auto *record = static_cast<uint32_t *>(property); // {cbStruct, value}
    if (record[0] != 8 || (which != MIDIPROP_TIMEDIV && which != MIDIPROP_TEMPO))
        return MMSYSERR_INVALPARAM;
    if (flags & MIDIPROP_GET) {
        record[1] = which == MIDIPROP_TIMEDIV ? stream->TimeDivision() : stream->Tempo();
        return MMSYSERR_NOERROR;
    }
    return which == MIDIPROP_TIMEDIV ? stream->SetTimeDivision(record[1]) : stream->SetTempo(record[1]);
}

MMRESULT midiStreamOut(HMIDISTRM handle, MIDIHDR *header, uint32_t size)
{
    TMidiStream *stream = Find(handle);
    if (!stream)
        return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(MIDIHDR) || header->dwBytesRecorded > header->dwBufferLength)
        return MMSYSERR_INVALPARAM;
    return stream->Out(header);
}

MMRESULT midiStreamRestart(HMIDISTRM handle)
{
    TMidiStream *stream = Find(handle);
    if (!stream)
        return MMSYSERR_INVALHANDLE;
    stream->Restart();
    return MMSYSERR_NOERROR;
}

MMRESULT midiStreamPause(HMIDISTRM handle)
{
    TMidiStream *stream = Find(handle);
    if (!stream)
        return MMSYSERR_INVALHANDLE;
    stream->Pause();
    return MMSYSERR_NOERROR;
}

MMRESULT midiStreamStop(HMIDISTRM handle)
{
    TMidiStream *stream = Find(handle);
    if (!stream)
        return MMSYSERR_INVALHANDLE;
    stream->Stop(true);
    return MMSYSERR_NOERROR;
}

MMRESULT midiStreamPosition(HMIDISTRM handle, uint64_t *ticks)
{
    TMidiStream *stream = Find(handle);
    if (!stream)
        return MMSYSERR_INVALHANDLE;
    if (!ticks)
        return MMSYSERR_INVALPARAM;
    *ticks = stream->Position();
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutPrepareHeader(HMIDISTRM handle, MIDIHDR *header, uint32_t size)
{
    if (!Find(handle))
        return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(MIDIHDR) || !header->lpData || header->dwBufferLength > 65536)
        return MMSYSERR_INVALPARAM;
    header->dwFlags |= MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutUnprepareHeader(HMIDISTRM handle, MIDIHDR *header, uint32_t size)
{
    TMidiStream *stream = Find(handle);
    if (!stream)
        return MMSYSERR_INVALHANDLE;
    if (!header || size < sizeof(MIDIHDR))
        return MMSYSERR_INVALPARAM;
    if (stream->IsQueued(header))
        return MIDIERR_STILLPLAYING;
    header->dwFlags &= ~MHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT midiOutReset(HMIDISTRM handle)
{
    TMidiStream *stream = Find(handle);
    if (!stream)
        return MMSYSERR_INVALHANDLE;
    stream->Stop(true);
    return MMSYSERR_NOERROR;
}

} // namespace MidiOut
