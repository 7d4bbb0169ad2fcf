#pragma once
// Icons looked up when they are first drawn, for places not on screen at start (a hidden page,
// the notification area): a standard icon is found through the desktop's icon theme, and the
// look-up costs more than the control that shows it.
#include <QIcon>
#include <QStyle>
#include <functional>

namespace LazyIcon {

// An icon that asks lookUp for the real one the first time it is drawn or measured.
QIcon Deferred(std::function<QIcon()> lookUp);

// The application style's standard icon, looked up when first drawn.
QIcon Standard(QStyle::StandardPixmap which);

} // namespace LazyIcon
