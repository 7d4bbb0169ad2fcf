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
    if (!connection || !window || !window->handle() || !window->isExposed())
        return std::nullopt;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_translate_coordinates_reply_t *reply = xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, xcb_window_t(window->winId()), root, 0, 0), nullptr);
    if (!reply)
        return std::nullopt;
    // Device pixels from the server, the toolkit's own units for the window.
    const QPoint inside = QPoint(reply->dst_x, reply->dst_y) / window->devicePixelRatio();
    std::free(reply);
    return inside;
}

} // namespace WindowPlace
