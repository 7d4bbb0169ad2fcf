// The tuner page: preset tunings, strings raised and lowered by semitones, and each string
// sounded again and again while its toggle stays down.
#include "app/ui/MainUnit.h"

#include "app/core/Tuner.h"
#include "app/core/UnitTransp.h"
#include "app/ui/LazyIcon.h"
#include "midi/MidiGen.h"
#include "toolkit/VxStringHolder.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QSet>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Numbered(const char *prefix, int n)
{
    return QLatin1String(prefix) + QString::number(n);
}

// The designed width, or wider when the desktop's font needs it for the widest note ("C#5").
int NoteBoxWidth(const QLineEdit *edit)
{
    const QFontMetrics metrics = edit->fontMetrics();
    // Each name once: measuring a text shapes it, and the notations share most names.
    QSet<QString> names;
    for (int index = 0; index < Tuner::NoteCount; ++index)
        for (const int notation : {0, 1})
            names.insert(Tuner::DisplayedName(index, notation));
    int widest = 0;
    for (const QString &name : names)
        widest = std::max(widest, metrics.horizontalAdvance(name));
    QStyleOptionFrame frame;
    frame.initFrom(edit);
    frame.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, edit);
    // A line edit keeps two pixels beside its text on either side, and one for the cursor.
    const QSize text(widest + 2 * 2 + 1, metrics.height());
    return std::max(48, edit->style()->sizeFromContents(QStyle::CT_LineEdit, &frame, text, edit).width());
}

} // namespace

void TMainForm::CreateTunerPage()
{
    auto *page = new QVBoxLayout(TuningTab);
    auto *top = new QHBoxLayout;
    page->addLayout(top);
    auto *layout = new QGridLayout;
    page->addLayout(layout);
    page->addStretch(1);
    TuningsList = new TComboBox(QStringLiteral("TuningsList"), TuningTab);
    QFont fixed(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    TuningsList->SetFont(fixed); // names and string letters stand in two columns
    top->addWidget(TuningsList);
    top->addStretch(1);

    int boxWidth = 0;
    for (int n = 1; n <= Tuner::StringCount; ++n) {
        auto *label = new TLabel(Numbered("Struna", n), TuningTab);
        label->SetCaption(QString::number(n));
        auto *play = new TSpeedButton(Numbered("SpeedButton", n), TuningTab);
        play->setCheckable(true);
        play->setIcon(LazyIcon::Standard(QStyle::SP_MediaPlay));
        play->SetTag(n);
        auto *shape = new QFrame(TuningTab);
        shape->setObjectName(Numbered("Shape", n));
        shape->setFrameShape(QFrame::Box);
        auto *shapeLayout = new QHBoxLayout(shape);
        shapeLayout->setContentsMargins(2, 2, 2, 2);
        auto *edit = new TEdit(Numbered("EditStr", n), shape);
        edit->setReadOnly(true);
        // The boxes share one font, so one measure serves them all.
        if (boxWidth == 0)
            boxWidth = NoteBoxWidth(edit);
        edit->setFixedWidth(boxWidth);
        edit->setAlignment(Qt::AlignCenter);
        auto *spin = new TSpinButton(Numbered("SBStr", n), shape);
        spin->SetTag(n);
        shapeLayout->addWidget(edit);
        shapeLayout->addWidget(spin);

        layout->addWidget(label, n, 0);
        layout->addWidget(play, n, 1);
        layout->addWidget(shape, n, 2, Qt::AlignLeft);

        connect(play, &QToolButton::clicked, this, [this, play](bool down) {
            // One toggle at a time, and all may be up.
            for (int other = 1; down && other <= Tuner::StringCount; ++other) {
                auto *button = TuningTab->findChild<TSpeedButton *>(Numbered("SpeedButton", other));
                if (button != play && button->isChecked()) {
                    const QSignalBlocker blocker(button);
                    button->setChecked(false);
                }
            }
            SpeedButton1Click(play);
        });
        connect(spin, &TSpinButton::DownClick, this, [this, spin] { SBStr1DownClick(spin); });
        connect(spin, &TSpinButton::UpClick, this, [this, spin] { SBStr1UpClick(spin); });
    }
    SBAll = new TSpinButton(QStringLiteral("SBAll"), TuningTab);
    layout->addWidget(SBAll, Tuner::StringCount + 1, 2, Qt::AlignLeft);
    layout->setColumnStretch(3, 1);

    connect(SBAll, &TSpinButton::DownClick, this, [this] { SBAllDownClick(); });
    connect(SBAll, &TSpinButton::UpClick, this, [this] { SBAllUpClick(); });
    connect(TuningsList, &QComboBox::activated, this, [this] { TuningsListChange(); });
    connect(PageControl, &QTabWidget::currentChanged, this,
            [this, shown = PageControl->currentWidget()](int) mutable {
                if (shown == TuningTab && PageControl->currentWidget() != TuningTab)
                    TuningTabHide();
                shown = PageControl->currentWidget();
            });

    FStringNotes = Tuner::TuningNotes(0);
}

void TMainForm::RefreshTuningNotes()
{
    FStringNotes = Tuner::TuningNotes(0);
    ApplyTuningNotes();
}

void TMainForm::ApplyTuningNotes()
{
    // The tuner page may be built after the window shows.
    if (!TuningsList)
        return;
    const int notation = EastWestRG->ItemIndex();
    for (int n = 1; n <= Tuner::StringCount; ++n)
        TuningTab->findChild<TEdit *>(Numbered("EditStr", n))
            ->SetText(Tuner::DisplayedName(FStringNotes[n - 1], notation));
}

void TMainForm::FillTuningsList()
{
    if (!TuningsList)
        return;
    TuningsList->clear();
    try {
        TuningsList->addItems(VxMultiString->GetStringsByName(Tuner::TuningListName(EastWestRG->ItemIndex())));
    } catch (const EVxException &) {
        // Without its list the tuner still offers standard tuning through the string buttons.
    }
    TuningsList->SetItemIndex(0);
}

void TMainForm::EastWestRGClick()
{
    // A moved song goes back to its key while its si still means what it meant when moved: read in
    // the new notation, B and H would name other notes.
    if (DestComboBox && FState.previousTransposerStep != UnitTransp::NoStepIndex) {
        MoveSongText(UnitTransp::NoStepIndex, FState.songNotation);
        const bool blocked = DestComboBox->blockSignals(true);
        DestComboBox->SetItemIndex(UnitTransp::NoStepIndex);
        DestComboBox->blockSignals(blocked);
    }
    RefreshTuningNotes();
    FillRootList(Root);
    FillRootList(SrcComboBox);
    if (SrcComboBox && SrcComboBox->ItemIndex() >= 0)
        SrcComboBoxChange();
    FillTuningsList();
    // The list starts again at standard tuning: every row shows again and a sounding string
    // moves to its new pitch.
    TuningsListChange();
    SpeedButtonDefaultClick();
    // The chord page names si and si flat in the new notation at once.
    FillBassList();
    ShowCurrentChord();
}

void TMainForm::TuningsListChange()
{
    if (!TuningsList)
        return;
    const Tuner::TStringNotes tuning = Tuner::TuningNotes(TuningsList->ItemIndex());
    std::array<bool, Tuner::StringCount> visible{};
    for (int n = 1; n <= Tuner::StringCount; ++n) {
        visible[n - 1] = tuning[n - 1] != Tuner::NoString;
        if (visible[n - 1])
            FStringNotes[n - 1] = tuning[n - 1];
        for (const char *prefix : {"Struna", "SpeedButton", "Shape", "EditStr", "SBStr"})
            TuningTab->findChild<QWidget *>(Numbered(prefix, n))->setVisible(visible[n - 1]);
    }
    ApplyTuningNotes();
    const auto numbers = Tuner::StringLabelNumbers(visible);
    for (int n = 1; n <= Tuner::StringCount; ++n)
        if (numbers[n - 1] > 0)
            TuningTab->findChild<TLabel *>(Numbered("Struna", n))->SetCaption(QString::number(numbers[n - 1]));
    // A sounding string goes on at its new pitch, or falls silent when its row is gone.
    for (int n = 1; n <= Tuner::StringCount; ++n) {
        auto *button = TuningTab->findChild<TSpeedButton *>(Numbered("SpeedButton", n));
        if (!button->isChecked())
            continue;
        SpeedButton1Click(button);
        if (!visible[n - 1]) {
            const QSignalBlocker blocker(button);
            button->setChecked(false);
        }
    }
}

void TMainForm::StepTunerString(QObject *Sender, int (*step)(int))
{
    const int n = Sender->property("Tag").toInt();
    if (n < 1 || n > Tuner::StringCount || step(FStringNotes[n - 1]) == FStringNotes[n - 1])
        return;
    FStringNotes[n - 1] = step(FStringNotes[n - 1]);
    TuningTab->findChild<TEdit *>(Numbered("EditStr", n))
        ->SetText(Tuner::DisplayedName(FStringNotes[n - 1], EastWestRG->ItemIndex()));
    auto *button = TuningTab->findChild<TSpeedButton *>(Numbered("SpeedButton", n));
    if (button->isChecked())
        SpeedButton1Click(button);
}

void TMainForm::SBStr1DownClick(QObject *Sender)
{
    StepTunerString(Sender, Tuner::StringDown);
}

void TMainForm::SBStr1UpClick(QObject *Sender)
{
    StepTunerString(Sender, Tuner::StringUp);
}

void TMainForm::SBAllDownClick()
{
    for (int n = 1; n <= Tuner::StringCount; ++n)
        SBStr1DownClick(TuningTab->findChild<TSpinButton *>(Numbered("SBStr", n)));
}

void TMainForm::SBAllUpClick()
{
    for (int n = 1; n <= Tuner::StringCount; ++n)
        SBStr1UpClick(TuningTab->findChild<TSpinButton *>(Numbered("SBStr", n)));
}

void TMainForm::SpeedButton1Click(QObject *Sender)
{
    auto *button = qobject_cast<TSpeedButton *>(Sender);
    if (!button)
        return;
    SetupMidi(); // also silences the string that sounded before
    const int n = button->Tag();
    if (button->isChecked() && !button->isHidden() && n >= 1 && n <= Tuner::StringCount) {
        MidiGen->SetLoops(0); // until stopped
        MidiGen->SetDuration(Tuner::RepeatTicks(DurationTrackBar->Position()));
        MidiGen->PlayString(Tuner::PlayNoteName(TuningTab->findChild<TEdit *>(Numbered("EditStr", n))->Text()));
    } else {
        MidiGen->Stop();
    }
}

void TMainForm::TuningTabHide()
{
    for (int n = 1; n <= Tuner::StringCount; ++n) {
        auto *button = TuningTab->findChild<TSpeedButton *>(Numbered("SpeedButton", n));
        const QSignalBlocker blocker(button);
        button->setChecked(false);
    }
    // A string whose stream is still opening is not playing yet, but would go on repeating with
    // every toggle up.
    if (MidiGen->IsPlaying() || !MidiGen->IsReady())
        MidiGen->Stop();
}
