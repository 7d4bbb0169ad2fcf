// Playing chords: the sound options, the speaker button and the tone generator setup.
#include "app/ui/MainUnit.h"

#include "app/core/PlayNotes.h"
#include "midi/MidiGen.h"
#include "platform/midiout/MidiOut.h"
#include "platform/vcl/ActionList.h"
#include "platform/vcl/Application.h"

#include <QAction>
#include <QGridLayout>

namespace {

struct TInstrumentChoice
{
    const char *caption;
    int ordinal;
};

const TInstrumentChoice Instruments[] = {
    {"Acoustic Grand Piano", mgAcousticGrandPiano},
    {"Accordion", mgAccordion},
    {"Acoustic Guitar (Nylon)", mgAcousticNylonGuitar},
    {"Acoustic Guitar (Steel)", mgAcousticSteelGuitar},
    {"Electric Guitar (Jazz)", mgJazzElectricGuitar},
    {"Electric Guitar (Clean)", mgCleanElectricGuitar},
    {"Electric Guitar (Overdriven)", mgOverdrivenGuitar},
    {"Electric Guitar (Distortion)", mgDistortionGuitar},
    {"String Ensemble 1", mgStringEnsemble1},
    {"String Ensemble 2", mgStringEnsemble2},
    {"SynthStrings 1", mgSynthStrings1},
    {"SynthStrings 2", mgSynthStrings2},
    {"Synth Voice", mgSynthVoice},
};
constexpr int DefaultInstrumentItem = 2;
const QString MapperName = QStringLiteral("MIDI Mapper");

} // namespace

void TMainForm::CreateSoundOptions(QWidget *page, QBoxLayout *layout)
{
    MidiGen = new TMidiGen(this);

    auto *group = new TGroupBox(QStringLiteral("SoundGroupBox"), page);
    group->SetCaption(QStringLiteral("Звук"));
    auto *grid = new QGridLayout(group);
    auto *deviceLabel = new TLabel(QStringLiteral("DeviceLabel"), group);
    deviceLabel->SetCaption(QStringLiteral("MIDI-устройство"));
    DeviceList = new TComboBox(QStringLiteral("DeviceList"), group);
    auto *instLabel = new TLabel(QStringLiteral("InstLabel"), group);
    instLabel->SetCaption(QStringLiteral("Инструмент"));
    InstList = new TComboBox(QStringLiteral("InstList"), group);
    QStringList captions;
    for (const TInstrumentChoice &choice : Instruments)
        captions << QString::fromLatin1(choice.caption);
    InstList->SetItems(captions);
    InstList->SetItemIndex(DefaultInstrumentItem);

    auto *volumeLabel = new TLabel(QStringLiteral("VolumeLabel"), group);
    volumeLabel->SetCaption(QStringLiteral("Громкость"));
    VolumeTrackBar = new TTrackBar(QStringLiteral("VolumeTrackBar"), group, 0, 100, 70);
    VolLabel = new TLabel(QStringLiteral("VolLabel"), group);
    auto *durationLabel = new TLabel(QStringLiteral("DurationLabel"), group);
    durationLabel->SetCaption(QStringLiteral("Пауза между струнами"));
    DurationTrackBar = new TTrackBar(QStringLiteral("DurationTrackBar"), group, 0, 100, 5);
    DurationTrackBar->setTickInterval(5);
    DurationTrackBar->setTickPosition(QSlider::TicksBelow);
    DurLabel = new TLabel(QStringLiteral("DurLabel"), group);

    grid->addWidget(deviceLabel, 0, 0);
    grid->addWidget(DeviceList, 0, 1, 1, 2);
    grid->addWidget(instLabel, 1, 0);
    grid->addWidget(InstList, 1, 1, 1, 2);
    grid->addWidget(volumeLabel, 2, 0);
    grid->addWidget(VolumeTrackBar, 2, 1);
    grid->addWidget(VolLabel, 2, 2);
    grid->addWidget(durationLabel, 3, 0);
    grid->addWidget(DurationTrackBar, 3, 1);
    grid->addWidget(DurLabel, 3, 2);
    layout->addWidget(group);

    connect(VolumeTrackBar, &QSlider::valueChanged, this, [this] { VolumeTrackBarChange(); });
    connect(DurationTrackBar, &QSlider::valueChanged, this, [this] { DurationTrackBarChange(); });
}

void TMainForm::ListMidiDevices()
{
    QStringList names{MapperName};
    const uint32_t count = MidiOut::midiOutGetNumDevs();
    for (uint32_t id = 0; id < count; ++id) {
        MidiOut::MIDIOUTCAPSW caps;
        if (MidiOut::midiOutGetDevCapsW(int(id), &caps) == MidiOut::MMSYSERR_NOERROR)
            names << QString::fromUtf16(caps.szPname);
        else
            names << QString();
    }
    DeviceList->SetItems(names);
    const int mapper = DeviceList->findText(MapperName);
    DeviceList->SetItemIndex(mapper >= 0 ? mapper : 0);

    // The chord page is built after the options page, so its button is wired here.
    if (PlayChordBtn)
        connect(PlayChordBtn, &QAbstractButton::clicked, this, [this] { PlayChordBtnClick(PlayChordBtn); });
    // The tab widget also reports changes while it is torn down, so only the index is used.
    if (PageControl)
        connect(PageControl, &QTabWidget::currentChanged, this,
                [this, mainIndex = PageControl->indexOf(MainTab), previous = PageControl->currentIndex()](int index) mutable {
                    if (previous == mainIndex && index != mainIndex)
                        MainTabHide();
                    else if (previous != mainIndex && index == mainIndex)
                        MainTabShow();
                    previous = index;
                });
}

void TMainForm::ShowTrackBarLabels()
{
    DurationTrackBarChange();
    VolumeTrackBarChange();
}

void TMainForm::DurationTrackBarChange()
{
    DurLabel->SetCaption(QString::number(DurationTrackBar->Position()) + QStringLiteral(" ms"));
}

void TMainForm::VolumeTrackBarChange()
{
    VolLabel->SetCaption(QString::number(VolumeTrackBar->Position()));
}

void TMainForm::SetupMidi()
{
    const int chosen = DeviceList->ItemIndex() - 1;
    // A device that failed before stays stored; the one chosen now gets its own chance.
    const bool available = MidiGen->MidiAvailable() ||
                           (MidiGen->Device() != chosen && MidiGen->SetDevice(chosen) && MidiGen->MidiAvailable());
    if (!available) {
        Application::MessageBox(Ids(12) + QStringLiteral("\r\n") + Ids(13), Ids(1), Application::MB_ICONERROR, this);
        return;
    }
    // A play still opening its stream is stopped too, so the new one follows it instead of being
    // refused and leaving the old note sounding under what the window now shows.
    if (MidiGen->IsPlaying() || !MidiGen->IsReady())
        MidiGen->Stop();
    if (!MidiGen->SetDevice(chosen)) {
        Application::MessageBox(Ids(10), Ids(1), Application::MB_ICONERROR, this);
        return;
    }
    const int item = InstList->ItemIndex();
    if (item >= 0 && item < int(std::size(Instruments)))
        MidiGen->SetInstrument(Instruments[item].ordinal);
    MidiGen->SetDuration(150);
    MidiGen->SetVolume(VolumeTrackBar->Position());
}

void TMainForm::PlayChordBtnClick(QObject *sender)
{
    if (FState.playList == QLatin1String("none") || FState.playList.isEmpty())
        return;
    const int octaveShift = PopUpChordNormal && !PopUpChordNormal->isChecked() ? 1 : 0;
    SetupMidi();
    MidiGen->SetLoops(1);
    MidiGen->SetDuration(200);
    const bool fromSongText = sender && sender == MemoTransp;
    if (fromSongText)
        MidiGen->SetDuration(500);
    // A failed play is silent: the device error, if any, was shown by SetupMidi.
    MidiGen->PlayString(PlayNotes::ChordNoteString(FState.playList, fromSongText ? octaveShift : 0,
                                                   DurationTrackBar->Position()));
}

void TMainForm::MemoTranspKeyUp()
{
    if (MidiGen->IsPlaying())
        MidiGen->Stop();
}

void TMainForm::MainTabShow()
{
    ActionListChord->SetState(TActionList::asNormal);
    ShowCurrentChord();
}

void TMainForm::MainTabHide()
{
    if (MidiGen->IsPlaying())
        MidiGen->Stop();
    ActionListChord->SetState(TActionList::asSuspended);
}
