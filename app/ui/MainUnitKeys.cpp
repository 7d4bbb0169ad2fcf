// The keyboard: single keys of the chord page, F1 and Esc everywhere, and the window's own key
// handler that sees every key before the focused control does.
#include "app/ui/MainUnit.h"

#include "app/ui/UnitPreview.h"
#include "toolkit/VxTrayIcon.h"
#include "platform/vcl/ActionList.h"
#include "platform/vcl/Application.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QWindow>
#include <utility>

namespace {

bool PlainKey(const QKeyEvent *key, std::initializer_list<int> keys)
{
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    return mods == Qt::NoModifier && std::find(keys.begin(), keys.end(), key->key()) != keys.end();
}

// Watches the window's keys on their way in, and keeps the chord-type box from taking the keys
// that the chord page's actions handle for it.
class TKeyPreview : public QObject
{
public:
    explicit TKeyPreview(TMainForm *form) : QObject(form), FForm(form)
    {
        form->installEventFilter(this);
        FForm->ChordType->installEventFilter(this);
        FForm->ChordType->lineEdit()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Only the events asked for look at the form's controls: while the window is destroyed
        // its filter still sees the removal of pages whose controls are gone.
        switch (event->type()) {
        case QEvent::Show:
            // The window's native handle exists once it is shown and is made anew when its flags change.
            if (watched == FForm && FForm->windowHandle())
                FForm->windowHandle()->installEventFilter(this);
            break;
        case QEvent::KeyPress:
            if (watched == FForm->windowHandle()) {
                const auto *key = static_cast<QKeyEvent *>(event);
                FForm->FormKeyDown(key->key(), key->modifiers());
                // The table copied whole above; its own Ctrl+C would put one cell over it.
                if (key->key() == Qt::Key_C && (key->modifiers() & Qt::ControlModifier) && FForm->StringGrid &&
                    FForm->focusWidget() == FForm->StringGrid)
                    return true;
                // Ctrl on the chord page took the focus from every control, so Ctrl+Tab would
                // reach the window instead of the pages and the chord page could not be left.
                if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
                    (key->modifiers() & Qt::ControlModifier) && !FForm->focusWidget()) {
                    QCoreApplication::sendEvent(FForm->PageControl, event);
                    return true;
                }
            }
            break;
        case QEvent::ShortcutOverride:
            if ((watched == FForm->ChordType || watched == FForm->ChordType->lineEdit()) &&
                FForm->ActionListChord->State() == TActionList::asNormal &&
                PlainKey(static_cast<QKeyEvent *>(event), {Qt::Key_Left, Qt::Key_Right, Qt::Key_Delete, Qt::Key_Space})) {
                event->ignore();
                return true;
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    TMainForm *FForm;
};

} // namespace

// A list or menu may close on Esc before the window's Esc action sees the key, so whether one
// was open is noted when the key arrives.
class TEscapeWatch : public QObject
{
public:
    explicit TEscapeWatch(TMainForm *form) : QObject(form), FForm(form) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::ShortcutOverride || type == QEvent::KeyPress || type == QEvent::KeyRelease) &&
            static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            if (type == QEvent::KeyRelease)
                FForm->FEscapeClosesPopup = false;
            else if (QApplication::activePopupWidget())
                FForm->FEscapeClosesPopup = true;
        }
        return false;
    }

private:
    TMainForm *FForm;
};

namespace {

QString Numbered(const char *prefix, int n)
{
    return QLatin1String(prefix) + QString::number(n);
}

} // namespace

void TMainForm::CreateActions()
{
    ActionListChord = new TActionList(QStringLiteral("ActionListChord"), this, TActionList::asSuspended);
    ActionPlay = ActionListChord->AddAction(QStringLiteral("ActionPlay"), QKeySequence(Qt::Key_Space), this);
    ActionNext = ActionListChord->AddAction(QStringLiteral("ActionNext"), QKeySequence(Qt::Key_Right), this);
    ActionBack = ActionListChord->AddAction(QStringLiteral("ActionBack"), QKeySequence(Qt::Key_Left), this);
    ActionRootDown = ActionListChord->AddAction(QStringLiteral("ActionRootDown"), QKeySequence(Qt::Key_Delete), this);
    ActionRootUp = ActionListChord->AddAction(QStringLiteral("ActionRootUp"), QKeySequence(Qt::Key_Insert), this);
    ActionChordTypeDown =
        ActionListChord->AddAction(QStringLiteral("ActionChordTypeDown"), QKeySequence(Qt::Key_PageDown), this);
    ActionChordTypeUp =
        ActionListChord->AddAction(QStringLiteral("ActionChordTypeUp"), QKeySequence(Qt::Key_PageUp), this);
    ActionCopy = ActionListChord->AddAction(QStringLiteral("ActionCopy"), QKeySequence(), this);
    ActionListGeneral = new TActionList(QStringLiteral("ActionListGeneral"), this);
    ActionHelp = ActionListGeneral->AddAction(QStringLiteral("ActionHelp"), QKeySequence(Qt::Key_F1), this);
    ActionEscape = ActionListGeneral->AddAction(QStringLiteral("ActionEscape"), QKeySequence(Qt::Key_Escape), this);

    const std::pair<QAction *, void (TMainForm::*)()> handlers[] = {
        {ActionPlay, &TMainForm::ActionPlayExecute},
        {ActionNext, &TMainForm::ActionNextExecute},
        {ActionBack, &TMainForm::ActionBackExecute},
        {ActionRootDown, &TMainForm::ActionRootDownExecute},
        {ActionRootUp, &TMainForm::ActionRootUpExecute},
        {ActionChordTypeDown, &TMainForm::ActionChordTypeDownExecute},
        {ActionChordTypeUp, &TMainForm::ActionChordTypeUpExecute},
        {ActionCopy, &TMainForm::ActionCopyExecute},
        {ActionHelp, &TMainForm::ActionHelpExecute},
        {ActionEscape, &TMainForm::ActionEscapeExecute},
    };
    for (const auto &[action, handler] : handlers)
        connect(action, &QAction::triggered, this, [this, handler = handler] { (this->*handler)(); });
    new TKeyPreview(this);
    new TEscapeWatch(this);

    // The window opens on the chord page, which counts as showing it.
    if (PageControl->currentWidget() == MainTab)
        ActionListChord->SetState(TActionList::asNormal);
}

namespace {

bool PreviewOpen(const TMainForm *form)
{
    return form->FormPreview && form->FormPreview->isVisible();
}

// While the preview is open its keys must reach the controls, until the chord page shows again.
bool KeysBelongToPreview(TMainForm *form)
{
    if (!PreviewOpen(form))
        return false;
    form->ActionListChord->SetState(TActionList::asSuspended);
    return true;
}

bool ChordTypeFocused(const TMainForm *form)
{
    const QWidget *focus = form->focusWidget();
    return focus && (focus == form->ChordType || focus == form->ChordType->lineEdit());
}

} // namespace

void TMainForm::ActionPlayExecute()
{
    if (KeysBelongToPreview(this))
        return;
    PlayChordBtn->click();
}

void TMainForm::ActionNextExecute()
{
    if (KeysBelongToPreview(this))
        return;
    if (ChordTypeFocused(this)) {
        QLineEdit *edit = ChordType->lineEdit();
        if (edit->hasSelectedText())
            edit->setCursorPosition(edit->selectionEnd());
        else
            edit->cursorForward(false);
        return;
    }
    if (ButtonNext->isEnabled())
        ButtonNext->click();
}

void TMainForm::ActionBackExecute()
{
    if (KeysBelongToPreview(this))
        return;
    if (ChordTypeFocused(this)) {
        QLineEdit *edit = ChordType->lineEdit();
        if (edit->hasSelectedText())
            edit->setCursorPosition(edit->selectionStart());
        else
            edit->cursorBackward(false);
        return;
    }
    if (ButtonBack->isEnabled())
        ButtonBack->click();
}

void TMainForm::ActionRootDownExecute()
{
    if (KeysBelongToPreview(this))
        return;
    if (ChordTypeFocused(this)) {
        {
            // The change is applied once, below, not again by the box's own report.
            const QSignalBlocker blocker(ChordType);
            ChordType->lineEdit()->del();
        }
        ChordTypeChange();
        return;
    }
    if (Root->ItemIndex() >= Root->count() - 1)
        return;
    Root->SetItemIndex(Root->ItemIndex() + 1);
    RootChange();
}

void TMainForm::ActionRootUpExecute()
{
    if (Root->ItemIndex() <= 0)
        return;
    Root->SetItemIndex(Root->ItemIndex() - 1);
    RootChange();
}

void TMainForm::ActionChordTypeDownExecute()
{
    if (ChordType->ItemIndex() >= ChordType->count() - 1)
        return;
    {
        const QSignalBlocker blocker(ChordType);
        ChordType->SetItemIndex(ChordType->ItemIndex() + 1);
    }
    ChordTypeChange();
}

void TMainForm::ActionChordTypeUpExecute()
{
    if (ChordType->ItemIndex() <= 0)
        return;
    {
        const QSignalBlocker blocker(ChordType);
        ChordType->SetItemIndex(ChordType->ItemIndex() - 1);
    }
    ChordTypeChange();
}

void TMainForm::ActionCopyExecute()
{
    ChordNetBtn->click();
}

void TMainForm::ActionEscapeExecute()
{
    // Esc that closes a list, a menu or the completer is spent on it.
    if (std::exchange(FEscapeClosesPopup, false) || QApplication::activePopupWidget())
        return;
    if (OptionsTrayIcon->Checked()) {
        VxTrayIcon->HideApplication();
        return;
    }
    // Leaving by Esc keeps the settings like every other way out.
    close();
    Application::Terminate();
}

void TMainForm::FormKeyDown(int Key, Qt::KeyboardModifiers Shift)
{
    const QWidget *page = PageControl->currentWidget();
    if (Key == Qt::Key_F5)
        OptionsFlats->SetChecked(!OptionsFlats->Checked());
    // Ctrl with the focus in a chord-page box would be taken by the box: Ctrl+C copies the chord.
    const bool ctrl = (Shift & Qt::ControlModifier) || Key == Qt::Key_Control;
    if (ctrl && page == MainTab && focusWidget())
        focusWidget()->clearFocus();
    if (Key == Qt::Key_C && (Shift & Qt::ControlModifier)) {
        if (page == MainTab) {
            ActionCopyExecute();
        } else if (page == MiscTab) {
            // A selection in the song text is copied by the editor itself.
            const bool editorCopies = focusWidget() == MemoTransp && MemoTransp->textCursor().hasSelection();
            if (!editorCopies)
                CopyBitBtn->click();
        }
    }
    if (page == TuningTab && Key >= Qt::Key_1 && Key <= Qt::Key_6) {
        int n = Key - Qt::Key_0;
        // A four-string tuning hides strings 1 and 2: the keys count from the top visible string.
        const bool sixStrings = !TuningTab->findChild<TSpeedButton *>(QStringLiteral("SpeedButton1"))->isHidden();
        if (!sixStrings)
            n = n <= 4 ? n + 2 : 0;
        if (n > 0)
            if (auto *button = TuningTab->findChild<TSpeedButton *>(Numbered("SpeedButton", n)))
                button->click();
    }
}
