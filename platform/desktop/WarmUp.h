#pragma once
// Work the window will need soon, started on a thread of its own while the main thread is busy
// with something else. What the work leaves behind (a configuration read, a connection made, a
// cache filled) is shared: whoever gets there second finds it done, or does it again at worst.
#include <functional>
#include <thread>

class TWarmUp
{
public:
    explicit TWarmUp(std::function<void()> work);
    // Waits for the work to end, so that nothing is left running at exit.
    ~TWarmUp();

    TWarmUp(const TWarmUp &) = delete;
    TWarmUp &operator=(const TWarmUp &) = delete;

private:
    std::thread FThread;
};

namespace WarmUp {

// The system's font configuration: dozens of files, read while the application connects to the
// display.
void FontConfig();

// The session bus, which the accessibility bridge and the notification area connect to when the
// first widget is made; connecting, or finding out that there is no bus, takes milliseconds.
// Needs the application object.
void SessionBus();

// The font database and the stand-ins of the application's font, which the first text any widget
// measures needs. Needs the application object.
void ApplicationFont();

} // namespace WarmUp
