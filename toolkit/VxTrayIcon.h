#pragma once
// The application's icon in the notification area: it can hide the main window into the area
// and bring it back on a click. Where the desktop has no notification area, hiding minimizes
// instead, so the window is never out of the user's reach.
#include <QFlags>
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QString>

class QTimer;
class QWidget;
class TNotifyIcon;

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
};
Q_DECLARE_FLAGS(TTrayVisibility, TTrayVisibilityFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TTrayVisibility)

class TVxTrayIcon : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
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
    void SetVisibility(TTrayVisibility value) { FVisibility = value; }

    // Hides the main window into the notification area, or minimizes it where there is none.
    virtual void HideApplication();
    // Brings a hidden or minimized main window back.
    virtual void ShowApplication();
    // The main window is shown and not minimized.
    bool ApplicationVisible() const;
    // The icon is in the notification area now.
    bool IconShown() const;

    // Performs what a click and a double click on the icon do.
    void Click();
    void DblClick();

signals:
    // Connected handlers replace the window's own reaction to a double click.
    void OnClick(QObject *Sender);
    void OnDblClick(QObject *Sender);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void AddIcon();
    void RemoveIcon();
    QIcon CurrentIcon() const;
    QString ShortHint() const;
    void ClickArrived();

    QWidget *FMainForm;
    TNotifyIcon *FNotify;
    QTimer *FClickTimer; // a single click waits for a possible double click
    bool FActive = false;
    bool FHidden = false;
    QString FHint;
    QIcon FIcon;
    QPointer<QMenu> FPopupMenu;
    TTrayVisibility FVisibility = TTrayVisibility(tvVisibleTaskBar | tvVisibleTaskList | tvAutoHide);
};
