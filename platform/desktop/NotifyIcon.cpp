#include "platform/desktop/NotifyIcon.h"

#include "platform/desktop/WindowPlace.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <xcb/xcb.h>
// After Qt: its macros clash with names Qt uses.
#include <X11/Xlib.h>

namespace {

// The screen of the display that the program's windows and its icon go to.
int ProgramScreen(const QNativeInterface::QX11Application *x11)
{
    if (Display *display = x11->display())
        return DefaultScreen(display);
    char *host = nullptr;
    int number = 0, screen = 0;
    const bool parsed = xcb_parse_display(nullptr, &host, &number, &screen);
    std::free(host);
    return parsed ? screen : 0;
}

} // namespace

TNotifyIcon::TNotifyIcon(QObject *parent) : QObject(parent) {}

TNotifyIcon::~TNotifyIcon()
{
    Remove();
}

bool TNotifyIcon::Available()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TNotifyIcon::X11AreaHeld()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    // One area per X screen, and the icon goes only into the area of the screen the program shows
    // on: an area on another screen of the display is no place for it.
    const QByteArray name = "_NET_SYSTEM_TRAY_S" + QByteArray::number(ProgramScreen(x11));
    xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(name.size()), name.constData()), nullptr);
    const xcb_atom_t selection = atom ? atom->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(atom);
    if (selection == XCB_ATOM_NONE)
        return false;
    xcb_get_selection_owner_reply_t *owner =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
    const bool held = owner && owner->owner != XCB_WINDOW_NONE;
    std::free(owner);
    return held;
}

void TNotifyIcon::Apply(const QIcon &icon, const QString &tip, QMenu *menu)
{
    FIcon->setIcon(icon);
    FIcon->setToolTip(tip);
    FIcon->setContextMenu(menu);
}

bool TNotifyIcon::Add(const QIcon &icon, const QString &tip, QMenu *menu)
{
    if (FShown)
        return true;
    if (!Available())
        return false;
    if (!FIcon) {
        FIcon = new QSystemTrayIcon(this);
        connect(FIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            switch (reason) {
            case QSystemTrayIcon::Trigger: emit Clicked(); break;
            case QSystemTrayIcon::DoubleClick: emit DoubleClicked(); break;
            case QSystemTrayIcon::MiddleClick: emit MiddleClicked(); break;
            case QSystemTrayIcon::Context: emit ContextRequested(); break;
            default: break;
            }
        });
        connect(FIcon, &QSystemTrayIcon::messageClicked, this, &TNotifyIcon::MessageClicked);
        // The area keeps the icon in a window of the program's; another program destroying it
        // takes the icon out of the area, and put there anew it is back.
        WindowPlace::WatchDestroyed(this, [this](QWindow *lost) {
            const QWidget *window = QWidget::find(lost->winId());
            if (FShown && window && window->inherits("QSystemTrayIconSys")) {
                FIcon->hide();
                FIcon->show();
            }
        });
    }
    Apply(icon, tip, menu);
    FIcon->show();
    FShown = FIcon->isVisible();
    return FShown;
}

void TNotifyIcon::Modify(const QIcon &icon, const QString &tip, QMenu *menu)
{
    if (FIcon)
        Apply(icon, tip, menu);
}

void TNotifyIcon::Remove()
{
    if (FIcon)
        FIcon->hide();
    FShown = false;
}

void TNotifyIcon::ShowMessage(const QString &title, const QString &text, int icon, int msecs)
{
    if (FIcon && FShown)
        FIcon->showMessage(title, text, QSystemTrayIcon::MessageIcon(icon), msecs);
}
