#pragma once
// One key combination grabbed on the whole X11 display, so that it reaches the program whatever
// window has the focus. Without an X11 display (Wayland, offscreen) nothing can be grabbed.
#include <QAbstractNativeEventFilter>
#include <QKeyCombination>
#include <QObject>
#include <cstdint>
#include <vector>

struct xcb_connection_t;

class TGlobalHotKey : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    explicit TGlobalHotKey(QObject *parent = nullptr);
    ~TGlobalHotKey() override;

    // Grabs key, releasing any key grabbed before. False when there is no X11 display, the key
    // is not on the keyboard, or another program holds it.
    bool Grab(QKeyCombination key);
    void Release();
    bool Grabbed() const { return FKeyCode != 0; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

signals:
    void Pressed();

private:
    xcb_connection_t *FConnection = nullptr;
    std::vector<uint32_t> FRoots;
    uint8_t FKeyCode = 0;
    uint16_t FModifiers = 0;
    uint16_t FLockMasks = 0; // Caps Lock and Num Lock, which must not spoil the key
};
