#pragma once
// One MIDI output device behind the stream functions of MidiOut.h, and the list of devices in
// id order. A device sounds short messages at once; timing belongs to the stream that feeds it.
#include <QString>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace MidiOut {
class TMidiStream;
}

class TMidiDevice
{
public:
    virtual ~TMidiDevice();
    TMidiDevice(const TMidiDevice &) = delete;
    TMidiDevice &operator=(const TMidiDevice &) = delete;

    // The product name shown in the device list, at most 31 characters.
    virtual QString Name() const = 0;
    // Makes the device ready to sound; false when it cannot (no synthesizer, port gone). Opens
    // are counted: every successful Open is matched by one Close.
    bool Open();
    void Close();
    bool IsOpen() const;

    // status | data1 << 8 | data2 << 16; tick is the stream position it belongs to.
    virtual void ShortMessage(uint32_t message, uint64_t tick) = 0;
    // Every sounding note ends.
    virtual void Reset() = 0;
    // A report the stream posts; devices that record keep it.
    virtual void Reported(uint32_t message, uint64_t tick);

    // A device with a virtual clock runs its stream only when told to (AdvanceClock); the others
    // run theirs on a real-time thread.
    virtual bool VirtualClock() const { return false; }
    // Moves the virtual clock of the open stream forward and sounds what fell due.
    void AdvanceClockUs(int64_t microseconds);
    // Microseconds until the open stream's next event, -1 when nothing waits.
    int64_t MicrosecondsToNextEvent() const;

protected:
    TMidiDevice() = default;
    virtual bool DoOpen() = 0;
    virtual void DoClose() = 0;

private:
    friend class MidiOut::TMidiStream;
    void Attach(MidiOut::TMidiStream *stream);
    void Detach(MidiOut::TMidiStream *stream);

    mutable std::mutex FMutex;
    mutable std::mutex FStreamMutex;
    int FOpenCount = 0;
    MidiOut::TMidiStream *FStream = nullptr;
};

namespace MidiOut {

using TDeviceList = std::vector<std::shared_ptr<TMidiDevice>>;

// The devices in id order: the embedded synthesizer, then the sequencer ports; built on first use.
// Device id -1, the mapper, is device 0.
const TDeviceList &Devices();
// Replaces the list (tests put a capture device there); an empty list means no device at all.
void SetDevices(TDeviceList devices);
// Drops a list set by SetDevices; the next use builds the system's list again.
void ResetDevices();
// Lets the devices get ready to sound (the synthesizer reads its soundfont) in the background;
// a program calls it once its window is up. A device not made ready gets ready at its first use.
void PrepareDevices();
// The device for an id (-1: the mapper); null when there is none.
std::shared_ptr<TMidiDevice> DeviceById(int id);

} // namespace MidiOut
