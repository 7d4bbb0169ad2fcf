#pragma once
// The default device: an embedded General MIDI synthesizer. The soundfont loads on a thread of its
// own from construction on, so the window can appear meanwhile; opening waits for it (bounded).
// Without an audio output the device cannot open, unless it renders offline: then the caller pulls
// the sound with Render and the stream's clock follows the rendered samples.
#include "platform/midiout/MidiDevice.h"

#include <QStringList>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <thread>

struct _fluid_hashtable_t;
struct _fluid_synth_t;
struct _fluid_audio_driver_t;

class TFluidSynthDevice : public TMidiDevice
{
public:
    struct TOptions
    {
        QStringList soundFonts = FindSoundFonts(); // the first that loads is used
        QStringList audioDrivers = {QStringLiteral("pipewire"), QStringLiteral("pulseaudio"), QStringLiteral("alsa")};
        bool offline = false;                      // no audio driver; Render drives the clock
        double sampleRate = 44100.0;
        int periodSize = 256;                      // 2 periods of 256 frames: 11.6 ms of audio buffer
        int periods = 2;
        double gain = 0.6;                         // the library's 0.2 is too quiet for a chord
        int idleStopMs = 10000;                    // the audio output stops this long after the last close
    };

    TFluidSynthDevice();
    explicit TFluidSynthDevice(TOptions options);
    ~TFluidSynthDevice() override;

    // The General MIDI soundfonts of the system, the preferred one first.
    static QStringList FindSoundFonts();

    QString Name() const override { return QStringLiteral("FluidSynth GM Synthesizer"); }
    void ShortMessage(uint32_t message, uint64_t tick) override;
    void Reset() override;
    bool VirtualClock() const override { return FOptions.offline; }

    // Starts reading the soundfont on a thread of its own; the first open does it otherwise.
    void StartLoading();
    // Waits (at most timeoutMs) for the soundfont; false when none could be loaded.
    bool WaitLoaded(int timeoutMs);
    // Why the last open failed, for the log.
    QString LastError() const;
    // The audio driver in use ("pipewire", ...), empty while none runs.
    QString AudioDriver() const;
    // Audio buffer length in milliseconds.
    double BufferMilliseconds() const;

    // Offline only: advances the open stream's clock in small steps, sounding its due events, and
    // writes frames of stereo samples.
    void Render(float *left, float *right, int frames);

protected:
    bool DoOpen() override;
    void DoClose() override;

private:
    void Load();
    void SendProgram(int channel, int program);
    void StopOutputWhenIdle();
    void WatchIdleOutput();

    const TOptions FOptions;
    mutable std::mutex FLoadMutex;
    std::condition_variable FLoaded;
    bool FLoadDone = false;
    std::thread FLoader;
    _fluid_hashtable_t *FSettings = nullptr;
    _fluid_synth_t *FSynth = nullptr;
    int FSoundFontId = -1;
    _fluid_audio_driver_t *FDriver = nullptr;
    unsigned FDriverErrors = 0; // the library's error count when the audio output started
    QString FDriverName;
    QString FError;
    // An output left running renders silence for good, waking the machine hundreds of times a
    // second; a thread of its own stops it once the device stayed closed for a while.
    std::condition_variable FIdleWake;
    std::thread FIdleWatch;
    bool FIdle = false;
    bool FQuit = false;
    std::chrono::steady_clock::time_point FIdleSince;
    // Stopping an output now and then never returns (the sound server stops asking for data), so
    // it runs on a thread nobody joins; the next output and the synthesizer's end wait for it only
    // a moment.
    struct TOutputStop;
    std::shared_ptr<TOutputStop> FLastStop;
    void AwaitLastStop();
};
