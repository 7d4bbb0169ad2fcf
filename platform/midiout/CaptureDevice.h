#pragma once
// A device that sounds nothing: it records every event with the stream tick it fell on and every
// report the stream raised, on a virtual clock that only moves when told. For tests.
#include "platform/midiout/MidiDevice.h"

#include <QString>
#include <vector>

class TCaptureDevice : public TMidiDevice
{
public:
    struct TEntry
    {
        uint64_t tick;
        uint32_t message; // a short message, or an MM_MOM_* report
        bool report;
    };

    explicit TCaptureDevice(const QString &name = QStringLiteral("Capture"));

    QString Name() const override { return FName; }
    void ShortMessage(uint32_t message, uint64_t tick) override;
    void Reset() override;
    void Reported(uint32_t message, uint64_t tick) override;
    bool VirtualClock() const override { return true; }

    // Opening fails while set, as with a device another program holds.
    void SetUnavailable(bool value) { FUnavailable = value; }
    int OpenCount() const { return FOpens; }
    int ResetCount() const;

    // Everything in the order it happened.
    std::vector<TEntry> Log() const;
    std::vector<TEntry> Events() const;
    std::vector<uint32_t> Reports() const;
    void Clear();

    // Moves the clock to the next due event of the open stream and sounds it; false when no
    // event waits.
    bool Step();

    // A Standard MIDI File (format 0, the given ticks per quarter note) of the recorded events.
    QByteArray SmfBytes(uint16_t division = 50) const;
    bool WriteSmf(const QString &path, uint16_t division = 50) const;

protected:
    bool DoOpen() override;
    void DoClose() override {}

private:
    const QString FName;
    mutable std::mutex FLogMutex;
    std::vector<TEntry> FLog;
    bool FUnavailable = false;
    int FOpens = 0;
    int FResets = 0;
};
