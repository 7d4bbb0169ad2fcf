#pragma once
// The tone generator: plays one note, or a note string of timed notes, on a MIDI output device,
// preceded by a block of controller settings; once, a set number of times, or until stopped.
#include "midi/NoteString.h"
#include "platform/midiout/MidiOut.h"

#include <QObject>
#include <functional>
#include <vector>

enum TMGNote { mgC, mgCsharp, mgD, mgDsharp, mgE, mgF, mgFsharp, mgG, mgGsharp, mgA, mgAsharp, mgB };

enum TMGChannel {
    mgCh01, mgCh02, mgCh03, mgCh04, mgCh05, mgCh06, mgCh07, mgCh08,
    mgCh09, mgCh10, mgCh11, mgCh12, mgCh13, mgCh14, mgCh15, mgCh16
};

// The 128 General MIDI programs, then the percussion keys 35..81 (ordinal = key + 93).
enum TMGInstrument {
    mgAcousticGrandPiano = 0, mgBrightAcousticPiano, mgElectricGrandPiano, mgHonkyTonkPiano,
    mgElectricPiano1, mgElectricPiano2, mgHarpsichord, mgClavinet, mgCelesta, mgGlockenspiel, mgMusicBox,
    mgVibraphone, mgMarimba, mgXylophone, mgTubularBells, mgDulcimer, mgDrawbarOrgan, mgPercussiveOrgan,
    mgRockOrgan, mgChurchOrgan, mgReedOrgan, mgAccordion, mgHarmonica, mgTangoAccordion,
    mgAcousticNylonGuitar, mgAcousticSteelGuitar, mgJazzElectricGuitar, mgCleanElectricGuitar,
    mgMutedElectricGuitar, mgOverdrivenGuitar, mgDistortionGuitar, mgGuitarHarmonics, mgAcousticBass,
    mgFingeredElectricBass, mgPickedElectricBass, mgFretlessBass, mgSlapBass1, mgSlapBass2, mgSynthBass1,
    mgSynthBass2, mgViolin, mgViola, mgCello, mgContrabass, mgTremoloStrings, mgPizzicatoStrings,
    mgOrchestralHarp, mgTimpani, mgStringEnsemble1, mgStringEnsemble2, mgSynthStrings1, mgSynthStrings2,
    mgChoirAahs, mgVoiceOohs, mgSynthVoice, mgOrchestraHit, mgTrumpet, mgTrombone, mgTuba, mgMutedTrumpet,
    mgFrenchHorn, mgBrassSection, mgSynthBrass1, mgSynthBrass2, mgSopranoSax, mgAltoSax, mgTenorSax,
    mgBaritoneSax, mgOboe, mgEnglishHorn, mgBassoon, mgClarinet, mgPiccolo, mgFlute, mgRecorder, mgPanFlute,
    mgBlownBottle, mgShakuhachi, mgWhistle, mgOcarina, mgSquareLead, mgSawtoothLead, mgCalliopeLead,
    mgChiffLead, mgCharangLead, mgVoiceLead, mgFifthsLead, mgBassandLead, mgNewAgePad, mgWarmPad,
    mgPolySynthPad, mgChoirPad, mgBowedPad, mgMetallicPad, mgHaloPad, mgSweepPad, mgSynthFXRain,
    mgSynthFXSoundtrack, mgSynthFXCrystal, mgSynthFXAtmosphere, mgSynthFXBrightness, mgSynthFXGoblins,
    mgSynthFXEchoes, mgSynthFXSciFi, mgSitar, mgBanjo, mgShamisen, mgKoto, mgKalimba, mgBagpipe, mgFiddle,
    mgShanai, mgTinkleBell, mgAgogo, mgSteelDrums, mgWoodblock, mgTaikoDrum, mgMelodicTom, mgSynthDrum,
    mgReverseCymbal, mgGuitarFretNoise, mgBreathNoise, mgSeashore, mgBirdTweet, mgTelephoneRing,
    mgHelicopter, mgApplause, mgGunshot, mgAcousticBassDrum, mgBassDrum1, mgSideStick, mgAcousticSnare,
    mgHandClap, mgElectricSnare, mgLowFloorTom, mgClosedHiHat, mgHighFloorTom, mgPedalHiHat, mgLowTom,
    mgOpenHiHat, mgLowMidTom, mgHiMidTom, mgCrashCymbal1, mgHighTom, mgRideCymbal1, mgChineseCymbal,
    mgRideBell, mgTambourine, mgSplashCymbal, mgCowbell, mgCrashCymbal2, mgVibraslap, mgRideCymbal2,
    mgHiBongo, mgLowBongo, mgMuteHiConga, mgOpenHiConga, mgLowConga, mgHighTimbale, mgLowTimbale,
    mgHighAgogo, mgLowAgogo, mgCabasa, mgMaracas, mgShortWhistle, mgLongWhistle, mgShortGuiro, mgLongGuiro,
    mgClaves, mgHiWoodBlock, mgLowWoodBlock, mgMuteCuica, mgOpenCuica, mgMuteTriangle, mgOpenTriangle,
};

class TMidiGen : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(int Pan READ Pan WRITE SetPan)
    Q_PROPERTY(int Reverb READ Reverb WRITE SetReverb)
    Q_PROPERTY(int Chorus READ Chorus WRITE SetChorus)
    Q_PROPERTY(bool Sustain READ Sustain WRITE SetSustain)
    Q_PROPERTY(int Modulation READ Modulation WRITE SetModulation)
    Q_PROPERTY(int PitchBend READ PitchBend WRITE SetPitchBend)
    Q_PROPERTY(int PBDelay READ PBDelay WRITE SetPBDelay)
    Q_PROPERTY(int PBDuration READ PBDuration WRITE SetPBDuration)
    Q_PROPERTY(uint Duration READ Duration WRITE SetDuration)
    Q_PROPERTY(int Note READ Note WRITE SetNote)
    Q_PROPERTY(int Octave READ Octave WRITE SetOctave)
    Q_PROPERTY(int Instrument READ Instrument WRITE SetInstrument)
    Q_PROPERTY(int Channel READ Channel WRITE SetChannel)
    Q_PROPERTY(uint Loops READ Loops WRITE SetLoops)
    Q_PROPERTY(bool IsPlaying READ IsPlaying)
public:
    explicit TMidiGen(QObject *owner = nullptr);
    ~TMidiGen() override;

    int Volume() const { return FVolume; }
    void SetVolume(int value) { FVolume = int(CheckRange(0, 100, value)); }
    int Pan() const { return FPan; }
    void SetPan(int value) { FPan = int(CheckRange(-100, 100, value)); }
    int Reverb() const { return FReverb; }
    void SetReverb(int value) { FReverb = int(CheckRange(0, 100, value)); }
    int Chorus() const { return FChorus; }
    void SetChorus(int value) { FChorus = int(CheckRange(0, 100, value)); }
    bool Sustain() const { return FSustain; }
    void SetSustain(bool value) { FSustain = value; }
    int Modulation() const { return FModulation; }
    void SetModulation(int value) { FModulation = int(CheckRange(0, 100, value)); }
    int PitchBend() const { return FPitchBend; }
    void SetPitchBend(int value) { FPitchBend = int(CheckRange(-120, 120, value)); }
    int PBDelay() const { return FPBDelay; }
    void SetPBDelay(int value) { FPBDelay = int(CheckRange(0, 100, value)); }
    int PBDuration() const { return FPBDuration; }
    void SetPBDuration(int value) { FPBDuration = int(CheckRange(0, 100, value)); }
    uint32_t Duration() const { return FDuration; }
    void SetDuration(uint32_t value) { FDuration = value; }
    int Note() const { return FNote; }
    void SetNote(int value) { FNote = int(CheckRange(mgC, mgB, value)); }
    int Octave() const { return FOctave; }
    void SetOctave(int value) { FOctave = int(CheckRange(0, 10, value)); }
    int Instrument() const { return FInstrument; }
    void SetInstrument(int value) { FInstrument = int(CheckRange(mgAcousticGrandPiano, mgOpenTriangle, value)); }
    int Channel() const { return FChannel; }
    void SetChannel(int value) { FChannel = int(CheckRange(mgCh01, mgCh16, value)); }
    uint32_t Loops() const { return FLoops; }
    void SetLoops(uint32_t value) { FLoops = value; }
    bool IsPlaying() const { return FIsPlaying; }

    // Stores the id whatever it is (-1: the mapper); true when such a device exists.
    bool SetDevice(int deviceId);
    int Device() const { return FDeviceId; }
    // True while a stream is open, else whether the device opens.
    bool MidiAvailable();
    bool PlayNote(int note);
    bool Play();
    bool PlayString(const QString &s);
    // The running pass ends and the stream closes; looping stops.
    void Stop();

    // False from the start of a play until its first event has sounded; plays are refused then,
    // except one asked for after a Stop, which starts as soon as the stopped play has.
    bool IsReady() const { return FReady; }
    // The channel of the play under way (copied from Channel when it starts).
    int EffectiveChannel() const { return FEffectiveChannel; }
    int InstanceId() const { return FInstanceId; }
    // The instance that last opened a stream; 0 for none.
    static int OwnerId();
    // How long a wait for a device report lasts before the stream is given up.
    void SetReportTimeout(int milliseconds) { FReportTimeoutMs = milliseconds; }

private:
    static int64_t CheckRange(int64_t lo, int64_t hi, int64_t value);
    bool PrepareToPlay();
    bool PlayEvents(const std::vector<TMGRecord> &records, bool bendAllowed);
    void AddPitchBend(std::vector<MidiOut::MIDIEVENT> &events, uint32_t delta, int channel) const;
    static void AppendEvent(std::vector<MidiOut::MIDIEVENT> &events, uint32_t delta, uint32_t event);
    void Report(uint32_t message, MidiOut::HMIDISTRM stream, MidiOut::MIDIHDR *header);
    // Handles events until done() holds or the report timeout passes; true when it holds.
    template <typename Done> bool WaitFor(Done done);
    // Ends a stream whose reports stopped coming, without waiting for any.
    void AbandonStream();
    void ReleaseBuffer();
    bool Fail();
    bool DeferAfterStop(std::function<void()> play);
    void StartPendingPlay();

    MidiOut::HMIDISTRM FHandle = 0;
    int32_t FDeviceId = -1;
    std::vector<MidiOut::MIDIEVENT> FEvents;
    MidiOut::MIDIHDR FHeader;
    int FInstanceId = 0;

    int FVolume = 100;
    int FPan = 0;
    int FReverb = 0;
    int FChorus = 0;
    bool FSustain = false;
    int FModulation = 0;
    int FPitchBend = 0;
    int FPBDelay = 0;
    int FPBDuration = 100;
    uint32_t FDuration = 50;
    int FNote = mgC;
    int FOctave = 4;
    int FInstrument = mgAcousticGrandPiano;
    int FChannel = mgCh01;
    uint32_t FLoops = 1;

    int FEffectiveChannel = 0;
    uint32_t FLoopsLeft = 0;
    bool FIsPlaying = false;
    bool FOpen = false;
    bool FKeepLooping = false;
    bool FReady = true;
    bool FStopRequested = false;          // a stop came while the current play was starting
    bool FStarting = false;               // a play is being set up; the stream it replaces cannot make it ready
    std::function<void()> FPendingPlay;  // a play asked for after that stop
    QObject *FWindow = nullptr; // receives the stream's reports
    int FReportTimeoutMs = 3000;
};
