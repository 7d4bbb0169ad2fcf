#include "app/ui/UnitPreview.h"

#include "app/ui/MainUnit.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

// A window of its own that goes when the main window goes.
TFormPreview::TFormPreview(TMainForm *mainForm)
    : TForm(QStringLiteral("FormPreview"), mainForm), FMainForm(mainForm)
{
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    SetCaption(QStringLiteral("Предпросмотр"));
    resize(781, 466);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    MemoPreview = new TMemo(QStringLiteral("MemoPreview"), this);
    MemoPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoPreview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoPreview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(13);
    MemoPreview->SetFont(font);
    layout->addWidget(MemoPreview);
    // An empty menu, so that the memo shows no context menu of its own.
    PopupMenuFake = new QMenu(this);
    PopupMenuFake->setObjectName(QStringLiteral("PopupMenuFake"));
    MemoPreview->setContextMenuPolicy(Qt::CustomContextMenu);
    MemoPreview->installEventFilter(this);
    MemoPreview->viewport()->installEventFilter(this);
    // Ctrl+wheel zooms over the whole window, its scroll bars too.
    MemoPreview->verticalScrollBar()->installEventFilter(this);
    MemoPreview->horizontalScrollBar()->installEventFilter(this);
    // Centred on the main window.
    if (mainForm)
        move(mainForm->frameGeometry().center() - rect().center());
}

void TFormPreview::Fill(const QString &text, bool fromSongText)
{
    FFromSongText = fromSongText;
    FFilledText = text;
    MemoPreview->SetText(text);
}

void TFormPreview::GiveBackEdits()
{
    // The help text is never written into the song editor.
    if (!FMainForm || !FFromSongText || !FMainForm->MemoTransp)
        return;
    const QString edited = MemoPreview->Text();
    if (edited == FFilledText || FMainForm->MemoTransp->Text() != FFilledText)
        return;
    FMainForm->MemoTransp->SetText(edited);
    FFilledText = edited;
}

void TFormPreview::FormShow()
{
    const bool russian = FMainForm && FMainForm->ActiveLanguage() == 1;
    SetCaption(russian ? QStringLiteral("Предпросмотр") : QStringLiteral("Preview"));
}

void TFormPreview::ChangeFontSize(int delta)
{
    QFont font = MemoPreview->font();
    if (font.pixelSize() > 0)
        font.setPixelSize(qMax(1, font.pixelSize() + delta));
    else
        font.setPointSize(qMax(1, font.pointSize() + delta));
    MemoPreview->SetFont(font);
}

void TFormPreview::FormKeyDown(int key, Qt::KeyboardModifiers shift)
{
    if (key == Qt::Key_Escape) {
        close();
        return;
    }
    if (!(shift & Qt::ControlModifier) || !(shift & Qt::KeypadModifier))
        return;
    if (key == Qt::Key_Plus)
        ChangeFontSize(1);
    else if (key == Qt::Key_Minus)
        ChangeFontSize(-1);
}

void TFormPreview::FormMouseWheel(int delta, Qt::KeyboardModifiers shift)
{
    if (MemoPreview->document()->isEmpty() || !(shift & Qt::ControlModifier) || delta == 0)
        return;
    ChangeFontSize(delta > 0 ? 1 : -1);
}

void TFormPreview::FormClose()
{
    if (FClosed || !FMainForm)
        return;
    FClosed = true;
    FMainForm->FormPreview = nullptr;
    GiveBackEdits();
    if (const QScreen *screen = FMainForm->screen()) {
        QRect frame = FMainForm->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        FMainForm->move(frame.topLeft());
    }
}

void TFormPreview::showEvent(QShowEvent *event)
{
    FormShow();
    TForm::showEvent(event);
}

void TFormPreview::keyPressEvent(QKeyEvent *event)
{
    FormKeyDown(event->key(), event->modifiers());
    TForm::keyPressEvent(event);
}

void TFormPreview::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

bool TFormPreview::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Esc closes this window; the main window's Esc must not take it.
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress: {
        // The window sees keys before its memo.
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool zoom = (key->modifiers() & Qt::ControlModifier) && (key->modifiers() & Qt::KeypadModifier) &&
                          (key->key() == Qt::Key_Plus || key->key() == Qt::Key_Minus);
        if (key->key() == Qt::Key_Escape || zoom) {
            FormKeyDown(key->key(), key->modifiers());
            return true;
        }
        break;
    }
    case QEvent::KeyRelease:
        // A chord started by a Ctrl+click ends with the key.
        if (watched == MemoPreview && FMainForm)
            FMainForm->MemoTranspKeyUp();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: // the second press of a double click
        if (watched == MemoPreview->viewport() && FMainForm) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const int caret = MemoPreview->cursorForPosition(mouse->position().toPoint()).position();
            FMainForm->MemoTranspMouseDown(MemoPreview, mouse->button(), mouse->modifiers(), caret);
        }
        break;
    case QEvent::Wheel: {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            if (const int notches = FWheel.Add(wheel->angleDelta().y()))
                FormMouseWheel(notches, wheel->modifiers());
            return true;
        }
        break;
    }
    default:
        break;
    }
    return TForm::eventFilter(watched, event);
}
