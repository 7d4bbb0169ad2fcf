// The notification-area icon with its menu, and the global hot key: both bring the window back.
#include "app/ui/MainUnit.h"

#include "platform/vcl/Application.h"
#include "toolkit/VxAppHotKey.h"
#include "toolkit/VxTrayIcon.h"

#include <QApplication>
#include <QIconEngine>
#include <QMenu>
#include <QPainter>
#include <QStyle>

namespace {
// Ctrl+Alt+F1..F12 switch consoles on Linux and never reach a program.
const QString DefaultHotKey = QStringLiteral("Ctrl+Shift+F10");

// The style's computer icon, looked up in the icon theme only when the notification area first
// shows it: the lookup costs more than the rest of the window's start.
class TStandardIconEngine : public QIconEngine
{
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return Icon().availableSizes(mode, state);
    }
    bool isNull() override { return false; }
    QIconEngine *clone() const override { return new TStandardIconEngine(*this); }

private:
    const QIcon &Icon()
    {
        if (FIcon.isNull())
            FIcon = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
        return FIcon;
    }
    QIcon FIcon;
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
    VxTrayIcon->SetIcon(QIcon(new TStandardIconEngine));
    VxTrayIcon->SetPopupMenu(PopupMenu);
    VxTrayIcon->SetVisibility(tvVisibleTaskBar | tvVisibleTaskList | tvAutoHide | tvAutoHideIcon | tvRestoreClick |
                              tvRestoreDbClick);
    VxTrayIcon->SetActive(true);

    VxAppHotKey = new TVxApplicationHotKey(QStringLiteral("VxAppHotKey"), this);
    VxAppHotKey->SetHotKey(TVxApplicationHotKey::TextToShortCut(DefaultHotKey));
    VxAppHotKey->SetActive(true);
    connect(VxAppHotKey, &TVxApplicationHotKey::OnHotKey, this, [this] { VxAppHotKeyHotKey(); });
}

void TMainForm::HideToTray()
{
    FStartHidden = true;
    VxTrayIcon->HideApplication();
}

void TMainForm::PopUpOpenClick()
{
    VxTrayIcon->ShowApplication();
    raise();
    activateWindow();
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
