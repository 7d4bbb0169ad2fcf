#include "platform/desktop/NotifyIcon.h"

#include <QMenu>
#include <QSystemTrayIcon>

TNotifyIcon::TNotifyIcon(QObject *parent) : QObject(parent) {}

TNotifyIcon::~TNotifyIcon()
{
    Remove();
}

bool TNotifyIcon::Available()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
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
