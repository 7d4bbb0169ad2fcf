#pragma once
// The application's icon in the notification area: it can hide the main window into the area
// and bring it back on a click. Where the desktop has no notification area, hiding minimizes
// instead, so the window is never out of the user's reach.
#include <QDateTime>
#include <QFlags>
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

class QTimer;
class QWidget;
class TNotifyIcon;
class TCustomImageList;
class TChangeLink;

enum TTrayVisibilityFlag {
    tvVisibleTaskBar = 1 << 0,
    tvVisibleTaskList = 1 << 1,
    tvAutoHide = 1 << 2,        // minimizing the window hides it into the area
    tvAutoHideIcon = 1 << 3,    // the icon is shown only while the window is hidden
    tvVisibleDesign = 1 << 4,
    tvRestoreClick = 1 << 5,
    tvRestoreDbClick = 1 << 6,
    tvMinimizeClick = 1 << 7,
    tvMinimizeDbClick = 1 << 8,
    tvAnimateToTray = 1 << 9,
    tvNoRetryOnFailure = 1 << 10,
};
Q_DECLARE_FLAGS(TTrayVisibility, TTrayVisibilityFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TTrayVisibility)

enum TBalloonType { btNone, btError, btInfo, btWarning };

class TVxTrayIcon : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool Animated READ Animated WRITE SetAnimated)
    Q_PROPERTY(int Delay READ Delay WRITE SetDelay)
    Q_PROPERTY(int IconIndex READ IconIndex WRITE SetIconIndex)
    Q_PROPERTY(bool Snap READ Snap WRITE SetSnap)
    Q_PROPERTY(bool SwingForthAndBack READ SwingForthAndBack WRITE SetSwingForthAndBack)
public:
    // mainForm is the window that is hidden and shown; it also owns the component.
    TVxTrayIcon(const QString &name, QWidget *mainForm);
    ~TVxTrayIcon() override;

    bool Active() const { return FActive; }
    void SetActive(bool value);
    QString Hint() const { return FHint; }
    void SetHint(const QString &value);
    QIcon Icon() const { return FIcon; }
    void SetIcon(const QIcon &value);
    QMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu *value);
    TTrayVisibility Visibility() const { return FVisibility; }
    void SetVisibility(TTrayVisibility value);

    // The pictures of the icon; IconIndex picks one, and the animation steps through them.
    TCustomImageList *Icons() const { return FIcons; }
    void SetIcons(TCustomImageList *value);
    int IconIndex() const { return FIconIndex; }
    void SetIconIndex(int value);
    bool Animated() const { return FAnimated; }
    void SetAnimated(bool value);
    // Milliseconds between two pictures of the animation.
    int Delay() const { return FDelay; }
    void SetDelay(int value);
    // The animation runs to the last picture and back instead of starting over.
    bool SwingForthAndBack() const { return FSwingForthAndBack; }
    void SetSwingForthAndBack(bool value) { FSwingForthAndBack = value; }
    // Opened by a left click on the icon.
    QMenu *DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(QMenu *value) { FDropDownMenu = value; }
    bool Snap() const { return FSnap; }
    void SetSnap(bool value) { FSnap = value; }

    // The picture after `index` of `count`; `direction` (+1 or -1) turns at the ends when
    // swinging. -1 starts at 0.
    static int NextIconIndex(int index, int count, bool swing, int &direction);
    // One step of the animation.
    void Animate();

    // Balloon messages at the icon; the desktop's own notifications show them.
    bool AcceptBalloons() const;
    void BalloonHint(const QString &Title, const QString &Value, TBalloonType BalloonType = btNone,
                     int ADelay = 5000, bool CancelPrevious = false);
    void HideBalloon();
    // The area's icon number of a balloon type (0 none, 1 information, 2 warning, 3 error).
    static int BalloonIconFlag(TBalloonType type);
    int BalloonCount() const { return FBalloonCount; }

    // Hides the main window into the notification area, or minimizes it where there is none.
    virtual void HideApplication();
    // Brings a hidden or minimized main window back.
    virtual void ShowApplication();
    // The main window is shown and not minimized.
    bool ApplicationVisible() const;
    // The icon is in the notification area now.
    bool IconShown() const;
    // The tip: the hint up to its first "|", at most 127 characters.
    QString ShortHint() const;

    // Performs what a click and a double click on the icon do.
    void Click();
    void DblClick();
    // A button went down and up on the icon at a screen position (the desktop reports the
    // button's release as one activation).
    void MouseClicked(Qt::MouseButton button, const QPoint &at);
    // The icon's context menu was asked for.
    void ContextPopup(const QPoint &at);
    // The menu the desktop may open by itself on a right click: none while an OnContextPopup
    // handler is connected, since the desktop would open it before the handler could keep it closed.
    QMenu *DesktopMenu() const;

signals:
    // Connected handlers replace the window's own reaction to a double click.
    void OnClick(QObject *Sender);
    void OnDblClick(QObject *Sender);
    void OnMouseDown(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void OnMouseUp(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    // A handler connected directly that sets Handled keeps the popup menu closed.
    void OnContextPopup(QObject *Sender, QPoint MousePos, bool &Handled);
    void OnAnimate(QObject *Sender, int ImageIndex);
    void OnBalloonShow(QObject *Sender);
    void OnBalloonHide(QObject *Sender);
    void OnBalloonClick(QObject *Sender);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void connectNotify(const QMetaMethod &signal) override;
    void disconnectNotify(const QMetaMethod &signal) override;

private:
    void AddIcon();
    void RemoveIcon();
    QIcon CurrentIcon() const;
    void ClickArrived(Qt::MouseButton button, const QPoint &at);
    void SelectIcon();
    void StartAnimation();
    void StopAnimation();

    QWidget *FMainForm;
    TNotifyIcon *FNotify;
    QTimer *FClickTimer; // a single click waits for a possible double click
    QTimer *FAnimateTimer;
    QTimer *FBalloonTimer;
    // While the window is hidden in the area: the area going for good would leave it out of reach.
    QTimer *FAreaWatch;
    int FAreaMissed = 0;
    void WatchArea();
    bool FActive = false;
    bool FHidden = false;
    // A minimize waiting for the window's first showing; a restore meanwhile cancels it.
    bool FMinimizePending = false;
    void ShowMinimized();
    void ShowWindowsHiddenAlong();
    QString FHint;
    QIcon FIcon;
    QPointer<QMenu> FPopupMenu;
    QPointer<QMenu> FDropDownMenu;
    QList<QPointer<QWidget>> FWindowsHiddenAlong; // the program's other windows, back on restore
    TCustomImageList *FIcons = nullptr;
    TChangeLink *FIconsLink;
    int FIconIndex = 0;
    bool FAnimated = false;
    int FDelay = 100;
    bool FSwingForthAndBack = false;
    int FSwingDirectionState = 1;
    bool FSnap = false;
    int FBalloonCount = 0;
    QDateTime FTime;
    int FTimeDelay = 0;
    Qt::MouseButton FClickedButton = Qt::LeftButton; // the click waiting for the double-click time
    QPoint FClickedAt;
    TTrayVisibility FVisibility = TTrayVisibility(tvVisibleTaskBar | tvVisibleTaskList | tvAutoHide);
};
