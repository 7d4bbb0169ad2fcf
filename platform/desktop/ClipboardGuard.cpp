#include "platform/desktop/ClipboardGuard.h"
#include "platform/desktop/X11Display.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <xcb/xcb.h>

void TClipboardGuard::Install()
{
    if (!X11Connection())
        return;
    static TClipboardGuard guard;
    QCoreApplication::instance()->installNativeEventFilter(&guard);
}

bool TClipboardGuard::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_SELECTION_REQUEST)
        return false;
    const auto *request = static_cast<const xcb_selection_request_event_t *>(message);
    xcb_connection_t *connection = X11Connection();
    if (!connection || request->property == XCB_ATOM_NONE)
        return false;
    // Asked for when the first request comes, not at every start; again on another display.
    static xcb_connection_t *known = nullptr;
    static xcb_atom_t multiple = XCB_ATOM_NONE;
    if (known != connection) {
        const char name[] = "MULTIPLE";
        xcb_intern_atom_reply_t *reply =
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
        multiple = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        known = reply ? connection : nullptr;
        std::free(reply);
    }
    if (multiple == XCB_ATOM_NONE || request->target != multiple)
        return false;
    // Nothing read but the list's length.
    xcb_get_property_reply_t *list = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, request->requestor, request->property, XCB_GET_PROPERTY_TYPE_ANY, 0, 0),
        nullptr);
    const quint64 bytes = list ? list->bytes_after : 0;
    std::free(list);
    if (bytes <= quint64(MaxPairs) * 2 * 4)
        return false;
    xcb_selection_notify_event_t refusal{};
    refusal.response_type = XCB_SELECTION_NOTIFY;
    refusal.time = request->time;
    refusal.requestor = request->requestor;
    refusal.selection = request->selection;
    refusal.target = request->target;
    refusal.property = XCB_ATOM_NONE;
    xcb_send_event(connection, 0, request->requestor, 0, reinterpret_cast<const char *>(&refusal));
    xcb_flush(connection);
    return true;
}
