#pragma once
// Where a window really stands on the display.
#include <QPoint>
#include <optional>

class QWindow;

namespace WindowPlace {

// The top left corner of the window's inside on screen, asked of the X server; none where there is
// no X11 display, the window is not on screen or it is drawn scaled.
std::optional<QPoint> InsideOnScreen(const QWindow *window);

} // namespace WindowPlace
