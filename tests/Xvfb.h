#pragma once
// An X11 server of a test's own (Xvfb), for what only a real display shows.
#include <QStandardPaths>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

// A session bus address that fails at once. With none at all the bus library forks to launch one,
// and under the address sanitizer that fork of a threaded program can hang in the child.
inline constexpr char NoSessionBus[] = "unix:path=/nonexistent/vx-no-session-bus";

// An Xvfb server on a free display; Display() is empty when it did not come up.
class TXvfb
{
public:
    // With secondScreen the display has two screens, ":N.0" and ":N.1".
    explicit TXvfb(const char *screen = "320x240x24", const char *secondScreen = nullptr)
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        int fds[2];
        if (program.isEmpty() || pipe(fds) != 0)
            return;
        FPid = fork();
        if (FPid == 0) {
            // The server goes with the test, however the test ends.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            const std::string path = program.toStdString();
            if (secondScreen)
                execl(path.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-nolisten", "tcp", "-screen", "0",
                      screen, "-screen", "1", secondScreen, static_cast<char *>(nullptr));
            else
                execl(path.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-nolisten", "tcp", "-screen", "0",
                      screen, static_cast<char *>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // The server writes its display number once it accepts clients.
        pollfd ready{fds[0], POLLIN, 0};
        char number[16] = {};
        // The number ends with a line feed; anything else means the server did not come up.
        if (FPid > 0 && poll(&ready, 1, 20000) == 1 && read(fds[0], number, sizeof number - 1) > 1 &&
            std::strchr(number, '\n')) {
            char display[24];
            std::snprintf(display, sizeof display, ":%d", std::atoi(number));
            FDisplay = display;
        }
        // The read end stays open while the server runs: a server that writes to a closed pipe
        // ends itself.
        FPipe = fds[0];
    }
    ~TXvfb()
    {
        if (FPid > 0) {
            kill(FPid, SIGTERM);
            waitpid(FPid, nullptr, 0);
        }
        if (FPipe >= 0)
            close(FPipe);
    }
    const std::string &Display() const { return FDisplay; }
    // The QApplication this process makes next shows on this server, through X11 and without the
    // session bus.
    void MakeQtsDisplay() const
    {
        setenv("DISPLAY", FDisplay.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        setenv("DBUS_SESSION_BUS_ADDRESS", NoSessionBus, 1);
    }

private:
    pid_t FPid = -1;
    int FPipe = -1;
    std::string FDisplay;
};
