#include "toolkit/VxTrayIcon.h"

#include "platform/desktop/NotifyIcon.h"
#include "toolkit/VxGraphics.h"
#include "toolkit/VxShellUtils.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QMetaMethod>
#include <QStyle>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace {
constexpr int AreaWatchInterval = 2000; // milliseconds
} // namespace

TVxTrayIcon::TVxTrayIcon(const QString &name, QWidget *mainForm)
    : QObject(mainForm), FMainForm(mainForm), FNotify(new TNotifyIcon(this)), FClickTimer(new QTimer(this)),
      FAnimateTimer(new QTimer(this)), FBalloonTimer(new QTimer(this)), FAreaWatch(new QTimer(this)),
      FIconsLink(new TChangeLink)
{
    setObjectName(name);
    FClickTimer->setSingleShot(true);
    FBalloonTimer->setSingleShot(true);
    FIconsLink->OnChange = [this] { SelectIcon(); };
    connect(FClickTimer, &QTimer::timeout, this, &TVxTrayIcon::Click);
    connect(FAnimateTimer, &QTimer::timeout, this, &TVxTrayIcon::Animate);
    connect(FBalloonTimer, &QTimer::timeout, this, &TVxTrayIcon::HideBalloon);
    // The desktop tells of no area that goes; it is looked for twice, so that a panel that restarts
    // within a moment keeps the window in its area.
    FAreaWatch->setInterval(AreaWatchInterval);
    connect(FAreaWatch, &QTimer::timeout, this, &TVxTrayIcon::WatchArea);
    // The desktop reports a click as one activation at its release.
    connect(FNotify, &TNotifyIcon::Clicked, this, [this] { MouseClicked(Qt::LeftButton, QCursor::pos()); });
    connect(FNotify, &TNotifyIcon::MiddleClicked, this, [this] { MouseClicked(Qt::MiddleButton, QCursor::pos()); });
    connect(FNotify, &TNotifyIcon::DoubleClicked, this, &TVxTrayIcon::DblClick);
    // The desktop reports a right click only as the request for the menu: it is a click as well.
    connect(FNotify, &TNotifyIcon::ContextRequested, this, [this] {
        const QPoint at = QCursor::pos();
        MouseClicked(Qt::RightButton, at);
        ContextPopup(at);
    });
    connect(FNotify, &TNotifyIcon::MessageClicked, this, [this] {
        emit OnBalloonClick(this);
        HideBalloon();
    });
}

TVxTrayIcon::~TVxTrayIcon()
{
    FMainForm->removeEventFilter(this);
    if (FIcons)
        FIcons->UnRegisterChanges(FIconsLink);
    delete FIconsLink;
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
        ShowMinimized();
    }
}

void TVxTrayIcon::SetVisibility(TTrayVisibility value)
{
    if (value == FVisibility)
        return;
    const TTrayVisibility added = value & ~FVisibility;
    const TTrayVisibility removed = FVisibility & ~value;
    FVisibility = value;
    if (!FActive)
        return;
    if ((added & tvAutoHide) && !ApplicationVisible())
        HideApplication();
    if (added & tvVisibleTaskBar)
        ShowApplication();
    else if (removed & tvVisibleTaskBar)
        HideApplication();
    // A window hidden into the area is not minimized here, yet it needs its icon as much.
    if ((added & tvAutoHideIcon) && ApplicationVisible())
        RemoveIcon();
    else if ((removed & tvAutoHideIcon) && ApplicationVisible())
        AddIcon();
}

void TVxTrayIcon::SetIcons(TCustomImageList *value)
{
    if (SwapImageListReference(this, value, FIcons, FIconsLink))
        SelectIcon();
}

void TVxTrayIcon::SetIconIndex(int value)
{
    if (value == FIconIndex)
        return;
    FIconIndex = value;
    SelectIcon();
}

void TVxTrayIcon::SelectIcon()
{
    FNotify->Modify(CurrentIcon(), ShortHint(), DesktopMenu());
}

void TVxTrayIcon::SetAnimated(bool value)
{
    if (value == FAnimated)
        return;
    FAnimated = value;
    if (value)
        StartAnimation();
    else
        StopAnimation();
}

void TVxTrayIcon::SetDelay(int value)
{
    if (value == FDelay)
        return;
    StopAnimation();
    FDelay = value;
    if (FAnimated)
        StartAnimation();
}

void TVxTrayIcon::StartAnimation()
{
    if (IconShown() && !FAnimateTimer->isActive())
        FAnimateTimer->start(qMax(1, FDelay));
}

void TVxTrayIcon::StopAnimation()
{
    FAnimateTimer->stop();
}

int TVxTrayIcon::NextIconIndex(int index, int count, bool swing, int &direction)
{
    if (count <= 0 || index < 0)
        return 0;
    if (!swing)
        return (index + 1) % count;
    if (index >= count - 1)
        direction = -1;
    else if (index <= 0)
        direction = 1;
    return ((index + direction) % count + count) % count;
}

void TVxTrayIcon::Animate()
{
    if (IconShown() && FIcons && FIcons->Images.size() > 1) {
        SetIconIndex(NextIconIndex(FIconIndex, int(FIcons->Images.size()), FSwingForthAndBack, FSwingDirectionState));
        emit OnAnimate(this, FIconIndex);
        return;
    }
    SetIconIndex(0);
}

int TVxTrayIcon::BalloonIconFlag(TBalloonType type)
{
    // The notification area's balloon icons: none, information, warning, error.
    static constexpr int flags[] = {0, 3, 1, 2}; // btNone, btError, btInfo, btWarning
    return flags[type];
}

bool TVxTrayIcon::AcceptBalloons() const
{
    return ShellLibraryVersion() >= 0x00050000;
}

void TVxTrayIcon::BalloonHint(const QString &Title, const QString &Value, TBalloonType BalloonType, int ADelay,
                              bool CancelPrevious)
{
    if (!IconShown() || !AcceptBalloons())
        return;
    FTime = QDateTime::currentDateTime();
    FTimeDelay = ADelay / 1000;
    if (CancelPrevious)
        HideBalloon();
    const QString title = Title.left(63);
    const QString text = Value.left(255);
    // An empty balloon only takes one down; the desktop needs no message for that.
    if (title.isEmpty() && text.isEmpty()) {
        FBalloonCount = qMax(0, FBalloonCount - 1);
        return;
    }
    FNotify->ShowMessage(title, text, BalloonIconFlag(BalloonType), ADelay);
    ++FBalloonCount;
    if (ADelay < 10000)
        FBalloonTimer->start(qMax(0, ADelay));
    emit OnBalloonShow(this);
}

void TVxTrayIcon::HideBalloon()
{
    FBalloonTimer->stop();
    if (FBalloonCount == 0)
        return;
    // The desktop takes its notifications down by itself; the icon only forgets them.
    FBalloonCount = 0;
    emit OnBalloonHide(this);
}

void TVxTrayIcon::SetHint(const QString &value)
{
    if (value == FHint)
        return;
    FHint = value;
    FNotify->Modify(CurrentIcon(), ShortHint(), DesktopMenu());
}

void TVxTrayIcon::SetIcon(const QIcon &value)
{
    FIcon = value;
    FNotify->Modify(CurrentIcon(), ShortHint(), DesktopMenu());
}

void TVxTrayIcon::SetPopupMenu(QMenu *value)
{
    FPopupMenu = value;
    FNotify->Modify(CurrentIcon(), ShortHint(), DesktopMenu());
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
    if (FIcons && FIconIndex >= 0 && FIconIndex < FIcons->Images.size())
        return QIcon(FIcons->Images.at(FIconIndex));
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
    // Shells before 5.0 took 63 characters and no line breaks.
    if (ShellLibraryVersion() < 0x00050000)
        return FHint.section(QLatin1Char('|'), 0, 0).replace(QStringLiteral("\r\n"), QStringLiteral(" - ")).left(63);
    return FHint.section(QLatin1Char('|'), 0, 0).left(127);
}

void TVxTrayIcon::AddIcon()
{
    if (!FActive || IconShown())
        return;
    if ((FVisibility & tvAutoHideIcon) && ApplicationVisible())
        return;
    if (FNotify->Add(CurrentIcon(), ShortHint(), DesktopMenu()) && FAnimated)
        StartAnimation();
}

void TVxTrayIcon::RemoveIcon()
{
    StopAnimation();
    FClickTimer->stop();
    FNotify->Remove();
}

// Under X11 a window that already has its native window and a position comes up normal when it is
// first shown minimized: it is shown, and minimized once it is up.
void TVxTrayIcon::ShowMinimized()
{
    if (FMainForm->isVisible()) {
        FMainForm->showMinimized();
        return;
    }
    FMainForm->show();
    FMinimizePending = true;
    QTimer::singleShot(0, this, [this] {
        if (std::exchange(FMinimizePending, false))
            FMainForm->showMinimized();
    });
}

void TVxTrayIcon::HideApplication()
{
    if (!FActive || !TNotifyIcon::Available()) {
        ShowMinimized();
        return;
    }
    FHidden = true;
    FMainForm->hide();
    // The whole program goes into the area: a window of its own left on screen (the preview) would
    // act on the hidden main window.
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window != FMainForm && window->isVisible() &&
            (window->windowType() == Qt::Window || window->windowType() == Qt::Dialog)) {
            FWindowsHiddenAlong.append(window);
            window->hide();
        }
    FVisibility &= ~TTrayVisibility(tvVisibleTaskBar);
    AddIcon();
    // The area refused the icon: a minimized window is still within reach.
    if (!IconShown()) {
        FHidden = false;
        FVisibility |= tvVisibleTaskBar;
        ShowWindowsHiddenAlong();
        ShowMinimized();
        return;
    }
    FAreaMissed = 0;
    FAreaWatch->start();
}

void TVxTrayIcon::WatchArea()
{
    if (!FHidden) {
        FAreaWatch->stop();
        return;
    }
    if (TNotifyIcon::X11AreaHeld()) {
        FAreaMissed = 0;
        return;
    }
    if (++FAreaMissed < 2)
        return;
    FAreaWatch->stop();
    // An area of another kind (a panel reached through the session bus) still holds the icon;
    // asked once, since asking costs a connection to the bus.
    if (TNotifyIcon::Available())
        return;
    // The area went (its panel ended, or a window manager without one replaced the one that had
    // it) and took the icon along: the window comes back minimized, as where there is no area.
    RemoveIcon();
    FHidden = false;
    FVisibility |= tvVisibleTaskBar;
    ShowWindowsHiddenAlong();
    ShowMinimized();
}

void TVxTrayIcon::ShowWindowsHiddenAlong()
{
    const QList<QPointer<QWidget>> windows = std::exchange(FWindowsHiddenAlong, {});
    for (const QPointer<QWidget> &window : windows)
        if (window)
            window->show();
}

void TVxTrayIcon::ShowApplication()
{
    FHidden = false;
    FAreaWatch->stop();
    FMinimizePending = false;
    FVisibility |= tvVisibleTaskBar;
    FMainForm->setWindowState(FMainForm->windowState() & ~Qt::WindowMinimized);
    FMainForm->show();
    ShowWindowsHiddenAlong();
    if (FVisibility & tvAutoHideIcon)
        RemoveIcon();
}

void TVxTrayIcon::MouseClicked(Qt::MouseButton button, const QPoint &at)
{
    const Qt::KeyboardModifiers shift = QApplication::queryKeyboardModifiers();
    emit OnMouseDown(this, button, shift, at.x(), at.y());
    ClickArrived(button, at);
    emit OnMouseUp(this, button, shift, at.x(), at.y());
}

void TVxTrayIcon::ContextPopup(const QPoint &at)
{
    bool handled = false;
    emit OnContextPopup(this, at, handled);
    // Where the desktop opens the icon's menu itself, it is not opened a second time.
    if (!handled && FPopupMenu && !FNotify->OwnsMenu())
        FPopupMenu->popup(at);
}

QMenu *TVxTrayIcon::DesktopMenu() const
{
    if (isSignalConnected(QMetaMethod::fromSignal(&TVxTrayIcon::OnContextPopup)))
        return nullptr;
    return FPopupMenu;
}

void TVxTrayIcon::connectNotify(const QMetaMethod &signal)
{
    if (signal == QMetaMethod::fromSignal(&TVxTrayIcon::OnContextPopup))
        FNotify->Modify(CurrentIcon(), ShortHint(), DesktopMenu());
}

void TVxTrayIcon::disconnectNotify(const QMetaMethod &signal)
{
    // Called while Qt holds its connection lock, which asking for connections would take again.
    if (signal == QMetaMethod::fromSignal(&TVxTrayIcon::OnContextPopup))
        QMetaObject::invokeMethod(
            this, [this] { FNotify->Modify(CurrentIcon(), ShortHint(), DesktopMenu()); }, Qt::QueuedConnection);
}

void TVxTrayIcon::ClickArrived(Qt::MouseButton button, const QPoint &at)
{
    const bool left = button == Qt::LeftButton;
    const bool clickMatters = isSignalConnected(QMetaMethod::fromSignal(&TVxTrayIcon::OnClick)) ||
                              (left && (FDropDownMenu || (FVisibility & (tvRestoreClick | tvMinimizeClick))));
    const bool dblClickMatters = isSignalConnected(QMetaMethod::fromSignal(&TVxTrayIcon::OnDblClick)) ||
                                 (FVisibility & (tvRestoreDbClick | tvMinimizeDbClick));
    if (!clickMatters)
        return;
    if (!dblClickMatters) {
        FClickedButton = button;
        FClickedAt = at;
        Click();
    } else if (!FClickTimer->isActive()) {
        FClickedButton = button;
        FClickedAt = at;
        FClickTimer->start(QApplication::doubleClickInterval());
    }
}

void TVxTrayIcon::Click()
{
    emit OnClick(this);
    if (FClickedButton != Qt::LeftButton)
        return;
    if (FDropDownMenu)
        FDropDownMenu->popup(FClickedAt);
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
    // While a modal window is open the program stays minimized: the icon takes no click past that
    // window, and the main window would come back still blocked by it, hidden with the desktop's
    // minimized windows.
    if (watched == FMainForm && event->type() == QEvent::WindowStateChange && FActive &&
        (FVisibility & tvAutoHide) && FMainForm->isMinimized() && TNotifyIcon::Available())
        QTimer::singleShot(0, this, [this] {
            if (FActive && !FHidden && FMainForm->isMinimized() && !QApplication::activeModalWidget())
                HideApplication();
        });
    return false;
}
