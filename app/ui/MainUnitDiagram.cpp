// The chord diagram on the chord page, its hand choice, its options and copying it.
#include "app/ui/MainUnit.h"

#include "app/core/ChordCopy.h"
#include "app/core/ChordTypes.h"
#include "app/core/Diagram.h"
#include "app/ui/ChordDiagram.h"

#include <QBoxLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>

void TMainForm::CreateDiagramOptions(QWidget *page, QBoxLayout *layout)
{
    OptionsShowNotes = new TCheckBox(QStringLiteral("OptionsShowNotes"), page);
    OptionsShowNotes->SetCaption(QStringLiteral("Показывать ноты на диаграмме"));
    OptionsShowNotes->SetChecked(true);
    OptionsShowChordName = new TCheckBox(QStringLiteral("OptionsShowChordName"), page);
    OptionsShowChordName->SetCaption(QStringLiteral("Показывать название аккорда"));
    OptionsShowChordName->SetChecked(true);
    OptionsSaveBMP = new TCheckBox(QStringLiteral("OptionsSaveBMP"), page);
    OptionsSaveBMP->SetCaption(QStringLiteral("Копировать аккорд как рисунок"));
    OptionsSaveBMP->SetChecked(false);
    for (TCheckBox *option : {OptionsShowNotes, OptionsShowChordName, OptionsSaveBMP})
        layout->addWidget(option);
    connect(OptionsShowNotes, &QCheckBox::toggled, this, [this] { ShowCurrentChord(); });
    connect(OptionsShowChordName, &QCheckBox::toggled, this, [this](bool checked) {
        if (LabelType)
            LabelType->setVisible(checked);
        ShowCurrentChord();
    });
}

void TMainForm::ShowChord(const QString &scheme)
{
    // A malformed scheme is never drawn.
    if (!ValidateScheme(scheme))
        return;
    const bool rightHand = !LeftHand || !LeftHand->isChecked();
    const int notation = EastWestRG->ItemIndex();
    const bool flats = OptionsFlats->Checked();

    const ChordTypes::TChordNotes notes = ChordTypes::ComputeChordNotes(scheme);
    FState.noteNames = notes.names;
    FState.playList = notes.playList;
    const Diagram::TMinMax measure = Diagram::GetMinMax(scheme);
    FState.lowestFret = measure.lowest;
    FState.highestFret = measure.highest;
    const QString shown = Diagram::ShownScheme(scheme, measure);
    const int pbLeft = Diagram::PBLeft(rightHand);
    PB->move(pbLeft, Diagram::PBTop);
    {
        QPainter back(&Back->Canvas());
        QPainter pb(&PB->Canvas());
        DiagramPaint::ClearBack(back);
        DiagramPaint::DrawRomanFret(back, Diagram::ArabicToRoman(measure.lowest, measure.highest), rightHand);
        DiagramPaint::DrawStringNames(back, Diagram::StringNames(notation), pbLeft, rightHand);
        pb.drawPixmap(0, 0, PB->Picture(rightHand ? QStringLiteral("Fon") : QStringLiteral("FonLeft")));
        if (OptionsShowNotes->Checked()) {
            QStringList names = Diagram::SplitNoteNames(FState.noteNames);
            const bool english = LangComboBox->ItemIndex() != 0;
            for (QString &name : names)
                name = ChordTypes::NoteNameLocalized(name, english, flats, notation);
            DiagramPaint::DrawNoteNames(back, names, pbLeft, rightHand);
        } else {
            DiagramPaint::ClearNoteSide(back, rightHand);
        }
        FState.currentScheme12 = scheme;
        FState.shownScheme = shown;
        FState.dotPositions = Diagram::DotPositions(shown);
        for (int i = 0; i < 6; ++i)
            if (FState.dotPositions[i] == Diagram::MutedPosition)
                DiagramPaint::DrawMutedMark(back, pb, i, pbLeft, rightHand);
        const QPixmap &nota = PB->Picture(QStringLiteral("Nota"));
        for (int string = 1; string <= 6; ++string)
            if (FState.dotPositions[string - 1] != 0)
                DiagramPaint::DrawDot(pb, nota, FState.dotPositions[string - 1], string, rightHand);
        DiagramPaint::DrawBarre(pb, Diagram::BarreOf(FState.dotPositions), rightHand);
    }
    const QString formula = ChordTypes::ChordTypeFormula(FState.currentChordType);
    IntervalLabel->SetCaption(ChordTypes::IntervalLine(Root->ItemIndex() + 1, formula, notation, flats));
    if (OptionsShowChordName->Checked())
        ShowChordNameLabel();
    Back->update();
    PB->update();
}

void TMainForm::ShowCurrentChord()
{
    if (FState.currentScheme >= 1 && FState.currentScheme <= FState.schemes.size())
        ShowChord(FState.schemes[FState.currentScheme - 1]);
}

// The background is drawn for the chosen hand, so a redraw is all a hand change needs.
void TMainForm::RightHandClick()
{
    RightHand->setChecked(true);
    ShowCurrentChord();
}

void TMainForm::LeftHandClick()
{
    LeftHand->setChecked(true);
    ShowCurrentChord();
}

void TMainForm::ChordNetBtnClick()
{
    if (OptionsSaveBMP->Checked())
        CopyChordAsBitmap();
    else
        CopyChordAsText();
}

void TMainForm::CopyChordAsText()
{
    ChordCopy::TTextDiagram diagram;
    diagram.shown = FState.shownScheme;
    diagram.measure = {FState.lowestFret, FState.highestFret};
    diagram.rightHand = RightHand->isChecked();
    diagram.showName = OptionsShowChordName->Checked();
    diagram.chordName = LabelType->Caption();
    QGuiApplication::clipboard()->setText(ChordCopy::ChordAsText(diagram));
}

void TMainForm::CopyChordAsBitmap()
{
    const QPixmap picture =
        DiagramPaint::ChordPicture(Back->Canvas(), PB->Canvas(), PB->pos(), OptionsShowNotes->Checked(),
                                   RightHand->isChecked(), DiagramPaint::PicturePaper(palette().color(QPalette::Base)),
                                   OptionsShowChordName->Checked(), LabelType->Caption());
    QGuiApplication::clipboard()->setPixmap(picture);
}
