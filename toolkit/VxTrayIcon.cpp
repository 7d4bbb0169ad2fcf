#include "toolkit/VxTrayIcon.h"

#include "platform/desktop/NotifyIcon.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMetaMethod>
#include <QStyle>
#include <QTimer>
#include <QWidget>

TVxTrayIcon::TVxTrayIcon(const QString &name, QWidget *mainForm)
    : QObject(mainForm), FMainForm(mainForm), FNotify(new TNotifyIcon(this)), FClickTimer(new QTimer(this))
{
    setObjectName(name);
    FClickTimer->setSingleShot(true);
    connect(FClickTimer, &QTimer::timeout, this, &TVxTrayIcon::Click);
    connect(FNotify, &TNotifyIcon::Clicked, this, &TVxTrayIcon::ClickArrived);
    connect(FNotify, &TNotifyIcon::DoubleClicked, this, &TVxTrayIcon::DblClick);
}

TVxTrayIcon::~TVxTrayIcon()
{
    FMainForm->removeEventFilter(this);
    RemoveIcon();
}

void TVxTrayIcon::SetActive(bool value)
{
    if (value == FActive)
        return;
    FActive = value;
    if (value) {
        FMainForm->installEventFilter(this);
        AddIcon();
        return;
    }
    FMainForm->removeEventFilter(this);
    RemoveIcon();
    // Without its icon a hidden window could not be reached any more.
    if (FHidden) {
        FHidden = false;
        FVisibility |= tvVisibleTaskBar;
        FMainForm->showMinimized();
    }
}

void TVxTrayIcon::SetHint(const QString &value)
{
    if (value == FHint)
        return;
    FHint = value;
    FNotify->Modify(CurrentIcon(), ShortHint(), FPopupMenu);
}

void TVxTrayIcon::SetIcon(const QIcon &value)
{
    FIcon = value;
    FNotify->Modify(CurrentIcon(), ShortHint(), FPopupMenu);
}

void TVxTrayIcon::SetPopupMenu(QMenu *value)
{
    FPopupMenu = value;
    FNotify->Modify(CurrentIcon(), ShortHint(), FPopupMenu);
}

bool TVxTrayIcon::ApplicationVisible() const
{
    // A window not yet shown for the first time counts as visible: it is about to be.
    return !FHidden && !FMainForm->isMinimized();
}

bool TVxTrayIcon::IconShown() const
{
    return FNotify->Shown();
}

QIcon TVxTrayIcon::CurrentIcon() const
{
    if (!FIcon.isNull())
        return FIcon;
    if (!QApplication::windowIcon().isNull())
        return QApplication::windowIcon();
    if (!FMainForm->windowIcon().isNull())
        return FMainForm->windowIcon();
    return FMainForm->style()->standardIcon(QStyle::SP_ComputerIcon);
}

QString TVxTrayIcon::ShortHint() const
{
    return FHint.section(QLatin1Char('|'), 0, 0).left(127);
}

void TVxTrayIcon::AddIcon()
{
    if (!FActive || IconShown())
        return;
    if ((FVisibility & tvAutoHideIcon) && ApplicationVisible())
        return;
    FNotify->Add(CurrentIcon(), ShortHint(), FPopupMenu);
}

void TVxTrayIcon::RemoveIcon()
{
    FClickTimer->stop();
    FNotify->Remove();
}

void TVxTrayIcon::HideApplication()
{
    if (!FActive || !TNotifyIcon::Available()) {
        FMainForm->showMinimized();
        return;
    }
    FHidden = true;
    FMainForm->hide();
    FVisibility &= ~TTrayVisibility(tvVisibleTaskBar);
    AddIcon();
    // The area refused the icon: a minimized window is still within reach.
    if (!IconShown()) {
        FHidden = false;
        FVisibility |= tvVisibleTaskBar;
        FMainForm->showMinimized();
    }
}

void TVxTrayIcon::ShowApplication()
{
    FHidden = false;
    FVisibility |= tvVisibleTaskBar;
    FMainForm->setWindowState(FMainForm->windowState() & ~Qt::WindowMinimized);
    FMainForm->show();
    if (FVisibility & tvAutoHideIcon)
        RemoveIcon();
}

void TVxTrayIcon::ClickArrived()
{
    const bool clickMatters = isSignalConnected(QMetaMethod::fromSignal(&TVxTrayIcon::OnClick)) ||
                              (FVisibility & (tvRestoreClick | tvMinimizeClick));
    const bool dblClickMatters = isSignalConnected(QMetaMethod::fromSignal(&TVxTrayIcon::OnDblClick)) ||
                                 (FVisibility & (tvRestoreDbClick | tvMinimizeDbClick));
    if (clickMatters && dblClickMatters) {
        if (!FClickTimer->isActive())
            FClickTimer->start(QApplication::doubleClickInterval());
    } else if (clickMatters) {
        Click();
    }
}

void TVxTrayIcon::Click()
{
    emit OnClick(this);
    const bool visible = ApplicationVisible();
    if (visible && (FVisibility & tvMinimizeClick))
        HideApplication();
    else if (!visible && (FVisibility & tvRestoreClick))
        ShowApplication();
}

void TVxTrayIcon::DblClick()
{
    FClickTimer->stop();
    if (isSignalConnected(QMetaMethod::fromSignal(&TVxTrayIcon::OnDblClick))) {
        emit OnDblClick(this);
        return;
    }
    if (FPopupMenu && FPopupMenu->defaultAction())
        FPopupMenu->defaultAction()->trigger();
    const bool visible = ApplicationVisible();
    if (visible && (FVisibility & tvMinimizeDbClick))
        HideApplication();
    else if (!visible && (FVisibility & tvRestoreDbClick))
        ShowApplication();
}

bool TVxTrayIcon::eventFilter(QObject *watched, QEvent *event)
{
    // Minimizing hides the window into the area; it is done after the state change has settled.
    if (watched == FMainForm && event->type() == QEvent::WindowStateChange && FActive &&
        (FVisibility & tvAutoHide) && FMainForm->isMinimized() && TNotifyIcon::Available())
        QTimer::singleShot(0, this, [this] {
            if (FActive && !FHidden && FMainForm->isMinimized())
                HideApplication();
        });
    return false;
}
