#include "platform/desktop/WindowPlace.h"

#include <QGuiApplication>
#include <QWindow>
#include <cstdlib>
#include <xcb/xcb.h>

namespace WindowPlace {

std::optional<QPoint> InsideOnScreen(const QWindow *window)
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    // Under scaling the toolkit maps device pixels to its own per screen; its place stands then.
    if (!connection || !window || !window->handle() || !window->isExposed() || window->devicePixelRatio() != 1.0)
        return std::nullopt;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_translate_coordinates_reply_t *reply = xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, xcb_window_t(window->winId()), root, 0, 0), nullptr);
    if (!reply)
        return std::nullopt;
    const QPoint inside(reply->dst_x, reply->dst_y);
    std::free(reply);
    return inside;
}

namespace {
bool OnWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
} // namespace

bool Known()
{
    return !OnWayland();
}

bool Raisable()
{
    return !OnWayland();
}

} // namespace WindowPlace
