#include "platform/desktop/WindowPlace.h"
#include "platform/desktop/X11Display.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <xcb/xcb.h>

namespace WindowPlace {

namespace {

class TDestroyWatch : public QObject, public QAbstractNativeEventFilter
{
public:
    TDestroyWatch(QObject *owner, std::function<void(QWindow *)> lost) : QObject(owner), FLost(std::move(lost))
    {
        qGuiApp->installNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY)
            return false;
        const auto *destroyed = reinterpret_cast<const xcb_destroy_notify_event_t *>(event);
        // A window the toolkit destroyed itself has no toolkit window any more.
        if (!OwnerOf(destroyed->window))
            return false;
        // Handled once the toolkit is done with the event.
        QTimer::singleShot(0, this, [this, id = destroyed->window] {
            if (QWindow *window = OwnerOf(id))
                FLost(window);
        });
        return false;
    }

private:
    static QWindow *OwnerOf(xcb_window_t id)
    {
        for (QWindow *window : QGuiApplication::allWindows())
            if (window->isTopLevel() && window->handle() && xcb_window_t(window->winId()) == id)
                return window;
        return nullptr;
    }

    std::function<void(QWindow *)> FLost;
};

bool OnWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
} // namespace

std::optional<QPoint> InsideOnScreen(const QWindow *window)
{
    xcb_connection_t *connection = X11Connection();
    // Under scaling the toolkit maps device pixels to its own per screen; its place stands then.
    if (!connection || !window || !window->handle() || !window->isExposed() || window->devicePixelRatio() != 1.0)
        return std::nullopt;
    // On a display of several screens the window stands on one of them; asked against another
    // screen's root, the server answers 0,0.
    for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem; xcb_screen_next(&it)) {
        xcb_translate_coordinates_reply_t *reply = xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, xcb_window_t(window->winId()), it.data->root, 0, 0),
            nullptr);
        if (!reply)
            return std::nullopt;
        const bool sameScreen = reply->same_screen;
        const QPoint inside(reply->dst_x, reply->dst_y);
        std::free(reply);
        if (sameScreen)
            return inside;
    }
    return std::nullopt;
}

bool Known()
{
    return !OnWayland();
}

bool Raisable()
{
    return !OnWayland();
}

void WatchDestroyed(QObject *owner, std::function<void(QWindow *)> lost)
{
    if (X11Connection())
        new TDestroyWatch(owner, std::move(lost));
}

bool MapWithdrawn(QWindow *window)
{
    xcb_connection_t *connection = X11Connection();
    // One on screen answers no questions.
    if (!connection || !window || !window->handle() || !window->isVisible() || window->isExposed())
        return false;
    const auto id = xcb_window_t(window->winId());
    xcb_generic_error_t *error = nullptr;
    xcb_get_window_attributes_reply_t *attributes =
        xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, id), &error);
    const bool unmapped = attributes && attributes->map_state == XCB_MAP_STATE_UNMAPPED;
    std::free(attributes);
    std::free(error);
    if (!unmapped)
        return false;
    // A window manager that minimizes a window or keeps it on another desktop unmaps it too, but
    // keeps its state; a window withdrawn from it has none.
    static const char name[] = "WM_STATE";
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
    const xcb_atom_t state = atom ? atom->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(atom);
    xcb_get_property_reply_t *property =
        xcb_get_property_reply(connection, xcb_get_property(connection, 0, id, state, state, 0, 1), nullptr);
    // The first of its two numbers: 0 withdrawn, 1 normal, 3 minimized.
    const bool kept = property && property->format == 32 && xcb_get_property_value_length(property) >= 4 &&
                      *static_cast<const quint32 *>(xcb_get_property_value(property)) != 0;
    std::free(property);
    if (kept)
        return false;
    xcb_map_window(connection, id);
    xcb_flush(connection);
    return true;
}

} // namespace WindowPlace
