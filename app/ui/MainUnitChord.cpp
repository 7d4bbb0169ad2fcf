// The chord page: lookup, validation and the selectors.
#include "app/ui/MainUnit.h"

#include "app/core/ChordBase.h"
#include "app/core/ChordLists.h"
#include "app/core/DataFolder.h"
#include "app/core/PlayNotes.h"
#include "app/core/SchemeCheck.h"
#include "platform/ini/IniFile.h"
#include "platform/text/AnsiText.h"
#include "platform/vcl/Application.h"
#include "toolkit/VxStringHolder.h"

#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QStyle>

namespace {

const QStringList CanonicalTypes = {"maj",  "m",    "7",     "m6",   "m7",   "maj7", "maj9", "6",
                                    "m+7",  "7-5",  "7+5",   "m7-5", "+7+5", "dim7", "+5",   "m-5",
                                    "9",    "-9",   "+9",    "sus2", "sus4", "7sus4", "9sus4", "m9",
                                    "11",   "m11",  "13",    "add9", "madd9", "6add9"};

} // namespace

void TMainForm::CreateChordPage()
{
    auto *layout = new QGridLayout(MainTab);
    Root = new TComboBox(QStringLiteral("Root"), MainTab);
    ChordType = new TComboBox(QStringLiteral("ChordType"), MainTab, true);
    ChordType->lineEdit()->setMaxLength(15);
    ChordType->SetItems(CanonicalTypes);
    ChordType->SetItemIndex(0);
    Bass = new TComboBox(QStringLiteral("Bass"), MainTab);
    ButtonBack = new TSpeedButton(QStringLiteral("ButtonBack"), MainTab);
    ButtonBack->SetCaption(QStringLiteral("<"));
    ButtonNext = new TSpeedButton(QStringLiteral("ButtonNext"), MainTab);
    ButtonNext->SetCaption(QStringLiteral(">"));
    PlayChordBtn = new TSpeedButton(QStringLiteral("PlayChordBtn"), MainTab);
    PlayChordBtn->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    layout->addWidget(Root, 0, 0);
    layout->addWidget(ChordType, 0, 1);
    layout->addWidget(Bass, 0, 2);
    layout->addWidget(ButtonBack, 0, 3);
    layout->addWidget(ButtonNext, 0, 4);
    layout->addWidget(PlayChordBtn, 0, 5);
    layout->setRowStretch(1, 1);

    connect(Root, &QComboBox::activated, this, [this] { RootChange(); });
    connect(ChordType, &QComboBox::currentTextChanged, this, [this] { ChordTypeChange(); });
    connect(Bass, &QComboBox::activated, this, [this] { BassChange(); });
    connect(ButtonNext, &QToolButton::clicked, this, [this] { ButtonNextClick(); });
    connect(ButtonBack, &QToolButton::clicked, this, [this] { ButtonBackClick(); });
}

QString TMainForm::FindChordSchemes()
{
    ChordBase::TChordQuery query;
    query.rootText = Root->Text();
    query.rootItems = Root->Items();
    query.rootIndex = Root->ItemIndex();
    query.chordType = FState.currentChordType;
    query.bassItems = Bass->Items();
    query.bassIndex = Bass->ItemIndex();
    query.notation = EastWestRG->ItemIndex();

    const bool userFileExists = QFileInfo::exists(FState.dataFolder + DataFolder::UserFileName);
    const ChordBase::TChordSchemes found =
        ChordBase::FindChordSchemes(query, *FState.chordBase, FState.userFile.get(), userFileExists);

    FState.currentChordType = found.chordType;
    FState.schemes = found.schemes;
    FState.schemeCount = int(found.schemes.size());
    FState.currentScheme = 1;
    ButtonBack->setEnabled(false);
    ButtonNext->setEnabled(FState.schemeCount > 1);
    return FState.schemes.first();
}

bool TMainForm::ValidateScheme(const QString &scheme)
{
    const QString error = SchemeCheck::ValidateScheme(scheme, [this](int id) { return Ids(id); });
    if (error.isEmpty())
        return true;
    Application::MessageBox(error, Ids(1), Application::MB_ICONERROR, this);
    Application::Terminate(1);
    return false;
}

void TMainForm::LoadUserChordTypes()
{
    QFile file(FState.dataFolder + DataFolder::UserFileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const SchemeCheck::TUserChordTypes types =
        SchemeCheck::UserChordTypes(IniText::SplitLines(AnsiText::DecodeText(file.readAll())));
    if (!types.hasHeader) {
        Application::MessageBox(Ids(259), Ids(1), Application::MB_ICONERROR, this);
        return;
    }
    const bool blocked = ChordType->blockSignals(true);
    for (const QString &name : types.names)
        if (ChordType->IndexOfText(name) < 0)
            ChordType->addItem(name);
    ChordType->SetItemIndex(0);
    ChordType->blockSignals(blocked);
}

void TMainForm::ShowChord(const QString &scheme)
{
    // A malformed scheme is never drawn.
    if (!ValidateScheme(scheme))
        return;
    FState.currentScheme12 = scheme;
    FState.playList = PlayNotes::PlayList(scheme);
}

QString TMainForm::CanonicalChordType(const QString &) const
{
    return {};
}

void TMainForm::FillRootList(TComboBox *combo)
{
    if (!combo)
        return;
    const bool russian = LangComboBox->ItemIndex() == 0;
    const bool flats = OptionsFlats->Checked();
    QStringList named;
    try {
        named = VxMultiString->GetStringsByName(ChordLists::RootListName(russian, flats));
    } catch (const EVxException &) {
    }
    const int index = combo->ItemIndex();
    const bool blocked = combo->blockSignals(true);
    combo->clear();
    combo->addItems(ChordLists::RootItems(named, russian, EastWestRG->ItemIndex(), flats));
    combo->SetItemIndex(index < 0 ? 0 : index);
    combo->blockSignals(blocked);
}

void TMainForm::FillBassList()
{
    const int index = Bass->ItemIndex();
    const bool blocked = Bass->blockSignals(true);
    Bass->clear();
    Bass->addItems(ChordLists::BassItems(EastWestRG->ItemIndex(), OptionsFlats->Checked()));
    Bass->hidePopup();
    Bass->SetItemIndex(index < 0 ? 0 : index);
    Bass->blockSignals(blocked);
}

void TMainForm::ChordTypeChange()
{
    QString text = ChordType->Text();
    if (text.isEmpty())
        text = QStringLiteral("maj");
    const QString canonical = CanonicalChordType(text);
    FState.canonicalChordType = canonical;
    FState.currentChordType = canonical.isEmpty() ? text : canonical;
    if (Bass->ItemIndex() > 0)
        FState.currentChordType += Bass->Text();
    if (FState.currentChordType.isEmpty())
        FState.currentChordType = QStringLiteral("maj");
    ShowChord(FindChordSchemes());
}

void TMainForm::BassChange()
{
    FillBassList();
    ChordTypeChange();
}

void TMainForm::RootChange()
{
    FillBassList();
    ChordTypeChange();
}

void TMainForm::ButtonNextClick()
{
    if (FState.currentScheme >= FState.schemeCount)
        return;
    ButtonBack->setEnabled(true);
    ShowChord(FState.schemes[FState.currentScheme]);
    if (FState.currentScheme == FState.schemeCount - 1)
        ButtonNext->setEnabled(false);
    ++FState.currentScheme;
}

void TMainForm::ButtonBackClick()
{
    if (FState.currentScheme <= 1)
        return;
    --FState.currentScheme;
    ShowChord(FState.schemes[FState.currentScheme - 1]);
    ButtonNext->setEnabled(true);
    if (FState.currentScheme == 1)
        ButtonBack->setEnabled(false);
}

void TMainForm::OptionsFlatsClick()
{
    FillRootList(Root);
    FillBassList();
    ChordTypeChange();
}
