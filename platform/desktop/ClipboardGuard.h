#pragma once
// Another program may ask the owner of the clipboard for many forms in one request (MULTIPLE).
// Qt answers the pairs of such a list one by one, each with a trip to the X server, so a list of
// half a million pairs held the window for a minute. A list longer than any program asks for is
// refused before Qt sees it.
#include <QAbstractNativeEventFilter>
#include <QByteArray>

class TClipboardGuard : public QAbstractNativeEventFilter
{
public:
    // For the application's life; does nothing where the display is not X11's.
    static void Install();
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

    // Far more than a program asks for at once: every text and picture form there is.
    static constexpr quint32 MaxPairs = 256;
};
