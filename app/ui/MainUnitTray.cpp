// The notification-area icon with its menu, and the global hot key: both bring the window back.
#include "app/ui/MainUnit.h"

#include "app/ui/LazyIcon.h"
#include "app/ui/WindowEvents.h"
#include "platform/desktop/WindowPlace.h"
#include "platform/vcl/Application.h"
#include "toolkit/VxAppHotKey.h"
#include "toolkit/VxTrayIcon.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QStyle>

namespace {
// Ctrl+Alt+F1..F12 switch consoles on Linux and never reach a program.
const QString DefaultHotKey = QStringLiteral("Ctrl+Shift+F10");

// A logout through the session manager asks the application to quit, and the toolkit then closes
// the windows in an order of its own. The main window goes first, as when the user closes it:
// after the preview it would store the place it was moved to for the preview as the user's.
class TQuitWatch : public QObject
{
public:
    explicit TQuitWatch(QWidget *form) : QObject(form), FForm(form) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Quit || watched != qApp)
            return false;
        if (FForm->isVisible())
            FForm->close();
        else
            // Hidden in the notification area, or not shown yet while a message of the start
            // waits: the toolkit's quit would end only that wait, and the start would go on to
            // show the window. It ends as on a termination signal instead.
            Application::Terminate();
        return false;
    }

private:
    QWidget *FForm;
};
} // namespace

void TMainForm::CreateTrayComponents()
{
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    PopUpOpen = new TMenuItem(QStringLiteral("PopUpOpen"), PopupMenu, QStringLiteral("Открыть"));
    PopUpExit = new TMenuItem(QStringLiteral("PopUpExit"), PopupMenu, QStringLiteral("Выход"));
    PopupMenu->addAction(PopUpOpen);
    PopupMenu->addSeparator();
    PopupMenu->addAction(PopUpExit);
    connect(PopUpOpen, &QAction::triggered, this, [this] { PopUpOpenClick(); });
    connect(PopUpExit, &QAction::triggered, this, [this] { PopUpExitClick(); });

    VxTrayIcon = new TVxTrayIcon(QStringLiteral("VxTrayIcon"), this);
    // The style's computer icon; the notification area looks it up when it first shows it.
    VxTrayIcon->SetIcon(LazyIcon::Standard(QStyle::SP_ComputerIcon));
    VxTrayIcon->SetPopupMenu(PopupMenu);
    VxTrayIcon->SetVisibility(tvVisibleTaskBar | tvVisibleTaskList | tvAutoHide | tvAutoHideIcon | tvRestoreClick |
                              tvRestoreDbClick);
    VxTrayIcon->SetActive(true);

    VxAppHotKey = new TVxApplicationHotKey(QStringLiteral("VxAppHotKey"), this);
    VxAppHotKey->SetHotKey(TVxApplicationHotKey::TextToShortCut(DefaultHotKey));
    VxAppHotKey->SetActive(true);
    connect(VxAppHotKey, &TVxApplicationHotKey::OnHotKey, this, [this] { VxAppHotKeyHotKey(); });
    new TQuitWatch(this);
}

void TMainForm::HideToTray()
{
    FStartHidden = true;
    VxTrayIcon->HideApplication();
}

void TMainForm::PopUpOpenClick()
{
    // Withdrawn from the screen by another program, the window is still open as far as the toolkit knows.
    WindowPlace::MapWithdrawn(windowHandle());
    const bool onScreen = isVisible();
    VxTrayIcon->ShowApplication();
    // A window minimized where the desktop takes no restore from its program (Wayland: by its title
    // bar, or for want of a notification area) would stay out of reach: shown anew, it comes up on
    // top.
    // Not behind an open modal window, which is the one the user must reach.
    if (onScreen && !WindowPlace::Raisable() && !QApplication::activeModalWidget()) {
        hide();
        show();
    }
    raise();
    activateWindow();
    // A window that must be answered first comes back too: minimized on its own (a message box
    // shown while this window was still being built), it would leave this one blocked with
    // nothing on screen to answer.
    WindowEvents::BringModalWindowBack();
}

void TMainForm::VxAppHotKeyHotKey()
{
    PopUpOpenClick();
}

void TMainForm::PopUpExitClick()
{
    // Closing first keeps the settings, as every other way out of the program does.
    close();
    Application::Terminate();
}
