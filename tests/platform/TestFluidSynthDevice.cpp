#include "app/core/PlayNotes.h"
#include "midi/MidiGen.h"
#include "platform/midiout/FluidSynthDevice.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>

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

// A sound server of the test's own, on a socket in a private folder, that can be killed and started
// again; pactl asks it what it plays.
class TSoundServer
{
public:
    explicit TSoundServer(const QString &folder) : FFolder(folder)
    {
        FEnvironment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "PULSE_RUNTIME_PATH", "PULSE_STATE_PATH"})
            FEnvironment.insert(QString::fromLatin1(name), folder);
        FEnvironment.insert(QStringLiteral("PULSE_SERVER"), Address());
    }
    ~TSoundServer() { Kill(); }

    QString Address() const { return QStringLiteral("unix:") + FFolder + QStringLiteral("/native"); }

    bool Start()
    {
        FServer.setProcessEnvironment(FEnvironment);
        FServer.start(QStringLiteral("pulseaudio"),
                      {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                       QStringLiteral("--use-pid-file=no"), QStringLiteral("-L"), QStringLiteral("module-null-sink"),
                       QStringLiteral("-L"),
                       QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + FFolder +
                           QStringLiteral("/native")});
        if (!FServer.waitForStarted(10000))
            return false;
        for (QDeadlineTimer deadline(10000); !deadline.hasExpired(); QThread::msleep(20))
            if (Pactl(QStringLiteral("info")))
                return true;
        return false;
    }

    void Kill()
    {
        if (FServer.state() == QProcess::NotRunning)
            return;
        FServer.kill();
        FServer.waitForFinished(10000);
    }

    // Lines of `pactl list short sink-inputs`: the streams the server plays.
    int Streams()
    {
        QByteArray out;
        if (!Pactl(QStringLiteral("list"), &out))
            return -1;
        return int(out.trimmed().isEmpty() ? 0 : out.trimmed().count('\n') + 1);
    }

private:
    bool Pactl(const QString &command, QByteArray *out = nullptr)
    {
        QProcess pactl;
        pactl.setProcessEnvironment(FEnvironment);
        QStringList arguments{command};
        if (command == QStringLiteral("list"))
            arguments << QStringLiteral("short") << QStringLiteral("sink-inputs");
        pactl.start(QStringLiteral("pactl"), arguments);
        if (!pactl.waitForFinished(10000) || pactl.exitStatus() != QProcess::NormalExit || pactl.exitCode() != 0)
            return false;
        if (out)
            *out = pactl.readAllStandardOutput();
        return true;
    }

    const QString FFolder;
    QProcessEnvironment FEnvironment;
    QProcess FServer;
};

} // namespace

// A sound server of the test's own, which the synthesizer's output plays to.
struct FluidSynthOnASoundServer : ::testing::Test
{
    QTemporaryDir folder;
    std::optional<TSoundServer> server;

    void SetUp() override
    {
        if (!QFileInfo::exists(SmallFont))
            GTEST_SKIP() << "timgm6mb-soundfont is not installed";
        if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty())
            GTEST_SKIP() << "pulseaudio and pactl are not installed";
        App();
        ASSERT_TRUE(folder.isValid());
        server.emplace(folder.path());
        ASSERT_TRUE(server->Start());
        qputenv("PULSE_SERVER", server->Address().toLocal8Bit());
    }

    void TearDown() override { qunsetenv("PULSE_SERVER"); }
};

TEST_F(FluidSynthOnASoundServer, SoundComesBackAfterTheSoundServerRestarts)
{
    TSoundServer &server = *this->server;
    {
        TFluidSynthDevice::TOptions options;
        options.soundFonts = {SmallFont};
        options.audioDrivers = {QStringLiteral("pulseaudio")};
        TFluidSynthDevice synth(options);
        ASSERT_TRUE(synth.Open()) << qPrintable(synth.LastError());
        synth.Close();
        EXPECT_EQ(server.Streams(), 1);

        server.Kill();
        ASSERT_TRUE(server.Start());
        // The old output notices the loss at its next write, a few milliseconds on.
        int streams = 0;
        for (QDeadlineTimer deadline(10000); streams < 1 && !deadline.hasExpired(); QThread::msleep(20)) {
            ASSERT_TRUE(synth.Open()) << qPrintable(synth.LastError());
            synth.Close();
            streams = server.Streams();
        }
        EXPECT_EQ(streams, 1) << "a play after the restart has no stream on the new server";
    }
}

TEST_F(FluidSynthOnASoundServer, TheAudioOutputStopsWhileNothingPlaysAndComesBackForTheNextPlay)
{
    TSoundServer &server = *this->server;
    {
        TFluidSynthDevice::TOptions options;
        options.soundFonts = {SmallFont};
        options.audioDrivers = {QStringLiteral("pulseaudio")};
        options.idleStopMs = 100;
        TFluidSynthDevice synth(options);
        for (int play = 1; play <= 2; ++play) {
            ASSERT_TRUE(synth.Open()) << qPrintable(synth.LastError());
            EXPECT_EQ(server.Streams(), 1) << "play " << play;
            synth.Close();
            int streams = 1;
            for (QDeadlineTimer deadline(10000); streams != 0 && !deadline.hasExpired(); QThread::msleep(20))
                streams = server.Streams();
            EXPECT_EQ(streams, 0) << "play " << play << ": the output still renders silence";
        }
    }
}

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
