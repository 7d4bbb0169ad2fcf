// The chord page: lookup, validation, the selectors and the chord-name label.
#include "app/ui/MainUnit.h"

#include "app/core/ChordBase.h"
#include "app/core/ChordLists.h"
#include "app/core/ChordTypes.h"
#include "app/core/DataFolder.h"
#include "app/core/Diagram.h"
#include "app/core/SchemeCheck.h"
#include "app/ui/ButtonGlyphs.h"
#include "app/ui/ChordDiagram.h"
#include "platform/ini/IniFile.h"
#include "platform/text/AnsiText.h"
#include "platform/vcl/Application.h"
#include "toolkit/VxStringHolder.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QSet>
#include <QStyle>
#include <QValidator>
#include <QVBoxLayout>

namespace {

// Mouse events of the chord page that Qt's widgets have no signal for: the bass list about to
// open and a double click on the chord name.
class TChordPageEvents : public QObject
{
public:
    TChordPageEvents(TMainForm *form) : QObject(form), FForm(form) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == FForm->Bass && event->type() == QEvent::MouseButtonPress)
            FForm->BassDropDown();
        if (watched == FForm->LabelType && event->type() == QEvent::MouseButtonDblClick) {
            FForm->LabelTypeDblClick();
            return true;
        }
        return false;
    }

private:
    TMainForm *FForm;
};

// Refuses typing past the limit; a text set from the box's list stays whole however long it is.
class TTypedLengthLimit : public QValidator
{
public:
    TTypedLengthLimit(int limit, QObject *parent) : QValidator(parent), FLimit(limit) {}

    State validate(QString &input, int &) const override { return input.size() <= FLimit ? Acceptable : Invalid; }

private:
    int FLimit;
};

} // namespace

void TMainForm::CreateChordPage()
{
    auto *page = new QVBoxLayout(MainTab);
    auto *selectors = new QHBoxLayout;
    Root = new TComboBox(QStringLiteral("Root"), MainTab);
    Root->setMinimumWidth(100);
    ChordType = new TComboBox(QStringLiteral("ChordType"), MainTab, true);
    // Typing stops at 15 characters, but a longer type from the user file is shown and looked up
    // whole when picked from the list (the line edit's own length limit would cut it).
    ChordType->lineEdit()->setValidator(new TTypedLengthLimit(15, ChordType));
    ChordType->setInsertPolicy(QComboBox::NoInsert);
    // Names differ by case alone ("M7" is maj7, "m7" minor) and a short name starts longer ones ("m"
    // of "maj"): the box neither fills a name in nor swaps a typed one for a list entry of
    // another case.
    ChordType->setCompleter(nullptr);
    ChordType->setMinimumWidth(100);
    ChordType->SetItems(ChordTypes::CanonicalTypes());
    ChordType->SetItemIndex(0);
    Bass = new TComboBox(QStringLiteral("Bass"), MainTab);
    Bass->setMinimumWidth(70);
    LabelType = new TLabel(QStringLiteral("LabelType"), MainTab);
    QFont nameFont = LabelType->font();
    nameFont.setPixelSize(22);
    nameFont.setBold(true);
    LabelType->setFont(nameFont);
    LabelType->SetTextColor(QColor(128, 0, 0));
    LabelType->setContextMenuPolicy(Qt::CustomContextMenu);
    selectors->addWidget(Root);
    selectors->addWidget(ChordType);
    selectors->addWidget(Bass);
    selectors->addSpacing(12);
    selectors->addWidget(LabelType, 1);
    page->addLayout(selectors);

    IntervalLabel = new TLabel(QStringLiteral("IntervalLabel"), MainTab);
    page->addWidget(IntervalLabel);

    Back = new TCanvasImage(QStringLiteral("Back"), MainTab, QSize(Diagram::BackWidth, Diagram::BackHeight));
    PB = new TCanvasImage(QStringLiteral("PB"), Back, QSize(Diagram::PBWidth, Diagram::PBHeight));
    PB->move(Diagram::PBLeft(true), Diagram::PBTop);
    PB->setContextMenuPolicy(Qt::CustomContextMenu);
    for (TCanvasImage *image : {Back, PB})
        image->SetRedraw([this] { ShowCurrentChord(); });
    ChordPopUp = new QMenu(this);
    ChordPopUp->setObjectName(QStringLiteral("ChordPopUp"));
    auto *hands = new QActionGroup(ChordPopUp);
    RightHand = new TMenuItem(QStringLiteral("RightHand"), ChordPopUp, QStringLiteral("Для правой руки"));
    LeftHand = new TMenuItem(QStringLiteral("LeftHand"), ChordPopUp, QStringLiteral("Для левой руки"));
    for (QAction *hand : {RightHand, LeftHand}) {
        ChordPopUp->addAction(hand);
        hand->setCheckable(true);
        hands->addAction(hand);
    }
    RightHand->setChecked(true);
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    page->addWidget(Back, 0, Qt::AlignLeft);

    auto *buttons = new QHBoxLayout;
    ButtonBack = new TSpeedButton(QStringLiteral("ButtonBack"), MainTab);
    ButtonBack->setIcon(ButtonGlyphs::Icon(ButtonGlyphs::TGlyph::Back));
    ButtonBack->SetHint(QStringLiteral("Предыдущая аппликатура"));
    ButtonNext = new TSpeedButton(QStringLiteral("ButtonNext"), MainTab);
    ButtonNext->setIcon(ButtonGlyphs::Icon(ButtonGlyphs::TGlyph::Next));
    ButtonNext->SetHint(QStringLiteral("Следующая аппликатура"));
    PlayChordBtn = new TSpeedButton(QStringLiteral("PlayChordBtn"), MainTab);
    PlayChordBtn->setIcon(ButtonGlyphs::Icon(ButtonGlyphs::TGlyph::Sound));
    ChordNetBtn = new TSpeedButton(QStringLiteral("ChordNetBtn"), MainTab);
    ChordNetBtn->setIcon(ButtonGlyphs::Icon(ButtonGlyphs::TGlyph::Copy));
    ChordNetBtn->SetHint(QStringLiteral("Копировать аккорд в буфер обмена"));
    PlayChordBtn->SetHint(QStringLiteral("Сыграть аккорд (пробел)"));
    Root->SetHint(QStringLiteral("Тоника аккорда"));
    ChordType->SetHint(QStringLiteral("Тип аккорда: выберите из списка или наберите"));
    Bass->SetHint(QStringLiteral("Бас аккорда"));
    for (TSpeedButton *button : {ButtonBack, ButtonNext, PlayChordBtn, ChordNetBtn}) {
        button->setIconSize(QSize(20, 20));
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    page->addLayout(buttons);
    page->addStretch(1);

    connect(Root, &QComboBox::activated, this, [this] { RootChange(); });
    connect(ChordType, &QComboBox::currentTextChanged, this, [this] { ChordTypeChange(); });
    connect(Bass, &QComboBox::activated, this, [this] { BassChange(); });
    connect(ButtonNext, &QToolButton::clicked, this, [this] { ButtonNextClick(); });
    connect(ButtonBack, &QToolButton::clicked, this, [this] { ButtonBackClick(); });
    connect(ChordNetBtn, &QToolButton::clicked, this, [this] { ChordNetBtnClick(); });
    connect(RightHand, &QAction::triggered, this, [this] { RightHandClick(); });
    connect(LeftHand, &QAction::triggered, this, [this] { LeftHandClick(); });
    connect(PB, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { ChordPopUp->popup(PB->mapToGlobal(pos)); });
    connect(LabelType, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { LabelTypeContextPopup(pos); });
    auto *events = new TChordPageEvents(this);
    Bass->installEventFilter(events);
    LabelType->installEventFilter(events);
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
    // Without a base (start-up ended early, or the window is closing) every chord is unknown.
    const ChordBase::TChordSchemes found =
        FState.chordBase ? ChordBase::FindChordSchemes(query, *FState.chordBase, FState.userFile.get(), userFileExists)
                         : ChordBase::TChordSchemes{{ChordBase::NoScheme}, query.chordType};

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
    const QString path = FState.dataFolder + DataFolder::UserFileName;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return;
    // One the user may not read is as good as none: its types are simply not there, and the
    // chord base, which the message below names, is not to blame.
    if (info.isFile() && !info.isReadable())
        return;
    // One that cannot be read whole is no more usable than one without its header.
    const std::optional<QByteArray> bytes = IniText::ReadFileBytes(path);
    const SchemeCheck::TUserChordTypes types =
        SchemeCheck::UserChordTypes(IniText::SplitLines(AnsiText::DecodeText(bytes.value_or(QByteArray()))));
    if (!bytes || !types.hasHeader) {
        Application::MessageBox(Ids(259), Ids(1), Application::MB_ICONERROR, this);
        return;
    }
    // A set of the names in the list, compared without case as the list compares them: a user
    // file of thousands of types opens at once instead of rescanning the list for each.
    QSet<QString> known;
    for (int i = 0; i < ChordType->count(); ++i)
        known.insert(ChordType->itemText(i).toCaseFolded());
    QStringList added;
    for (const QString &name : types.names)
        if (!known.contains(name.toCaseFolded())) {
            known.insert(name.toCaseFolded());
            added.append(name);
        }
    const bool blocked = ChordType->blockSignals(true);
    ChordType->addItems(added);
    ChordType->SetItemIndex(0);
    ChordType->blockSignals(blocked);
}

QString TMainForm::CanonicalChordType(const QString &text) const
{
    return ChordTypes::CanonicalChordType(text);
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
    // The chord page always shows a root, C until one is chosen; the transposer's key list
    // stays empty until the user picks a key.
    combo->SetItemIndex(index < 0 && combo == Root ? 0 : index);
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

void TMainForm::BassDropDown()
{
    FillBassList();
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

void TMainForm::ShowChordWithFretNumber(const QString &roman)
{
    const QString wanted = roman.trimmed();
    for (int i = 0; i < FState.schemeCount; ++i) {
        // Only measured: the frets of the scheme shown stay until another one is drawn.
        const Diagram::TMinMax measure = Diagram::GetMinMax(FState.schemes[i]);
        if (Diagram::ArabicToRoman(measure.lowest, measure.highest).trimmed() != wanted)
            continue;
        FState.currentScheme = i;
        // Drawing may end the program on a malformed scheme; the buttons follow the jump either way.
        ButtonNextClick();
        ButtonBack->setEnabled(i > 0);
        ButtonNext->setEnabled(i < FState.schemeCount - 1);
        return;
    }
}

void TMainForm::OptionsFlatsClick()
{
    FillRootList(Root);
    FillBassList();
    TransposerNotationChanged();
    // Respells the table and the song text; the text moves by the step it already has.
    DestComboBoxChange();
    ChordTypeChange();
}

void TMainForm::ShowChordNameLabel()
{
    const QString text = ChordType->Text().isEmpty() ? QStringLiteral("maj") : ChordType->Text();
    const bool listed = ChordType->IndexOfText(text) >= 0;
    LabelType->SetCaption(ChordTypes::ChordNameLabel(Root->Text(), ChordType->Text(), FState.currentChordType,
                                                     listed, Bass->Text(), Bass->ItemIndex()));
}

void TMainForm::LabelTypeContextPopup(const QPoint &pos)
{
    PopupMenu1->clear();
    // Without a chosen bass the names stand alone (the empty bass item is a blank).
    const QString bass = Bass->ItemIndex() > 0 ? Bass->Text() : QString();
    const QStringList captions =
        ChordTypes::AlternativeMenuItems(FState.canonicalChordType, ChordType->Text(), bass);
    for (const QString &caption : captions) {
        QAction *item = PopupMenu1->addAction(caption);
        connect(item, &QAction::triggered, this, [this, caption] { ClickMenuItem(caption); });
    }
    PopupMenu1->popup(LabelType->mapToGlobal(pos));
}

void TMainForm::ClickMenuItem(const QString &caption)
{
    const QString bass = Bass->ItemIndex() > 0 ? Bass->Text() : QString();
    const ChordTypes::TMenuChoice choice = ChordTypes::MenuItemChoice(Root->Text(), caption, bass);
    LabelType->SetCaption(choice.labelCaption);
    // Only the spelling changes; the chord on display stays.
    const bool blocked = ChordType->blockSignals(true);
    ChordType->SetText(choice.chordTypeText);
    ChordType->blockSignals(blocked);
}

void TMainForm::LabelTypeDblClick()
{
    QGuiApplication::clipboard()->setText(LabelType->Caption());
}
