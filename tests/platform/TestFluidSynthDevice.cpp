#include "app/core/PlayNotes.h"
#include "midi/MidiGen.h"
#include "platform/midiout/FluidSynthDevice.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cmath>
#include <gtest/gtest.h>

namespace {

QCoreApplication &App()
{
    static int argc = 1;
    static char name[] = "TestFluidSynthDevice";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

const QString SmallFont = QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2");

double Rms(const std::vector<float> &left, const std::vector<float> &right, size_t from, size_t to)
{
    double sum = 0;
    for (size_t i = from; i < to; ++i)
        sum += double(left[i]) * left[i] + double(right[i]) * right[i];
    return std::sqrt(sum / double(2 * (to - from)));
}

// The small soundfont rendered offline, installed as the only device.
std::shared_ptr<TFluidSynthDevice> OfflineSynth()
{
    App();
    TFluidSynthDevice::TOptions options;
    options.soundFonts = {SmallFont};
    options.offline = true;
    auto synth = std::make_shared<TFluidSynthDevice>(options);
    MidiOut::SetDevices({synth});
    return synth;
}

} // namespace

TEST(FluidSynthDevice, PlayedChordSoundsWhileHeldAndFallsSilentAfter)
{
    if (!QFileInfo::exists(SmallFont))
        GTEST_SKIP() << "timgm6mb-soundfont is not installed";
    auto synth = OfflineSynth();

    {
        TMidiGen gen;
        gen.SetInstrument(mgAcousticNylonGuitar);
        gen.SetVolume(70);
        gen.SetDuration(50); // half a second
        const QString notes = PlayNotes::ChordNoteString(QStringLiteral("E3,H3,E4,G#4,H4,E5,"), 0, 5);
        ASSERT_TRUE(gen.PlayString(notes));

        constexpr int Rate = 44100;
        constexpr int Chunk = Rate / 100; // 10 ms, one tick
        constexpr int Seconds = 4;
        std::vector<float> left(Rate * Seconds), right(Rate * Seconds);
        for (int done = 0; done < Rate * Seconds; done += Chunk) {
            synth->Render(left.data() + done, right.data() + done, Chunk);
            QCoreApplication::sendPostedEvents();
        }
        EXPECT_FALSE(gen.IsPlaying());
        EXPECT_TRUE(gen.IsReady());

        // The last string starts at 250 ms and every note ends 500 ms after its start (750 ms).
        const double held = Rms(left, right, Rate * 3 / 10, Rate * 7 / 10);
        const double tail = Rms(left, right, Rate * 35 / 10, Rate * 4);
        EXPECT_GT(held, 0.01) << "held " << held;
        EXPECT_LT(tail, 0.0005) << "tail " << tail;
        float peak = 0;
        for (size_t i = 0; i < left.size(); ++i)
            peak = std::max({peak, std::fabs(left[i]), std::fabs(right[i])});
        EXPECT_LT(peak, 1.0f) << "a chord at the default volume must not clip";
    }
    MidiOut::ResetDevices();
}

TEST(FluidSynthDevice, MissingDrumKitFallsBackToTheStandardKit)
{
    if (!QFileInfo::exists(SmallFont))
        GTEST_SKIP() << "timgm6mb-soundfont is not installed";
    auto synth = OfflineSynth();
    {
        // A percussion instrument selects program 127 on channel 10, which the soundfont lacks.
        TMidiGen gen;
        gen.SetInstrument(mgAcousticSnare);
        gen.SetDuration(20);
        ASSERT_TRUE(gen.PlayNote(60));
        constexpr int Rate = 44100;
        std::vector<float> left(Rate / 2), right(Rate / 2);
        for (int done = 0; done < Rate / 2; done += 441) {
            synth->Render(left.data() + done, right.data() + done, 441);
            QCoreApplication::sendPostedEvents();
        }
        EXPECT_GT(Rms(left, right, 0, Rate / 5), 0.001);
    }
    MidiOut::ResetDevices();
}
