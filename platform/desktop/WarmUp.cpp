#include "platform/desktop/WarmUp.h"

#include <QApplication>
#include <QDBusConnection>
#include <QFontDatabase>
#include <QFontMetrics>

#include <fontconfig/fontconfig.h>

#include <system_error>

TWarmUp::TWarmUp(std::function<void()> work)
{
    // With no thread to spare (a limit on processes or memory) whoever needs the work does it.
    try {
        FThread = std::thread(std::move(work));
    } catch (const std::system_error &) {
    }
}

TWarmUp::~TWarmUp()
{
    if (FThread.joinable())
        FThread.join();
}

namespace WarmUp {

void FontConfig()
{
    FcInit();
}

void SessionBus()
{
    QDBusConnection::sessionBus();
}

void ApplicationFont()
{
    // Measured on X11 only; elsewhere the main thread reads its fonts itself.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    QFontDatabase::families();
    // A font of its own: the application's font object belongs to the main thread.
    QFont font;
    font.setFamilies(QApplication::font().families());
    font.setPointSizeF(QApplication::font().pointSizeF());
    // Latin and Cyrillic, the scripts of both languages.
    QFontMetrics(font).horizontalAdvance(QStringLiteral("Аккорды Chords"));
}

} // namespace WarmUp
