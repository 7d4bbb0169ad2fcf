#pragma once
// Icons looked up when they are first drawn. The first look-up opens the desktop's icon theme,
// which costs more than building the rest of the window; the window is on screen before that.
#include <QIcon>
#include <QStyle>
#include <functional>

namespace LazyIcon {

// An icon that asks lookUp for the real one the first time it is drawn or measured.
QIcon Deferred(std::function<QIcon()> lookUp);

// The application style's standard icon, looked up when first drawn.
QIcon Standard(QStyle::StandardPixmap which);

} // namespace LazyIcon
