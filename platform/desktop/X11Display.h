#pragma once
// The X connection the toolkit's display runs on; null on Wayland and offscreen.
#include <QGuiApplication>
#include <xcb/xcb.h>

inline xcb_connection_t *X11Connection()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}
