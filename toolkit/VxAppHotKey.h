#pragma once
// One system-wide hot key of the application: pressed anywhere on the desktop, it fires OnHotKey.
// Where the desktop gives no key to a program (Wayland, no display), registering fails and
// OnHotKeyRegisterFailed is the only effect.
#include <QKeySequence>
#include <QObject>
#include <QString>

class TGlobalHotKey;

class TVxApplicationHotKey : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(QKeySequence HotKey READ HotKey WRITE SetHotKey)
    Q_PROPERTY(bool WindowsKey READ WindowsKey WRITE SetWindowsKey)
public:
    TVxApplicationHotKey(const QString &name, QObject *owner);
    ~TVxApplicationHotKey() override;

    // True only while the key is registered.
    bool Active() const { return FActive; }
    void SetActive(bool value);
    QKeySequence HotKey() const { return FHotKey; }
    // A new key is registered at once when the component is active.
    void SetHotKey(const QKeySequence &value);
    // The Meta (Windows) key joins the first registration attempt.
    bool WindowsKey() const { return FWindowsKey; }
    void SetWindowsKey(bool value);
    // Changes at every activation.
    int ID() const { return FID; }

    // Text of a key as the settings file stores it ("Ctrl+Shift+F10"), and back; a text that
    // names no single key gives an empty sequence.
    static QString ShortCutToText(const QKeySequence &key);
    static QKeySequence TextToShortCut(const QString &text);

    virtual void FireHotKey();

signals:
    void OnHotKey(QObject *Sender);
    // The key could not be registered. A handler connected directly may change HotKey to
    // another key, which is then tried.
    void OnHotKeyRegisterFailed(QObject *Sender, QKeySequence &HotKey);

private:
    bool Register();

    bool FActive = false;
    QKeySequence FHotKey;
    int FID = 0;
    bool FWindowsKey = false;
    TGlobalHotKey *FGrab;
};
