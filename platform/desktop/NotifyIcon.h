#pragma once
// One icon in the desktop's notification area, with its tip and menu, and the clicks on it.
#include <QIcon>
#include <QObject>
#include <QString>
#include <QSystemTrayIcon>

class QMenu;

class TNotifyIcon : public QObject
{
    Q_OBJECT
public:
    explicit TNotifyIcon(QObject *parent = nullptr);
    ~TNotifyIcon() override;

    // False when the desktop has no notification area (plain GNOME, Wayland, offscreen): an icon
    // put there would never be seen.
    static bool Available();
    // A program holds the X11 notification area now; asked of the X server, not of the toolkit,
    // so it costs one short request. False where there is no X11 display.
    static bool X11AreaHeld();

    // Puts the icon into the area; false when there is none.
    bool Add(const QIcon &icon, const QString &tip, QMenu *menu);
    void Modify(const QIcon &icon, const QString &tip, QMenu *menu);
    void Remove();
    bool Shown() const { return FShown; }
    // The desktop opens the icon's menu by itself.
    bool OwnsMenu() const { return FIcon && FIcon->contextMenu(); }
    // A message at the icon; icon 0 none, 1 information, 2 warning, 3 critical.
    void ShowMessage(const QString &title, const QString &text, int icon, int msecs);

signals:
    void Clicked();
    void DoubleClicked();
    void MiddleClicked();
    void ContextRequested();
    void MessageClicked();

private:
    void Apply(const QIcon &icon, const QString &tip, QMenu *menu);
    QSystemTrayIcon *FIcon = nullptr;
    bool FShown = false;
};
