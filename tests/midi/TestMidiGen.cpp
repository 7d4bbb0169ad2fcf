#include "midi/MidiGen.h"
#include "platform/midiout/CaptureDevice.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

using namespace MidiOut;

namespace {

QCoreApplication &App()
{
    static int argc = 1;
    static char name[] = "TestMidiGen";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

struct TEvent
{
    uint64_t tick;
    uint32_t word;
    bool operator==(const TEvent &other) const = default;
};

std::ostream &operator<<(std::ostream &out, const TEvent &e)
{
    return out << "{" << e.tick << ",0x" << std::hex << e.word << std::dec << "}";
}

// The controller block of a play on channel 1 with every setting at its default.
const std::vector<uint32_t> DefaultHeader = {0x0079B0, 0x0079B9, 0x0064B0, 0x0065B0, 0x0C06B0,
                                             0x7F64B0, 0x7F65B0, 0x400AB0, 0x400AB9, 0x0001B0,
                                             0x7F07B0, 0x7F07B9, 0x0040B0, 0x005BB0, 0x005DB0};

class MidiGenTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        App();
        device = std::make_shared<TCaptureDevice>();
        SetDevices({device});
        gen = std::make_unique<TMidiGen>();
        gen->SetReportTimeout(2000);
    }
    void TearDown() override
    {
        gen.reset();
        ResetDevices();
    }

    // Delivers the reports and moves the virtual clock event by event until the stream closes.
    bool RunUntilClosed(int maxSteps = 20000)
    {
        for (int i = 0; i < maxSteps; ++i) {
            QCoreApplication::sendPostedEvents();
            if (!gen->IsPlaying())
                return true;
            device->Step();
        }
        return false;
    }

    std::vector<TEvent> Events() const
    {
        std::vector<TEvent> out;
        for (const auto &e : device->Events())
            out.push_back({e.tick, e.message});
        return out;
    }

    // The events after the controller block of the first pass.
    std::vector<TEvent> Body() const
    {
        std::vector<TEvent> all = Events();
        return all.size() > 15 ? std::vector<TEvent>(all.begin() + 15, all.end()) : std::vector<TEvent>();
    }

    std::shared_ptr<TCaptureDevice> device;
    std::unique_ptr<TMidiGen> gen;
};

} // namespace

TEST_F(MidiGenTest, PlayNoteSendsControllersProgramAndNote)
{
    ASSERT_TRUE(gen->PlayNote(48));
    EXPECT_FALSE(gen->IsReady());
    ASSERT_TRUE(RunUntilClosed());
    std::vector<TEvent> expected;
    for (uint32_t word : DefaultHeader)
        expected.push_back({0, word});
    expected.push_back({0, 0x0000C0});
    expected.push_back({0, 0x7F3090});
    expected.push_back({50, 0x003090});
    EXPECT_EQ(Events(), expected);
    EXPECT_EQ(device->Reports(), (std::vector<uint32_t>{MM_MOM_OPEN, MM_MOM_POSITIONCB, MM_MOM_DONE, MM_MOM_CLOSE}));
    EXPECT_TRUE(gen->IsReady());
    EXPECT_FALSE(gen->IsPlaying());
    EXPECT_FALSE(device->IsOpen());
    EXPECT_EQ(TMidiGen::OwnerId(), gen->InstanceId());
}

TEST_F(MidiGenTest, ControllersFollowTheProperties)
{
    const struct
    {
        int pan, volume, modulation, reverb, chorus;
        bool sustain;
        uint32_t panWord, volumeWord, modulationWord, reverbWord, chorusWord, sustainWord;
    } cases[] = {
        {-100, 70, 50, 100, 1, true, 0x010AB0, 0x5807B0, 0x3F01B0, 0x7F5BB0, 0x015DB0, 0x7F40B0},
        {0, 100, 0, 0, 0, false, 0x400AB0, 0x7F07B0, 0x0001B0, 0x005BB0, 0x005DB0, 0x0040B0},
        {100, 0, 100, 50, 99, false, 0x7F0AB0, 0x0007B0, 0x7F01B0, 0x3F5BB0, 0x7D5DB0, 0x0040B0},
        {-1, 1, 1, 1, 1, false, 0x400AB0, 0x0107B0, 0x0101B0, 0x015BB0, 0x015DB0, 0x0040B0},
    };
    for (const auto &c : cases) {
        device->Clear();
        gen->SetPan(c.pan);
        gen->SetVolume(c.volume);
        gen->SetModulation(c.modulation);
        gen->SetReverb(c.reverb);
        gen->SetChorus(c.chorus);
        gen->SetSustain(c.sustain);
        ASSERT_TRUE(gen->PlayNote(60));
        ASSERT_TRUE(RunUntilClosed());
        const std::vector<TEvent> events = Events();
        ASSERT_GE(events.size(), 15u);
        EXPECT_EQ(events[7].word, c.panWord) << c.pan;
        EXPECT_EQ(events[8].word, c.panWord | 0x09) << c.pan;
        EXPECT_EQ(events[9].word, c.modulationWord);
        EXPECT_EQ(events[10].word, c.volumeWord) << c.volume;
        EXPECT_EQ(events[11].word, c.volumeWord | 0x09) << c.volume;
        EXPECT_EQ(events[12].word, c.sustainWord);
        EXPECT_EQ(events[13].word, c.reverbWord);
        EXPECT_EQ(events[14].word, c.chorusWord);
    }
}

TEST_F(MidiGenTest, SettersClampToTheirRanges)
{
    gen->SetVolume(101);
    EXPECT_EQ(gen->Volume(), 100);
    gen->SetVolume(-5);
    EXPECT_EQ(gen->Volume(), 0);
    gen->SetPan(-101);
    EXPECT_EQ(gen->Pan(), -100);
    gen->SetPitchBend(500);
    EXPECT_EQ(gen->PitchBend(), 120);
    gen->SetPitchBend(-121);
    EXPECT_EQ(gen->PitchBend(), -120);
    gen->SetOctave(11);
    EXPECT_EQ(gen->Octave(), 10);
    gen->SetNote(12);
    EXPECT_EQ(gen->Note(), int(mgB));
    gen->SetInstrument(175);
    EXPECT_EQ(gen->Instrument(), int(mgOpenTriangle));
    gen->SetChannel(16);
    EXPECT_EQ(gen->Channel(), int(mgCh16));
    gen->SetPBDelay(101);
    EXPECT_EQ(gen->PBDelay(), 100);
    gen->SetPBDuration(-1);
    EXPECT_EQ(gen->PBDuration(), 0);

    // PlayNote clamps its note; Play plays Note + 12 * Octave.
    gen->SetChannel(mgCh01);
    gen->SetInstrument(mgAcousticGrandPiano);
    ASSERT_TRUE(gen->PlayNote(300));
    ASSERT_TRUE(RunUntilClosed());
    ASSERT_GE(Body().size(), 2u);
    EXPECT_EQ(Body()[1].word, 0x7F7F90u);
    device->Clear();
    gen->SetNote(mgA);
    gen->SetOctave(4);
    gen->SetInstrument(mgAcousticNylonGuitar);
    ASSERT_TRUE(gen->Play());
    ASSERT_TRUE(RunUntilClosed());
    EXPECT_EQ(Body(), (std::vector<TEvent>{{0, 0x0018C0}, {0, 0x7F3990}, {50, 0x003990}}));
}

TEST_F(MidiGenTest, PercussionAndChannel10)
{
    // A percussion instrument on channel 1: program 127 and key 35 on channel 10, whatever the note.
    gen->SetInstrument(mgAcousticBassDrum);
    ASSERT_TRUE(gen->PlayNote(70));
    ASSERT_TRUE(RunUntilClosed());
    EXPECT_EQ(Body(), (std::vector<TEvent>{{0, 0x007FC9}, {0, 0x7F2399}, {50, 0x002399}}));

    // On channel 10 itself the note plays as written after a program change the player adds.
    device->Clear();
    gen->SetInstrument(mgAcousticGrandPiano);
    gen->SetChannel(mgCh10);
    ASSERT_TRUE(gen->PlayNote(48));
    ASSERT_TRUE(RunUntilClosed());
    EXPECT_EQ(Body(), (std::vector<TEvent>{{0, 0x0000C9}, {0, 0x7F3099}, {50, 0x003099}}));

    // A note string on channel 1 with a percussion program change.
    device->Clear();
    gen->SetChannel(mgCh01);
    ASSERT_TRUE(gen->PlayString(QStringLiteral("I128,C4")));
    ASSERT_TRUE(RunUntilClosed());
    EXPECT_EQ(Body(), (std::vector<TEvent>{{0, 0x007FC9}, {0, 0x7F2399}, {50, 0x002399}}));
}

TEST_F(MidiGenTest, PitchBendRisesInStepsBeforeTheNoteOff)
{
    gen->SetPitchBend(60);
    gen->SetPBDelay(50);
    gen->SetPBDuration(100);
    gen->SetDuration(50);
    ASSERT_TRUE(gen->PlayNote(48));
    ASSERT_TRUE(RunUntilClosed());
    std::vector<TEvent> expected = {{0, 0x0000C0}, {0, 0x7F3090}};
    for (uint32_t k = 1; k <= 25; ++k) {
        const uint32_t value = 8192 + k * 163;
        expected.push_back({25 + k, 0xE0 | (value & 0x7F) << 8 | ((value >> 7) & 0x7F) << 16});
    }
    expected.push_back({100, 0x003090});
    EXPECT_EQ(Body(), expected);
    EXPECT_EQ(expected[2].word, 0x4123E0u); // 8355
    EXPECT_EQ(expected[26].word, 0x5F6BE0u); // 12267

    // A strummed chord is no single chord: no bend.
    device->Clear();
    ASSERT_TRUE(gen->PlayString(QStringLiteral("C4,5,E4")));
    ASSERT_TRUE(RunUntilClosed());
    for (const TEvent &e : Events())
        EXPECT_NE(e.word & 0xF0, 0xE0u);

    // Full bend down ends at 1.
    device->Clear();
    gen->SetPitchBend(-120);
    gen->SetPBDelay(0);
    gen->SetDuration(1);
    ASSERT_TRUE(gen->PlayNote(48));
    ASSERT_TRUE(RunUntilClosed());
    EXPECT_EQ(Body(), (std::vector<TEvent>{{0, 0x0000C0}, {0, 0x7F3090}, {1, 0x0001E0}, {2, 0x003090}}));
}

TEST_F(MidiGenTest, ABendOfMoreStepsThanTheWheelHoldsIsLeftOut)
{
    gen->SetPitchBend(120);
    gen->SetPBDelay(0);
    gen->SetPBDuration(100);
    // 8191 steps still bend (the buffer holds only the first of them); one more does not.
    const struct { uint32_t duration; bool bent; } cases[] = {{8191, true}, {8192, false}};
    for (const auto &c : cases) {
        device->Clear();
        gen->SetDuration(c.duration);
        ASSERT_TRUE(gen->PlayNote(48));
        ASSERT_TRUE(RunUntilClosed());
        size_t bends = 0;
        for (const TEvent &e : Events())
            bends += (e.word & 0xF0) == 0xE0;
        EXPECT_EQ(bends > 0, c.bent) << c.duration;
    }
}

TEST_F(MidiGenTest, LoopsPlayBackToBack)
{
    gen->SetLoops(3);
    ASSERT_TRUE(gen->PlayNote(48));
    ASSERT_TRUE(RunUntilClosed());
    std::vector<uint64_t> noteOns;
    std::vector<uint64_t> headers;
    for (const TEvent &e : Events()) {
        if (e.word == 0x7F3090)
            noteOns.push_back(e.tick);
        if (e.word == 0x0079B0)
            headers.push_back(e.tick);
    }
    EXPECT_EQ(noteOns, (std::vector<uint64_t>{0, 50, 100}));
    EXPECT_EQ(headers, (std::vector<uint64_t>{0, 50, 100}));
    EXPECT_EQ(device->Reports(),
              (std::vector<uint32_t>{MM_MOM_OPEN, MM_MOM_POSITIONCB, MM_MOM_DONE, MM_MOM_POSITIONCB, MM_MOM_DONE,
                                     MM_MOM_POSITIONCB, MM_MOM_DONE, MM_MOM_CLOSE}));
}

TEST_F(MidiGenTest, EndlessLoopsRunUntilStop)
{
    gen->SetLoops(0);
    ASSERT_TRUE(gen->PlayNote(48));
    for (int pass = 0; pass < 5 * 18; ++pass) {
        QCoreApplication::sendPostedEvents();
        device->Step();
    }
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(gen->IsPlaying());
    gen->Stop();
    ASSERT_TRUE(RunUntilClosed(10));
    int passes = 0;
    for (const TEvent &e : Events())
        passes += e.word == 0x0079B0;
    EXPECT_GE(passes, 5);
    EXPECT_EQ(device->Reports().back(), MM_MOM_CLOSE);

    // Stop before the first event has sounded leaves the pass running to its end.
    device->Clear();
    ASSERT_TRUE(gen->PlayNote(48));
    QCoreApplication::sendPostedEvents();
    gen->Stop();
    ASSERT_TRUE(RunUntilClosed());
    EXPECT_EQ(Events().size(), 18u);
    EXPECT_EQ(Events().back(), (TEvent{50, 0x003090}));
}

TEST_F(MidiGenTest, PlaysAreRefusedUntilTheFirstEventSounds)
{
    ASSERT_TRUE(gen->PlayNote(48));
    EXPECT_FALSE(gen->PlayNote(50));
    EXPECT_FALSE(gen->PlayString(QStringLiteral("C4")));
    device->Step();
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(gen->IsReady());
    // A new play ends the running one through its done report and starts afresh.
    ASSERT_TRUE(gen->PlayNote(52));
    ASSERT_TRUE(RunUntilClosed());
    EXPECT_EQ(device->Reports(), (std::vector<uint32_t>{MM_MOM_OPEN, MM_MOM_POSITIONCB, MM_MOM_DONE, MM_MOM_CLOSE,
                                                         MM_MOM_OPEN, MM_MOM_POSITIONCB, MM_MOM_DONE, MM_MOM_CLOSE}));
    EXPECT_EQ(Events().back().word, 0x003490u);
}

TEST_F(MidiGenTest, FailedPlaysLeaveTheGeneratorReady)
{
    EXPECT_FALSE(gen->PlayString(QStringLiteral("H4,E#4")));
    EXPECT_TRUE(gen->IsReady());
    EXPECT_FALSE(gen->PlayString(QString()));
    EXPECT_TRUE(gen->IsReady());
    EXPECT_TRUE(device->Events().empty());

    device->SetUnavailable(true);
    EXPECT_FALSE(gen->MidiAvailable());
    EXPECT_FALSE(gen->PlayNote(48));
    EXPECT_TRUE(gen->IsReady());
    device->SetUnavailable(false);
    EXPECT_TRUE(gen->MidiAvailable());

    // Another instance owns the device while this one lives; its end frees it.
    ASSERT_TRUE(gen->PlayNote(48));
    ASSERT_TRUE(RunUntilClosed());
    TMidiGen other;
    EXPECT_FALSE(other.PlayNote(48));
    EXPECT_TRUE(other.IsReady());
    gen.reset();
    EXPECT_EQ(TMidiGen::OwnerId(), 0);
    EXPECT_TRUE(other.PlayNote(48));
    for (int i = 0; i < 100 && other.IsPlaying(); ++i) {
        QCoreApplication::sendPostedEvents();
        device->Step();
    }
    EXPECT_FALSE(other.IsPlaying());
}

TEST_F(MidiGenTest, DestroyingWhilePlayingClosesTheDevice)
{
    gen->SetLoops(0);
    ASSERT_TRUE(gen->PlayNote(48));
    device->Step();
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(device->IsOpen());
    gen.reset();
    EXPECT_FALSE(device->IsOpen());
    EXPECT_EQ(TMidiGen::OwnerId(), 0);
    QCoreApplication::sendPostedEvents();
}

TEST_F(MidiGenTest, DeviceChoice)
{
    EXPECT_TRUE(gen->SetDevice(-1));
    EXPECT_TRUE(gen->SetDevice(0));
    EXPECT_FALSE(gen->SetDevice(1));
    EXPECT_EQ(gen->Device(), 1);
    EXPECT_FALSE(gen->MidiAvailable());
    EXPECT_FALSE(gen->PlayNote(48));
    SetDevices({});
    EXPECT_FALSE(gen->SetDevice(-1));
    EXPECT_EQ(gen->Device(), -1);
}

TEST_F(MidiGenTest, EventsBeyondTheBufferAreDropped)
{
    QString text;
    for (int i = 0; i < 3000; ++i)
        text += QStringLiteral("1;C4;1,");
    ASSERT_TRUE(gen->PlayString(text));
    ASSERT_TRUE(RunUntilClosed());
    const std::vector<TEvent> events = Events();
    EXPECT_EQ(events.size(), 5461u);
    // 15 controllers, the program change, then note pairs; the last kept one is an on.
    EXPECT_EQ(events.back().word, 0x7F3090u);
    EXPECT_EQ(events.back().tick, 2723u);
}

TEST_F(MidiGenTest, StopBeforeTheOpenReportEndsThePassAndAPlayAfterItSounds)
{
    gen->SetLoops(0);
    // The stop is handled while the play waits for the device's open report.
    QMetaObject::invokeMethod(gen.get(), [this] { gen->Stop(); }, Qt::QueuedConnection);
    ASSERT_TRUE(gen->PlayNote(48));
    ASSERT_TRUE(RunUntilClosed());
    EXPECT_TRUE(gen->IsReady());
    EXPECT_EQ(Events().back(), (TEvent{50, 0x003090}));

    // A string lowered at once: stop and a new note while the first is still starting.
    device->Clear();
    QMetaObject::invokeMethod(
        gen.get(),
        [this] {
            gen->Stop();
            gen->SetLoops(1);
            EXPECT_TRUE(gen->PlayNote(47));
        },
        Qt::QueuedConnection);
    ASSERT_TRUE(gen->PlayNote(48));
    ASSERT_TRUE(RunUntilClosed());
    EXPECT_TRUE(gen->IsReady());
    EXPECT_EQ(Events().back().word, 0x002F90u);
}

// A handler run while a play waits for the device may set the generator up for the next play (the
// tuner's endless note); the play under way keeps what it was asked with.
TEST_F(MidiGenTest, APlayKeepsTheLoopsAndLengthItWasAskedWith)
{
    const struct
    {
        const char *wait;
        bool previousStream;
    } cases[] = {
        {"for the open report", false},
        {"for the previous stream to close", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.wait);
        if (c.previousStream) {
            gen->SetLoops(0);
            ASSERT_TRUE(gen->PlayNote(40));
            device->Step();
            QCoreApplication::sendPostedEvents();
            ASSERT_TRUE(gen->IsReady());
        }
        device->Clear();
        gen->SetLoops(1);
        gen->SetDuration(200);
        QMetaObject::invokeMethod(
            gen.get(),
            [this] {
                gen->SetLoops(0);
                gen->SetDuration(10);
            },
            Qt::QueuedConnection);
        ASSERT_TRUE(gen->PlayString(QStringLiteral("C4")));
        ASSERT_TRUE(RunUntilClosed(200));
        const std::vector<TEvent> body = Body();
        ASSERT_FALSE(body.empty());
        EXPECT_EQ(body.back(), (TEvent{200, 0x003090}));
    }
}

// Calls a handler in the event loop right after a chosen report of the stream has been handled.
class THookedDevice : public TCaptureDevice
{
public:
    uint32_t hookReport = 0;
    std::function<void()> hook;
    void Reported(uint32_t message, uint64_t tick) override
    {
        TCaptureDevice::Reported(message, tick);
        if (message != hookReport || !hook)
            return;
        // Queued twice: the report itself is queued after the first call.
        QTimer::singleShot(0, [run = std::exchange(hook, nullptr)] { QTimer::singleShot(0, run); });
    }
};

TEST_F(MidiGenTest, APlayAskedForWhileAnotherTakesTheDeviceIsRefusedAndLeavesNoStreamOpen)
{
    const struct
    {
        const char *running;
        uint32_t loops;
        uint32_t duration;
        int steps;           // events sounded before the new play
        bool reportsHandled; // false: the last one's report still waits
        uint32_t askAfter;   // the report of the running stream after which a second play is asked for
    } cases[] = {
        {"a chord, closed by the new play", 1, 200, 1, true, MM_MOM_CLOSE},
        {"a tuner note that began its next pass", 0, 2, 3, false, MM_MOM_DONE},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.running);
        auto hooked = std::make_shared<THookedDevice>();
        SetDevices({hooked});
        device = hooked;
        gen->SetLoops(c.loops);
        gen->SetDuration(c.duration);
        ASSERT_TRUE(gen->PlayNote(48));
        for (int i = 0; i < c.steps; ++i) {
            QCoreApplication::sendPostedEvents();
            hooked->Step();
        }
        if (c.reportsHandled)
            QCoreApplication::sendPostedEvents();
        ASSERT_TRUE(gen->IsReady());
        int second = -1;
        hooked->hookReport = c.askAfter;
        hooked->hook = [this, &second] { second = gen->PlayNote(52); };
        gen->SetLoops(1);
        ASSERT_TRUE(gen->PlayNote(50));
        for (int i = 0; i < 100 && second < 0; ++i)
            QCoreApplication::processEvents();
        EXPECT_EQ(second, 0);
        ASSERT_TRUE(RunUntilClosed());
        QCoreApplication::sendPostedEvents();
        EXPECT_FALSE(hooked->IsOpen());
        EXPECT_TRUE(gen->IsReady());
        EXPECT_EQ(Events().back().word, 0x003290u);
    }
}

TEST_F(MidiGenTest, APlayWhileTheProgramQuitsStillGetsItsReports)
{
    gen->SetLoops(0);
    ASSERT_TRUE(gen->PlayNote(48));
    device->Step();
    QCoreApplication::sendPostedEvents();
    // A new play waits for the running stream to close while the program is ending.
    bool played = false;
    QTimer::singleShot(0, gen.get(), [this, &played] {
        QCoreApplication::quit();
        played = gen->PlayNote(50);
    });
    QCoreApplication::exec();
    EXPECT_TRUE(played);
    EXPECT_TRUE(gen->IsPlaying());
}
