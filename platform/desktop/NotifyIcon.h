#pragma once
// One icon in the desktop's notification area, with its tip and menu, and the clicks on it.
#include <QIcon>
#include <QObject>
#include <QString>

class QMenu;
class QSystemTrayIcon;

class TNotifyIcon : public QObject
{
    Q_OBJECT
public:
    explicit TNotifyIcon(QObject *parent = nullptr);
    ~TNotifyIcon() override;

    // False when the desktop has no notification area (plain GNOME, Wayland, offscreen): an icon
    // put there would never be seen.
    static bool Available();

    // Puts the icon into the area; false when there is none.
    bool Add(const QIcon &icon, const QString &tip, QMenu *menu);
    void Modify(const QIcon &icon, const QString &tip, QMenu *menu);
    void Remove();
    bool Shown() const { return FShown; }

signals:
    void Clicked();
    void DoubleClicked();
    void MiddleClicked();

private:
    void Apply(const QIcon &icon, const QString &tip, QMenu *menu);
    QSystemTrayIcon *FIcon = nullptr;
    bool FShown = false;
};
