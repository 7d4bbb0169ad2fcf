// Time from the play command to the chord's first note-on reaching the synthesizer.
#include "app/core/PlayNotes.h"
#include "midi/MidiGen.h"
#include "platform/midiout/FluidSynthDevice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// The synthesizer without an audio output (none exists on a build machine), stamping the first
// note-on it receives.
class TStampingSynth : public TFluidSynthDevice
{
public:
    using TFluidSynthDevice::TFluidSynthDevice;
    std::atomic<int64_t> firstNoteOn{0};

    void ShortMessage(uint32_t message, uint64_t tick) override
    {
        if ((message & 0xF0) == 0x90 && (message >> 16) != 0 && firstNoteOn.load() == 0)
            firstNoteOn = Clock::now().time_since_epoch().count();
        TFluidSynthDevice::ShortMessage(message, tick);
    }

protected:
    bool DoOpen() override { return WaitLoaded(20000); }
};

void PlayToFirstNoteOn(benchmark::State &state)
{
    static int argc = 1;
    static char name[] = "BenchMidi";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    TFluidSynthDevice::TOptions options;
    auto synth = std::make_shared<TStampingSynth>(options);
    MidiOut::SetDevices({synth});
    TMidiGen gen;
    gen.SetInstrument(mgAcousticNylonGuitar);
    gen.SetDuration(200);
    const QString notes = PlayNotes::ChordNoteString(QStringLiteral("E3,H3,E4,G#4,H4,E5,"), 0, 5);
    if (!gen.MidiAvailable()) {
        state.SkipWithError("the synthesizer did not load a soundfont");
        return;
    }

    for (auto _ : state) {
        synth->firstNoteOn = 0;
        const auto start = Clock::now();
        if (!gen.PlayString(notes)) {
            state.SkipWithError("play refused");
            break;
        }
        QElapsedTimer guard;
        guard.start();
        while (synth->firstNoteOn.load() == 0 && guard.elapsed() < 1000) {
        }
        const int64_t stamp = synth->firstNoteOn.load();
        state.SetIterationTime(std::chrono::duration<double>(Clock::time_point(Clock::duration(stamp)) - start).count());

        // End the chord before the next one.
        while (!gen.IsReady() && guard.elapsed() < 2000)
            QCoreApplication::processEvents();
        gen.Stop();
        while (gen.IsPlaying() && guard.elapsed() < 3000)
            QCoreApplication::processEvents();
    }
    state.counters["audio_buffer_ms"] = synth->BufferMilliseconds();
}

} // namespace

BENCHMARK(PlayToFirstNoteOn)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);
