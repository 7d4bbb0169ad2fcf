#pragma once
// Where a window really stands on the display.
#include <QPoint>
#include <functional>
#include <optional>

class QObject;
class QWindow;

namespace WindowPlace {

// The top left corner of the window's inside on screen, asked of the X server; none where there is
// no X11 display, the window is not on screen or it is drawn scaled.
std::optional<QPoint> InsideOnScreen(const QWindow *window);

// False where the desktop keeps the places of windows to itself (Wayland): every window stands at
// 0,0 there as far as the program can tell.
bool Known();

// False where the desktop neither restores nor raises a window at its program's asking (Wayland):
// there only a window shown anew comes up restored and on top.
bool Raisable();

// Another program may destroy a window of ours (XDestroyWindow) or withdraw it (unmap it) behind the
// toolkit's back; the toolkit goes on taking it for on screen and shows it again in vain.

// Calls lost, from the event loop and for as long as owner lives, with each top-level window whose X11
// window another program destroyed.
void WatchDestroyed(QObject *owner, std::function<void(QWindow *)> lost);

// Maps the window again when it is meant to be on screen but another program withdrew (unmapped) it,
// and no window manager keeps it unmapped (minimized or on another desktop). True when it did.
bool MapWithdrawn(QWindow *window);

} // namespace WindowPlace
