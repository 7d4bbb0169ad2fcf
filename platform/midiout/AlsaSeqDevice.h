#pragma once
// An ALSA sequencer port that accepts MIDI (a hardware synthesizer, a software one listening on
// the sequencer). Events go out through a port of our own, scheduled on a queue of our own.
#include "platform/midiout/MidiDevice.h"

#include <vector>

struct _snd_seq;
struct snd_midi_event;

class TAlsaSeqDevice : public TMidiDevice
{
public:
    TAlsaSeqDevice(int client, int port, const QString &name);
    ~TAlsaSeqDevice() override;

    // Every writable port except the system's own and "Midi Through"; none when the sequencer is
    // missing.
    static std::vector<std::shared_ptr<TMidiDevice>> Enumerate();

    QString Name() const override { return FName; }
    void ShortMessage(uint32_t message, uint64_t tick) override;
    void Reset() override;
    int Client() const { return FClient; }
    int Port() const { return FPort; }

protected:
    bool DoOpen() override;
    void DoClose() override;

private:
    void Send(const unsigned char *bytes, long length);

    const int FClient;
    const int FPort;
    const QString FName;
    std::mutex FSendMutex;
    _snd_seq *FSeq = nullptr;
    snd_midi_event *FEncoder = nullptr;
    int FOwnPort = -1;
    int FQueue = -1;
};
