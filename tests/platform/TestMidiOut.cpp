#include "TestSupport.h"
#include "platform/midiout/AlsaSeqDevice.h"
#include "platform/midiout/CaptureDevice.h"
#include "platform/midiout/FluidSynthDevice.h"
#include "platform/midiout/MidiOut.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace MidiOut;

namespace {

QCoreApplication &App()
{
    static int argc = 1;
    static char name[] = "TestMidiOut";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

struct TReport
{
    uint32_t message;
    MIDIHDR *header;
    bool operator==(const TReport &other) const = default;
};

class MidiOutTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        App();
        device = std::make_shared<TCaptureDevice>(QStringLiteral("A capture device with a long name"));
        SetDevices({device});
        receiver = std::make_unique<QObject>();
    }
    void TearDown() override { ResetDevices(); }

    HMIDISTRM Open()
    {
        HMIDISTRM handle = 0;
        int32_t id = -1;
        EXPECT_EQ(midiStreamOpen(&handle, &id, 1, receiver.get(),
                                 [this](uint32_t message, HMIDISTRM, uintptr_t instance, MIDIHDR *header) {
                                     EXPECT_EQ(instance, 77u);
                                     reports.push_back({message, header});
                                 },
                                 77),
                  MMSYSERR_NOERROR);
        return handle;
    }

    static void Fill(std::vector<MIDIEVENT> &events, MIDIHDR &header)
    {
        header = MIDIHDR();
        header.lpData = reinterpret_cast<char *>(events.data());
        header.dwBufferLength = header.dwBytesRecorded = uint32_t(events.size() * sizeof(MIDIEVENT));
    }

    std::shared_ptr<TCaptureDevice> device;
    std::unique_ptr<QObject> receiver;
    std::vector<TReport> reports;
};

} // namespace

TEST_F(MidiOutTest, DeviceListAndCapabilities)
{
    EXPECT_EQ(midiOutGetNumDevs(), 1u);
    MIDIOUTCAPSW caps;
    ASSERT_EQ(midiOutGetDevCapsW(-1, &caps), MMSYSERR_NOERROR);
    EXPECT_EQ(QString::fromUtf16(caps.szPname), QStringLiteral("A capture device with a long na"));
    EXPECT_EQ(midiOutGetDevCapsW(1, &caps), MMSYSERR_BADDEVICEID);
    HMIDIOUT out = 0;
    ASSERT_EQ(midiOutOpen(&out, 0), MMSYSERR_NOERROR);
    EXPECT_TRUE(device->IsOpen());
    EXPECT_EQ(midiOutClose(out), MMSYSERR_NOERROR);
    EXPECT_FALSE(device->IsOpen());
    EXPECT_EQ(midiOutClose(out), MMSYSERR_INVALHANDLE);
    device->SetUnavailable(true);
    EXPECT_NE(midiOutOpen(&out, -1), MMSYSERR_NOERROR);
    SetDevices({});
    EXPECT_EQ(midiOutGetNumDevs(), 0u);
    EXPECT_EQ(midiOutOpen(&out, -1), MMSYSERR_BADDEVICEID);
}

TEST_F(MidiOutTest, StreamOpensPausedAtTheDefaultTempo)
{
    const HMIDISTRM handle = Open();
    MIDIPROPTEMPO tempo{8, 0};
    ASSERT_EQ(midiStreamProperty(handle, &tempo, MIDIPROP_GET | MIDIPROP_TEMPO), MMSYSERR_NOERROR);
    EXPECT_EQ(tempo.dwTempo, 500000u);
    MIDIPROPTIMEDIV division{8, 50};
    ASSERT_EQ(midiStreamProperty(handle, &division, MIDIPROP_SET | MIDIPROP_TIMEDIV), MMSYSERR_NOERROR);
    division.dwTimeDiv = 0;
    ASSERT_EQ(midiStreamProperty(handle, &division, MIDIPROP_GET | MIDIPROP_TIMEDIV), MMSYSERR_NOERROR);
    EXPECT_EQ(division.dwTimeDiv, 50u);
    MIDIPROPTIMEDIV bad{4, 50};
    EXPECT_EQ(midiStreamProperty(handle, &bad, MIDIPROP_SET | MIDIPROP_TIMEDIV), MMSYSERR_INVALPARAM);

    std::vector<MIDIEVENT> events = {{0, 0, 0x7F3090}, {7, 0, 0x003090}};
    MIDIHDR header;
    Fill(events, header);
    EXPECT_EQ(midiStreamOut(handle, &header, sizeof header), MIDIERR_UNPREPARED);
    ASSERT_EQ(midiOutPrepareHeader(handle, &header, sizeof header), MMSYSERR_NOERROR);
    ASSERT_EQ(midiStreamOut(handle, &header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutUnprepareHeader(handle, &header, sizeof header), MIDIERR_STILLPLAYING);
    // Paused: the clock may run, nothing sounds.
    device->AdvanceClockUs(1000000);
    EXPECT_TRUE(device->Events().empty());
    ASSERT_EQ(midiStreamRestart(handle), MMSYSERR_NOERROR);
    // 7 ticks of 10 ms: the off is due 70 ms after the on.
    EXPECT_EQ(device->MicrosecondsToNextEvent(), 0);
    device->AdvanceClockUs(0);
    EXPECT_EQ(device->MicrosecondsToNextEvent(), 70000);
    device->AdvanceClockUs(69999);
    EXPECT_EQ(device->Events().size(), 1u);
    device->AdvanceClockUs(1);
    ASSERT_EQ(device->Events().size(), 2u);
    EXPECT_EQ(device->Events()[1].tick, 7u);
    EXPECT_TRUE(header.dwFlags & MHDR_DONE);
    ASSERT_EQ(midiOutUnprepareHeader(handle, &header, sizeof header), MMSYSERR_NOERROR);
    ASSERT_EQ(midiStreamClose(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(midiStreamClose(handle), MMSYSERR_INVALHANDLE);
    EXPECT_TRUE(reports.empty()); // reports arrive through the event queue only
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(reports, (std::vector<TReport>{{MM_MOM_OPEN, nullptr}, {MM_MOM_DONE, &header}, {MM_MOM_CLOSE, nullptr}}));
}

TEST_F(MidiOutTest, QueuedBuffersPlayBackToBackAndStopReturnsThemInOrder)
{
    const HMIDISTRM handle = Open();
    std::vector<MIDIEVENT> first = {{0, 0, 0x7F3090 | MEVT_F_CALLBACK}, {5, 0, 0x003090}};
    std::vector<MIDIEVENT> second = {{0, 0, 0x7F3290}, {5, 0, 0x003290}};
    std::vector<MIDIEVENT> third = {{0, 0, 0x7F3490}};
    MIDIHDR h1, h2, h3;
    Fill(first, h1);
    Fill(second, h2);
    Fill(third, h3);
    for (MIDIHDR *h : {&h1, &h2}) {
        ASSERT_EQ(midiOutPrepareHeader(handle, h, sizeof *h), MMSYSERR_NOERROR);
        ASSERT_EQ(midiStreamOut(handle, h, sizeof *h), MMSYSERR_NOERROR);
    }
    midiStreamRestart(handle);
    while (device->Step()) {
    }
    std::vector<std::pair<uint64_t, uint32_t>> heard;
    for (const auto &e : device->Events())
        heard.push_back({e.tick, e.message});
    EXPECT_EQ(heard, (std::vector<std::pair<uint64_t, uint32_t>>{
                         {0, 0x7F3090}, {5, 0x003090}, {5, 0x7F3290}, {10, 0x003290}}));

    // A buffer queued on a stream that ran dry continues where the last one ended.
    ASSERT_EQ(midiOutPrepareHeader(handle, &h3, sizeof h3), MMSYSERR_NOERROR);
    ASSERT_EQ(midiStreamOut(handle, &h3, sizeof h3), MMSYSERR_NOERROR);
    device->Step();
    EXPECT_EQ(device->Events().back().tick, 10u);

    // Stop hands back every queued buffer as done, in queue order, and releases the notes.
    device->Clear();
    h1.dwFlags &= ~MHDR_DONE;
    ASSERT_EQ(midiStreamOut(handle, &h1, sizeof h1), MMSYSERR_NOERROR);
    ASSERT_EQ(midiStreamOut(handle, &h2, sizeof h2), MMSYSERR_NOERROR);
    ASSERT_EQ(midiStreamStop(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(device->ResetCount(), 1);
    EXPECT_TRUE(device->Events().empty());
    EXPECT_EQ(device->Reports(), (std::vector<uint32_t>{MM_MOM_DONE, MM_MOM_DONE}));
    uint64_t position = 99;
    ASSERT_EQ(midiStreamPosition(handle, &position), MMSYSERR_NOERROR);
    EXPECT_EQ(position, 0u);
    ASSERT_EQ(midiStreamClose(handle), MMSYSERR_NOERROR);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(reports, (std::vector<TReport>{{MM_MOM_OPEN, nullptr},
                                             {MM_MOM_POSITIONCB, &h1},
                                             {MM_MOM_DONE, &h1},
                                             {MM_MOM_DONE, &h2},
                                             {MM_MOM_DONE, &h3},
                                             {MM_MOM_DONE, &h1},
                                             {MM_MOM_DONE, &h2},
                                             {MM_MOM_CLOSE, nullptr}}));
}

TEST_F(MidiOutTest, AStreamHeldUpGoesOnWithItsSpacingInsteadOfCatchingUp)
{
    // A strum of three strings a second apart; the clock jumps ahead as when the program was
    // stopped (or the machine stalled) after the first string.
    const struct
    {
        int64_t stallUs;
        size_t heard;
        int64_t toNextUs;
    } cases[] = {
        {500000, 1, 500000},         // before the second string: nothing changes
        {1050000, 2, 950000},        // a little late: the strum keeps its beat
        {10000000, 2, 1000000},      // held up: the second string now, the third a second later
        {3600000000LL, 2, 1000000},  // an hour
    };
    for (const auto &c : cases) {
        const HMIDISTRM handle = Open();
        MIDIPROPTIMEDIV division{8, 50};
        ASSERT_EQ(midiStreamProperty(handle, &division, MIDIPROP_SET | MIDIPROP_TIMEDIV), MMSYSERR_NOERROR);
        std::vector<MIDIEVENT> events = {{0, 0, 0x7F2890}, {100, 0, 0x7F2F90}, {100, 0, 0x7F3490}};
        MIDIHDR header;
        Fill(events, header);
        ASSERT_EQ(midiOutPrepareHeader(handle, &header, sizeof header), MMSYSERR_NOERROR);
        ASSERT_EQ(midiStreamOut(handle, &header, sizeof header), MMSYSERR_NOERROR);
        midiStreamRestart(handle);
        device->Step();
        device->AdvanceClockUs(c.stallUs);
        EXPECT_EQ(device->Events().size(), c.heard) << c.stallUs;
        EXPECT_EQ(device->MicrosecondsToNextEvent(), c.toNextUs) << c.stallUs;
        midiStreamClose(handle);
        device->Clear();
    }
    QCoreApplication::sendPostedEvents();
}

TEST_F(MidiOutTest, NoReportReachesADestroyedReceiver)
{
    const HMIDISTRM handle = Open();
    receiver.reset();
    midiStreamClose(handle);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(reports.empty());
}

TEST_F(MidiOutTest, CaptureWritesAStandardMidiFile)
{
    device->ShortMessage(0x7F3090, 0);
    device->ShortMessage(0x0005C0, 0);
    device->ShortMessage(0x003090, 200);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("heard.mid"));
    ASSERT_TRUE(device->WriteSmf(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toHex().toStdString(),
              std::string("4d546864000000060000000100324d54726b00000017"
                         "00ff510307a120"
                         "0090307f"
                         "00c005"
                         "8148903000"
                         "00ff2f00"));
    EXPECT_FALSE(device->WriteSmf(dir.filePath(QStringLiteral("missing/folder/heard.mid"))));
}

TEST(MidiDevices, SystemListStartsWithTheSynthesizer)
{
    ResetDevices();
    const TDeviceList &devices = Devices();
    ASSERT_FALSE(devices.empty());
    EXPECT_NE(dynamic_cast<TFluidSynthDevice *>(devices.front().get()), nullptr);
    for (const auto &device : devices) {
        EXPECT_LE(device->Name().size(), 31);
        EXPECT_NE(device->Name(), QStringLiteral("Midi Through Port-0"));
    }
    ResetDevices();
}

TEST(MidiDevices, SynthesizerFailsCleanlyWithoutSoundOrSoundfont)
{
    TFluidSynthDevice::TOptions noAudio;
    noAudio.soundFonts = {QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2")};
    noAudio.audioDrivers = {QStringLiteral("no-such-driver")};
    TFluidSynthDevice silent(noAudio);
    EXPECT_TRUE(silent.WaitLoaded(20000));
    EXPECT_FALSE(silent.Open());
    EXPECT_FALSE(silent.IsOpen());
    EXPECT_EQ(silent.LastError(), QStringLiteral("no audio output could be started"));
    silent.ShortMessage(0x7F3090, 0); // harmless while closed

    TFluidSynthDevice::TOptions noFont;
    noFont.soundFonts = {};
    noFont.offline = true;
    TFluidSynthDevice fontless(noFont);
    EXPECT_FALSE(fontless.Open());
    EXPECT_EQ(fontless.LastError(), QStringLiteral("no soundfont found"));

    TFluidSynthDevice::TOptions damaged;
    damaged.soundFonts = {QStringLiteral(VX_SOURCE_DIR "/CMakeLists.txt")};
    damaged.offline = true;
    TFluidSynthDevice broken(damaged);
    EXPECT_FALSE(broken.Open());
    EXPECT_EQ(broken.LastError(), QStringLiteral("no soundfont could be loaded"));

    // The buffer the audio output is asked for stays short enough for a key press to feel direct.
    EXPECT_LE(silent.BufferMilliseconds(), 12.0);
}

namespace {

// A device that sounds in real time: its stream runs on a thread of its own.
class TRealTimeDevice : public TMidiDevice
{
public:
    QString Name() const override { return QStringLiteral("Real time"); }
    void ShortMessage(uint32_t, uint64_t) override {}
    void Reset() override {}

protected:
    bool DoOpen() override { return true; }
    void DoClose() override {}
};

} // namespace

// Under a limit on processes or memory a play fails, with the device's error, instead of ending
// the program.
TEST(MidiDevices, NoThreadToSpareFailsAPlayInsteadOfEndingTheProgram)
{
    const struct
    {
        const char *name;
        std::function<bool()> fails;
    } cases[] = {
        {"a stream is refused and leaves its device closed",
         [] {
             auto device = std::make_shared<TRealTimeDevice>();
             SetDevices({device});
             HMIDISTRM handle = 0;
             int32_t id = -1;
             return midiStreamOpen(&handle, &id, 1, nullptr, {}, 0) != MMSYSERR_NOERROR && handle == 0 &&
                    !device->IsOpen();
         }},
        {"the synthesizer loads while the play waits, and says what it lacks",
         [] {
             TFluidSynthDevice::TOptions noFont;
             noFont.soundFonts = {};
             noFont.offline = true;
             TFluidSynthDevice fontless(noFont);
             return !fontless.Open() && fontless.LastError() == QStringLiteral("no soundfont found");
         }},
    };
    for (const auto &c : cases)
        EXPECT_EXIT(
            {
                TestSupport::NoThreadCanStart();
                ::_exit(c.fails() ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "")
            << c.name;
}

// The library prepares a soundfont's samples on threads of its own, and ends the program when one
// cannot start.
TEST(MidiDevices, NoThreadToSpareStillLoadsTheSoundfont)
{
    EXPECT_EXIT(
        {
            TestSupport::NoThreadCanStart();
            TFluidSynthDevice::TOptions options;
            options.soundFonts = {QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2")};
            options.offline = true;
            TFluidSynthDevice synth(options);
            ::_exit(synth.Open() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(MidiDevices, SoundfontSearchPrefersTheDefault)
{
    const QStringList fonts = TFluidSynthDevice::FindSoundFonts();
    if (!QFileInfo::exists(QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2")))
        GTEST_SKIP() << "no default soundfont installed";
    ASSERT_FALSE(fonts.isEmpty());
    EXPECT_EQ(fonts.front(), QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"));
    EXPECT_EQ(fonts.count(fonts.front()), 1);
    for (const QString &font : fonts)
        EXPECT_TRUE(font.endsWith(QLatin1String(".sf2")) || font.endsWith(QLatin1String(".sf3"))) << font.toStdString();
}

TEST(MidiDevices, SequencerPortsAreListedWhenPresent)
{
    if (!QFileInfo::exists(QStringLiteral("/dev/snd/seq")))
        GTEST_SKIP() << "no ALSA sequencer";
    for (const auto &port : TAlsaSeqDevice::Enumerate()) {
        auto *alsa = dynamic_cast<TAlsaSeqDevice *>(port.get());
        ASSERT_NE(alsa, nullptr);
        EXPECT_GT(alsa->Client(), 0);
        EXPECT_LE(alsa->Name().size(), 31);
        EXPECT_FALSE(alsa->Name().startsWith(QLatin1String("Midi Through")));
    }
}
