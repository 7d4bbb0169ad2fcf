// The transposer page: the key table, the song-text editor with its menu and files, the
// notation check, Ctrl+click on chords and the preview window.
#include "app/ui/MainUnit.h"

#include "app/core/ChordUnderPointer.h"
#include "app/core/Settings.h"
#include "app/core/SongTextCheck.h"
#include "app/core/TransposerTable.h"
#include "app/core/UnitTransp.h"
#include "app/core/xlat.h"
#include "app/ui/UnitPreview.h"
#include "app/ui/WindowEvents.h"
#include "platform/ini/IniFile.h"
#include "platform/vcl/Application.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QTableWidget>
#include <QTextBlock>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int MaxSongLength = 500'000; // characters in the editor, bytes of a file to open
constexpr int GridColumnWidth = 34;
const QString CrLf = QStringLiteral("\r\n");

// Line breaks of files and the clipboard as the editor keeps them.
QString EditorLineBreaks(QString text)
{
    text.replace(CrLf, QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

bool KeypadZoomKey(const QKeyEvent *key)
{
    return (key->modifiers() & Qt::ControlModifier) && (key->modifiers() & Qt::KeypadModifier) &&
           (key->key() == Qt::Key_Plus || key->key() == Qt::Key_Minus);
}

// The editor's keys, clicks and wheel that the page handles itself.
class TMemoTranspEvents : public QObject
{
public:
    TMemoTranspEvents(TMainForm *form, TMemo *memo)
        : QObject(memo), FForm(form), FMemo(memo), FViewport(memo->viewport())
    {
        // Seen before any widget: Ctrl+wheel zooms the editor wherever over the page the pointer is.
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Wheel)
            return Wheel(watched, static_cast<QWheelEvent *>(event));
        // Only pointers are compared: events keep coming while the window is torn down.
        if (watched != FMemo && watched != FViewport)
            return false;
        switch (event->type()) {
        case QEvent::KeyPress: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (TypesText(key) && FForm->SongTextRoom() < key->text().size())
                return true;
            if (key->matches(QKeySequence::Paste)) {
                FForm->PopUpPasteClick();
                return true;
            }
            if (KeypadZoomKey(key)) {
                FForm->ChangeMemoFontSize(FMemo, key->key() == Qt::Key_Plus ? 1 : -1);
                return true;
            }
            break;
        }
        case QEvent::InputMethod: {
            // Dead keys, compose sequences and input methods type without a key press of their own.
            auto *composed = static_cast<QInputMethodEvent *>(event);
            const QString text = composed->commitString();
            qsizetype room = FForm->SongTextRoom() + composed->replacementLength();
            if (text.size() > room) {
                room = qMax<qsizetype>(room, 0);
                if (room > 0 && text.at(room - 1).isHighSurrogate())
                    --room;
                composed->setCommitString(text.left(room), composed->replacementStart(), composed->replacementLength());
            }
            break;
        }
        case QEvent::KeyRelease:
            FForm->MemoTranspKeyUp();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // The second press of a double click comes as the double click alone, and is a press
            // all the same: Ctrl+double-click stays a chord click.
            if (watched == FViewport) {
                const auto *mouse = static_cast<QMouseEvent *>(event);
                const int caret = FMemo->cursorForPosition(mouse->position().toPoint()).position();
                FForm->MemoTranspMouseDown(FMemo, mouse->button(), mouse->modifiers(), caret);
                if (event->type() == QEvent::MouseButtonDblClick && !(mouse->modifiers() & Qt::ControlModifier))
                    FForm->MemoTranspDblClick(FMemo);
            }
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static bool TypesText(const QKeyEvent *key)
    {
        if (key->text().isEmpty() || (key->modifiers() & Qt::ControlModifier))
            return false;
        const QChar first = key->text().front();
        return first.isPrint() || first == QLatin1Char('\r') || first == QLatin1Char('\t');
    }

    bool Wheel(QObject *watched, const QWheelEvent *wheel)
    {
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (!(wheel->modifiers() & Qt::ControlModifier) || !widget || widget->window() != FForm)
            return false;
        const bool showing = FForm->PageControl->currentWidget() == FForm->MiscTab &&
                             FForm->PageControlTransp->currentWidget() == FForm->TabSheetText;
        if (!showing)
            return watched == FMemo || watched == FViewport;
        if (FMemo->document()->isEmpty())
            return true;
        if (const int notches = FWheel.Add(wheel->angleDelta().y()))
            FForm->ChangeMemoFontSize(FMemo, notches > 0 ? 1 : -1);
        return true;
    }

    TMainForm *FForm;
    TMemo *FMemo;
    QWidget *FViewport;
    WindowEvents::TWheelNotches FWheel;
};

QStringList GridRow(const QTableWidget *grid, int row)
{
    QStringList names;
    for (int c = 0; c < grid->columnCount(); ++c)
        names.append(grid->item(row, c) ? grid->item(row, c)->text() : QString());
    return names;
}

// The designed width, or wider when the desktop's font needs it for a name such as "Db": a cell
// too narrow shows "..." in place of the note.
int GridColumnWidthFor(const QTableWidget *grid)
{
    const QFontMetrics metrics = grid->fontMetrics();
    // Each name once: the rows repeat the same few dozen notes.
    QSet<QString> names;
    for (int key = 0; key < 12; ++key)
        for (const int notation : {0, 1})
            for (const bool flats : {false, true})
                for (const QString &name : TransposerTable::KeyRow(key, notation, flats))
                    names.insert(name);
    int widest = 0;
    for (const QString &name : names)
        widest = std::max(widest, metrics.horizontalAdvance(name));
    // Cells keep this margin beside their text on either side, and one pixel for the grid line.
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    return std::max(GridColumnWidth, widest + 2 * margin + 1);
}

void SetGridRow(QTableWidget *grid, int row, const QStringList &names)
{
    for (int c = 0; c < grid->columnCount(); ++c) {
        if (!grid->item(row, c))
            grid->setItem(row, c, new QTableWidgetItem);
        grid->item(row, c)->setText(names.value(c));
    }
}

QAction *MenuItem(QMenu *menu, TMemo *memo, const char *name, const QString &caption, const QKeySequence &keys)
{
    auto *action = new TMenuItem(QString::fromLatin1(name), menu, caption);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    menu->addAction(action);
    // The editor handles its own standard editing keys; the rest reach it through the actions.
    memo->addAction(action);
    return action;
}

// Moves a window's frame onto the screen area that holds most of it. A window not shown yet has
// no frame: it is counted as the desktop will give it, with the margins of a window it decorates.
void KeepOnScreen(QWidget *window, const QScreen *screen, const QMargins &unshownFrame)
{
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect frame = window->frameGeometry();
    if (!window->windowHandle())
        frame.setSize(frame.size().grownBy(unshownFrame));
    frame.moveLeft(qBound(area.left(), frame.left(), qMax(area.left(), area.right() - frame.width() + 1)));
    frame.moveTop(qBound(area.top(), frame.top(), qMax(area.top(), area.bottom() - frame.height() + 1)));
    window->move(frame.topLeft());
}

} // namespace

void TMainForm::CreateTransposerPage()
{
    auto *layout = new QVBoxLayout(MiscTab);
    auto *top = new QHBoxLayout;
    layout->addLayout(top);

    SrcComboBox = new TComboBox(QStringLiteral("SrcComboBox"), MiscTab);
    SrcComboBox->SetItems({QStringLiteral("C (до)"), QStringLiteral("C#"), QStringLiteral("D (ре)"),
                           QStringLiteral("D#"), QStringLiteral("E (ми)"), QStringLiteral("F (фа)"),
                           QStringLiteral("F#"), QStringLiteral("G (соль)"), QStringLiteral("G#"),
                           QStringLiteral("A (ля)"), QStringLiteral("B = Hb"), QStringLiteral("H (си)")});
    SrcComboBox->SetItemIndex(-1);
    DestComboBox = new TComboBox(QStringLiteral("DestComboBox"), MiscTab);
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::TypeWriter);
    DestComboBox->SetFont(fixed);
    DestComboBox->SetItems(TransposerTable::BareStepTexts());
    DestComboBox->SetItemIndex(UnitTransp::NoStepIndex);
    DestComboBox->setMaxVisibleItems(UnitTransp::StepCount);
    // Wide enough for a step and its target key.
    DestComboBox->setMinimumContentsLength(12);
    DestComboBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    SpeedButtonDefault = new TSpeedButton(QStringLiteral("SpeedButtonDefault"), MiscTab);
    SpeedButtonDefault->SetCaption(QStringLiteral("Сброс"));
    CopyBitBtn = new TButton(QStringLiteral("CopyBitBtn"), MiscTab);
    CopyBitBtn->SetCaption(QStringLiteral("Копировать"));
    top->addWidget(SrcComboBox);
    top->addWidget(DestComboBox);
    top->addWidget(SpeedButtonDefault);
    top->addStretch(1);
    top->addWidget(CopyBitBtn);

    PageControlTransp = new TPageControl(QStringLiteral("PageControlTransp"), MiscTab);
    TabSheetTable = new TTabSheet(QStringLiteral("TabSheetTable"), PageControlTransp, QStringLiteral("Таблица"));
    TabSheetText = new TTabSheet(QStringLiteral("TabSheetText"), PageControlTransp, QStringLiteral("Текст"));
    layout->addWidget(PageControlTransp, 1);

    auto *tableLayout = new QVBoxLayout(TabSheetTable);
    StringGrid = new QTableWidget(2, 12, TabSheetTable);
    StringGrid->setObjectName(QStringLiteral("StringGrid"));
    StringGrid->horizontalHeader()->hide();
    StringGrid->verticalHeader()->hide();
    StringGrid->horizontalHeader()->setDefaultSectionSize(GridColumnWidthFor(StringGrid));
    // The header may keep its columns wider still, for its own font.
    const int columnWidth = StringGrid->horizontalHeader()->defaultSectionSize();
    StringGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab goes on to the next control; the arrow keys walk the cells.
    StringGrid->setTabKeyNavigation(false);
    StringGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid->setFixedSize(12 * columnWidth + 2 * StringGrid->frameWidth(),
                             2 * StringGrid->verticalHeader()->defaultSectionSize() + 2 * StringGrid->frameWidth());
    SetGridRow(StringGrid, 0, {});
    SetGridRow(StringGrid, 1, {});
    tableLayout->addWidget(StringGrid);
    tableLayout->addStretch(1);

    auto *textLayout = new QVBoxLayout(TabSheetText);
    textLayout->setContentsMargins(0, 0, 0, 0);
    MemoTransp = new TMemo(QStringLiteral("MemoTransp"), TabSheetText);
    MemoTransp->SetWordWrap(false);
    MemoTransp->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoTransp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont memoFont(QStringLiteral("Courier New"));
    memoFont.setStyleHint(QFont::TypeWriter);
    memoFont.setPointSize(9); // 12 pixels at 96 dpi
    MemoTransp->SetFont(memoFont);
    textLayout->addWidget(MemoTransp);
    new TMemoTranspEvents(this, MemoTransp);
    // The mouse selection and drops take the paste's way in.
    MemoTransp->OnInsertText = [this](const QString &text, bool moved) { InsertSongText(text, !moved); };

    PopupMenuTransp = new QMenu(MemoTransp);
    PopupMenuTransp->setObjectName(QStringLiteral("PopupMenuTransp"));
    PopUpOpenFile = MenuItem(PopupMenuTransp, MemoTransp, "PopUpOpenFile", QStringLiteral("Открыть..."),
                             QKeySequence(Qt::CTRL | Qt::Key_O));
    PopupMenuTransp->addSeparator();
    PopUpCut = MenuItem(PopupMenuTransp, MemoTransp, "PopUpCut", QStringLiteral("Вырезать"), QKeySequence::Cut);
    PopUpCopy = MenuItem(PopupMenuTransp, MemoTransp, "PopUpCopy", QStringLiteral("Копировать"), QKeySequence::Copy);
    PopUpPaste = MenuItem(PopupMenuTransp, MemoTransp, "PopUpPaste", QStringLiteral("Вставить"), QKeySequence::Paste);
    PopUpDelete = MenuItem(PopupMenuTransp, MemoTransp, "PopUpDelete", QStringLiteral("Удалить"), QKeySequence::Delete);
    PopUpUndo = MenuItem(PopupMenuTransp, MemoTransp, "PopUpUndo", QStringLiteral("Отменить"), QKeySequence::Undo);
    PopupMenuTransp->addSeparator();
    PopUpSelectAll = MenuItem(PopupMenuTransp, MemoTransp, "PopUpSelectAll", QStringLiteral("Выделить все"),
                              QKeySequence::SelectAll);
    PopUpSave = MenuItem(PopupMenuTransp, MemoTransp, "PopUpSave", QStringLiteral("Сохранить..."),
                         QKeySequence(Qt::CTRL | Qt::Key_S));
    PopUpFont = MenuItem(PopupMenuTransp, MemoTransp, "PopUpFont", QStringLiteral("Шрифт..."),
                         QKeySequence(Qt::CTRL | Qt::Key_F));
    PopupMenuTransp->addSeparator();
    auto *sound = new QMenu(PopupMenuTransp);
    auto *soundItem = new TMenuItem(QStringLiteral("PopUpChordSound"), PopupMenuTransp, QStringLiteral("Звучание аккордов"));
    soundItem->setMenu(sound);
    PopupMenuTransp->addAction(soundItem);
    auto *octave = new QActionGroup(sound);
    PopUpChordNormal = new TMenuItem(QStringLiteral("PopUpChordNormal"), sound, QStringLiteral("Обычное"));
    PopUpChordHigher = new TMenuItem(QStringLiteral("PopUpChordHigher"), sound, QStringLiteral("На 1 октаву выше"));
    for (QAction *item : {PopUpChordNormal, PopUpChordHigher}) {
        sound->addAction(item);
        item->setCheckable(true);
        octave->addAction(item);
    }
    PopUpChordNormal->setChecked(true);
    PopUpPreview = MenuItem(PopupMenuTransp, MemoTransp, "PopUpPreview", QStringLiteral("Предпросмотр..."),
                            QKeySequence(Qt::Key_F9));

    MemoTransp->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(MemoTransp, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        PopupMenuTranspPopup();
        PopupMenuTransp->popup(MemoTransp->mapToGlobal(pos));
    });
    connect(PopUpOpenFile, &QAction::triggered, this, [this] { PopUpOpenFileClick(); });
    connect(PopUpCut, &QAction::triggered, MemoTransp, &QPlainTextEdit::cut);
    connect(PopUpCopy, &QAction::triggered, MemoTransp, &QPlainTextEdit::copy);
    connect(PopUpPaste, &QAction::triggered, this, [this] { PopUpPasteClick(); });
    connect(PopUpDelete, &QAction::triggered, this, [this] { PopUpDeleteClick(); });
    connect(PopUpUndo, &QAction::triggered, MemoTransp, &QPlainTextEdit::undo);
    connect(PopUpSelectAll, &QAction::triggered, MemoTransp, &QPlainTextEdit::selectAll);
    connect(PopUpSave, &QAction::triggered, this, [this] { PopUpSaveClick(); });
    connect(PopUpFont, &QAction::triggered, this, [this] { PopUpFontClick(); });
    connect(PopUpPreview, &QAction::triggered, this, [this] { PopUpPreviewClick(); });

    connect(SrcComboBox, &QComboBox::activated, this, [this] { SrcComboBoxChange(); });
    connect(DestComboBox, &QComboBox::activated, this, [this] { DestComboBoxChange(); });
    connect(SpeedButtonDefault, &QToolButton::clicked, this, [this] { SpeedButtonDefaultClick(); });
    connect(CopyBitBtn, &QPushButton::clicked, this, [this] { CopyBitBtnClick(); });
    connect(PageControl, &QTabWidget::currentChanged, this, [this, shown = PageControl->currentWidget()](int) mutable {
        if (shown == MiscTab && PageControl->currentWidget() != MiscTab)
            MiscTabHide();
        else if (shown != MiscTab && PageControl->currentWidget() == MiscTab)
            MiscTabShow();
        shown = PageControl->currentWidget();
    });
}

void TMainForm::FormatShift()
{
    DestComboBox->SetItems(TransposerTable::BareStepTexts());
}

void TMainForm::SrcComboBoxChange()
{
    // The transposer page may be built after the window shows.
    if (!SrcComboBox)
        return;
    const int key = SrcComboBox->ItemIndex();
    if (key < 0)
        return;
    const QStringList keyRow = TransposerTable::KeyRow(key, EastWestRG->ItemIndex(), OptionsFlats->Checked());
    SetGridRow(StringGrid, 0, keyRow);
    const int kept = DestComboBox->ItemIndex();
    FormatShift();
    DestComboBox->SetItems(TransposerTable::StepTexts(keyRow));
    DestComboBox->SetItemIndex(kept);
    if (kept >= 0)
        DestComboBoxChange();
}

void TMainForm::DestComboBoxChange()
{
    if (!DestComboBox)
        return;
    TransposeMemo();
    const int step = DestComboBox->ItemIndex();
    const QStringList keyRow = GridRow(StringGrid, 0);
    // Without a key there is nothing to move in the table.
    if (!keyRow.value(0).isEmpty())
        SetGridRow(StringGrid, 1, TransposerTable::MovedRow(keyRow, step));
}

void TMainForm::TransposeMemo()
{
    const int step = DestComboBox->ItemIndex();
    if (step >= 0)
        MoveSongText(step, EastWestRG->ItemIndex());
}

void TMainForm::MoveSongText(int step, int notation)
{
    // The preview shows the moved song next: what was edited there moves with it.
    if (FormPreview)
        FormPreview->GiveBackEdits();
    const QString text = MemoTransp->Text();
    const UnitTransp::TSpelling spelling{notation, OptionsFlats->Checked()};
    // An untouched song moves from its text at "=": a chord a step moved onto "A" before a
    // lower-case word would read as the article from there on and stay behind.
    if (FState.previousTransposerStep == UnitTransp::NoStepIndex) {
        FState.songAtNoStep = text;
        FState.songMovesFromNoStep = true;
    } else if (text != FState.songAsMoved || notation != FState.songNotation) {
        FState.songMovesFromNoStep = false;
    }
    const QString moved =
        FState.songMovesFromNoStep
            ? UnitTransp::TransposeText(FState.songAtNoStep, UnitTransp::TranspOffset(UnitTransp::NoStepIndex, step),
                                        spelling)
            : UnitTransp::TransposeText(text, UnitTransp::TranspOffset(FState.previousTransposerStep, step), spelling);
    if (moved != text) {
        // The reader keeps his place in a long song, and a paste lands where it was aimed.
        const int anchor = MemoTransp->textCursor().anchor();
        const int caret = MemoTransp->textCursor().position();
        const int scroll = MemoTransp->verticalScrollBar()->value();
        const int hscroll = MemoTransp->horizontalScrollBar()->value();
        MemoTransp->SetText(moved);
        QTextCursor cursor = MemoTransp->textCursor();
        cursor.setPosition(int(UnitTransp::MovedPosition(text, moved, anchor)));
        cursor.setPosition(int(UnitTransp::MovedPosition(text, moved, caret)), QTextCursor::KeepAnchor);
        MemoTransp->setTextCursor(cursor);
        MemoTransp->verticalScrollBar()->setValue(scroll);
        MemoTransp->horizontalScrollBar()->setValue(hscroll);
    }
    FState.songAsMoved = MemoTransp->Text();
    if (FormPreview && FormPreview->FromSongText())
        FormPreview->Fill(FState.songAsMoved, true);
    FState.previousTransposerStep = step;
    FState.songNotation = notation;
}

void TMainForm::SpeedButtonDefaultClick()
{
    if (!SrcComboBox)
        return;
    SrcComboBox->SetItemIndex(-1);
    FormatShift();
    DestComboBox->SetItemIndex(UnitTransp::NoStepIndex);
    DestComboBoxChange();
    FState.previousTransposerStep = UnitTransp::NoStepIndex;
    SetGridRow(StringGrid, 0, {});
    SetGridRow(StringGrid, 1, {});
}

void TMainForm::CopyBitBtnClick()
{
    const QString text = TransposerTable::TableText(GridRow(StringGrid, 0), GridRow(StringGrid, 1));
    if (!text.isEmpty())
        QGuiApplication::clipboard()->setText(text);
}

void TMainForm::TransposerNotationChanged()
{
    if (!SrcComboBox)
        return;
    const int key = SrcComboBox->ItemIndex();
    FillRootList(SrcComboBox);
    // The list keeps showing no key until the user picks one.
    const bool blocked = SrcComboBox->blockSignals(true);
    SrcComboBox->SetItemIndex(key);
    SrcComboBox->blockSignals(blocked);
    if (key >= 0)
        SrcComboBoxChange();
}

void TMainForm::PopupMenuTranspPopup()
{
    const bool selection = MemoTransp->textCursor().hasSelection();
    PopUpUndo->setEnabled(MemoTransp->document()->isUndoAvailable());
    PopUpCut->setEnabled(selection);
    PopUpCopy->setEnabled(selection);
    PopUpDelete->setEnabled(!MemoTransp->document()->isEmpty());
    PopUpPaste->setEnabled(TMemo::HoldsText(QGuiApplication::clipboard()->mimeData()));
}

qint64 TMainForm::FileSizeOf(const QString &fileName)
{
    const QFileInfo info(fileName);
    return info.exists() ? info.size() : -1;
}

QString TMainForm::OpenDialogFilter() const
{
    return Ids(301) + QStringLiteral(" (*.txt)");
}

void TMainForm::PopUpOpenFileClick()
{
    const QString fileName = QFileDialog::getOpenFileName(this, QString(), QString(), OpenDialogFilter());
    if (!fileName.isEmpty())
        OpenSongFile(fileName);
}

bool TMainForm::OpenSongFile(const QString &fileName)
{
    const auto tooLong = [this] {
        Application::MessageBox(Ids(33) + CrLf + Ids(34), Ids(188), Application::MB_ICONWARNING, this);
        return false;
    };
    if (FileSizeOf(fileName) >= MaxSongLength)
        return tooLong();
    // A pipe or a device has no size to check, may never end, and a pipe waits for a writer even
    // to open: only files are songs.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile()) {
        Application::MessageBox(fileName + CrLf + Ids(300), Ids(1), Application::MB_ICONERROR, this);
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        Application::MessageBox(fileName + CrLf + file.errorString(), Ids(1), Application::MB_ICONERROR, this);
        return false;
    }
    // A file that grew since its size was checked is read no further than the limit.
    const QByteArray bytes = file.read(MaxSongLength);
    if (bytes.size() >= MaxSongLength)
        return tooLong();
    if (!xlat::LooksLikeText(bytes)) {
        Application::MessageBox(fileName + CrLf + Ids(300), Ids(1), Application::MB_ICONERROR, this);
        return false;
    }
    SpeedButtonDefaultClick();
    MemoTransp->SetText(EditorLineBreaks(xlat::DecodeSongText(bytes)));
    // A "Unicode" song from Windows is offered back in UTF-16, which that program reads too.
    if (!MemoTransp->Text().isEmpty()) {
        const xlat::TSongEncoding found = xlat::DetectSongEncoding(bytes);
        FSongUnicode = found == xlat::TSongEncoding::Utf8Bom || found == xlat::TSongEncoding::Utf16LE ||
                       found == xlat::TSongEncoding::Utf16BE;
    }
    MemoTransp->document()->setModified(false);
    if (OptionsCheckText && OptionsCheckText->Checked())
        CheckSongText(MemoTransp->Text());
    return true;
}

void TMainForm::PopUpSaveClick()
{
    const QStringList filters = {QStringLiteral("UTF-8 (*.txt)"), QStringLiteral("UTF-16 (*.txt)"),
                                 QStringLiteral("Windows-1251 (*.txt)")};
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.at(SongSaveEncoding()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    SaveSongFile(dialog.selectedFiles().first(), qMax(0, int(filters.indexOf(dialog.selectedNameFilter()))));
}

bool TMainForm::SaveSongFile(const QString &fileName, int encoding)
{
    static const xlat::TSaveEncoding encodings[] = {xlat::TSaveEncoding::Utf8, xlat::TSaveEncoding::Utf16,
                                                    xlat::TSaveEncoding::Windows1251};
    const QString text = MemoTransp->Text();
    const xlat::TSaveEncoding chosen = encodings[qBound(0, encoding, 2)];
    const QByteArray bytes = xlat::EncodeSongText(text, chosen);
    // Characters the code page lacks would come back as "?": the user decides, not the encoder.
    if (chosen == xlat::TSaveEncoding::Windows1251 &&
        xlat::DecodeSongText(bytes, xlat::TSongEncoding::Windows1251) != text &&
        Application::MessageBox(Ids(302), Ids(188), Application::MB_YESNO | Application::MB_ICONWARNING, this) !=
            Application::IDYES)
        return false;
    // A failed save leaves the old file whole.
    QString error;
    if (!IniText::WriteFileAtomically(fileName, bytes, &error)) {
        Application::MessageBox(fileName + CrLf + error, Ids(1), Application::MB_ICONERROR, this);
        return false;
    }
    MemoTransp->document()->setModified(false);
    return true;
}

void TMainForm::PopUpPasteClick()
{
    const QMimeData *clip = QGuiApplication::clipboard()->mimeData();
    InsertSongText(TMemo::HoldsText(clip) ? clip->text() : QString(), true);
}

qsizetype TMainForm::SongTextRoom() const
{
    const QTextCursor cursor = MemoTransp->textCursor();
    const qsizetype kept = MemoTransp->document()->characterCount() - 1 - cursor.selectedText().size();
    return MaxSongLength - kept;
}

void TMainForm::InsertSongText(const QString &pasted, bool newText)
{
    // Text from elsewhere may be a song in another key: the page starts again from its key.
    if (newText)
        SpeedButtonDefaultClick();
    QTextCursor cursor = MemoTransp->textCursor();
    const QString text = EditorLineBreaks(pasted);
    const qsizetype room = SongTextRoom();
    if (text.isEmpty() || room <= 0)
        return;
    // A cut between the two halves of a character would leave half a character behind.
    qsizetype taken = qMin(room, text.size());
    if (taken < text.size() && text.at(taken - 1).isHighSurrogate())
        --taken;
    if (taken == 0)
        return;
    cursor.insertText(text.left(taken));
    MemoTransp->setTextCursor(cursor);
    if (newText && OptionsCheckText && OptionsCheckText->Checked())
        CheckSongText(MemoTransp->Text());
}

void TMainForm::PopUpDeleteClick()
{
    QTextCursor cursor = MemoTransp->textCursor();
    if (cursor.hasSelection())
        cursor.removeSelectedText();
    else
        cursor.deleteChar();
    MemoTransp->setTextCursor(cursor);
}

void TMainForm::PopUpFontClick()
{
    bool ok = false;
    // The dialog knows only installed families: from a missing one (Courier New) it would start
    // on its first family, and OK alone would turn the song's columns proportional. It knows
    // styles only by their names too: a regular face called "Book" would start on "Oblique".
    QFont shown = MemoTransp->font();
    const QFontInfo drawn(shown);
    shown.setFamily(drawn.family());
    shown.setStyleName(drawn.styleName());
    QFont font = QFontDialog::getFont(&ok, shown, this);
    if (!ok)
        return;
    // Only a size the settings take back is kept.
    if (font.pointSize() > Settings::MaxFontSize)
        font.setPointSize(Settings::MaxFontSize);
    MemoTransp->SetFont(font);
}

void TMainForm::ChangeMemoFontSize(TMemo *memo, int delta)
{
    if (memo->document()->isEmpty())
        return;
    QFont font = memo->font();
    if (font.pixelSize() > 0)
        font.setPixelSize(qMax(1, font.pixelSize() + delta));
    else
        font.setPointSize(qBound(Settings::MinFontSize, font.pointSize() + delta, Settings::MaxFontSize));
    memo->SetFont(font);
}

void TMainForm::PopUpPreviewClick()
{
    MemoTranspDblClick(MemoTransp);
}

void TMainForm::MemoTranspDblClick(TMemo *Sender)
{
    if (!Sender)
        return;
    if (!FormPreview)
        FormPreview = new TFormPreview(this);
    FormPreview->GiveBackEdits();
    FormPreview->Fill(Sender->Text(), Sender == MemoTransp);
    FormPreview->MemoPreview->SetFont(Sender->font());
    if (Sender == MemoTransp) {
        // Chords clicked in the preview show on the chord page above it.
        PageControl->setCurrentIndex(0);
        const QScreen *screen = this->screen();
        const int top = screen ? screen->availableGeometry().top() + 5 : 5;
        move(x(), top);
        FormPreview->move(frameGeometry().left(), frameGeometry().top() + frameGeometry().height());
        KeepOnScreen(FormPreview, screen, windowHandle() ? windowHandle()->frameMargins() : QMargins());
    }
    // Not a dialog, so no window manager keeps it above a main window that is kept on top.
    const bool onTop = OptionsAlwaysOnTop->Checked();
    if (FormPreview->windowFlags().testFlag(Qt::WindowStaysOnTopHint) != onTop)
        FormPreview->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    FormPreview->show();
    FormPreview->raise();
    FormPreview->activateWindow();
}

void TMainForm::MemoTranspMouseDown(TMemo *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                                    int caretIndex)
{
    if (!Sender || Button != Qt::LeftButton || !(Shift & Qt::ControlModifier) || Sender->document()->isEmpty())
        return;
    const QString word = ChordUnderPointer::WordAt(Sender->Text(), caretIndex);
    if (word.isEmpty())
        return;
    const ChordUnderPointer::TChordWord chord = ChordUnderPointer::ParseChordWord(word);
    if (!chord.valid)
        return;
    const QString canonical = CanonicalChordType(chord.typeText);
    if (canonical.isEmpty())
        return;
    const int notation = EastWestRG->ItemIndex();
    const bool blocked = ChordType->blockSignals(true);
    const int typeIndex = ChordType->IndexOfText(canonical);
    if (typeIndex >= 0)
        ChordType->SetItemIndex(typeIndex);
    else
        ChordType->SetText(canonical);
    ChordType->blockSignals(blocked);
    Root->SetItemIndex(ChordUnderPointer::RootIndexOf(chord.root, notation));
    Bass->SetItemIndex(chord.bassText.isEmpty() ? 0 : ChordUnderPointer::BassIndexOf(chord.bassText, notation));
    ChordTypeChange();
    if (!chord.romanFret.isEmpty())
        ShowChordWithFretNumber(chord.romanFret);
    PlayChordBtnClick(Sender);
}

void TMainForm::CheckSongText(const QString &text)
{
    using SongTextCheck::TNotationQuestion;
    const TNotationQuestion question = SongTextCheck::CheckSongText(text, EastWestRG->ItemIndex());
    if (question == TNotationQuestion::None)
        return;
    QStringList lines;
    int answerYes = 0;
    switch (question) {
    case TNotationQuestion::SwitchToEast:
        lines = {Ids(193), Ids(194), Ids(195)};
        answerYes = 0;
        break;
    case TNotationQuestion::SwitchToWest:
        lines = {Ids(198), Ids(194), Ids(195)};
        answerYes = 1;
        break;
    case TNotationQuestion::NonRussian:
        lines = {Ids(202), Ids(203), Ids(204), Ids(205)};
        answerYes = 1;
        break;
    case TNotationQuestion::None:
        return;
    }
    const int answer = Application::MessageBox(lines.join(CrLf), Ids(188),
                                               Application::MB_YESNO | Application::MB_ICONQUESTION, this);
    if (answer == Application::IDYES)
        EastWestRG->SetItemIndex(answerYes);
    // The language question leaves the caption alone unless the notation changed.
    if (question != TNotationQuestion::NonRussian || answer == Application::IDYES)
        ShowNotationHint();
}

void TMainForm::ShowNotationHint()
{
    SetCaption(Ids(EastWestRG->ItemIndex() == 1 ? 207 : 208));
}

void TMainForm::MiscTabShow()
{
    ShowNotationHint();
}

void TMainForm::MiscTabHide()
{
    SetCaption(QStringLiteral("Vexo Veltrasomin ") + FState.versionText);
}
