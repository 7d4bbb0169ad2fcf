#include "platform/vcl/Application.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace Application {

namespace {

struct TState
{
    TMessageBoxHook hook;
    TOpenUrlHook openUrlHook;
    bool terminated = false;
    int exitCode = 0;
};

TState &State()
{
    static TState state;
    return state;
}

// A signal handler may only write; the event loop reads the other end.
int SignalPipe[2] = {-1, -1};

void OnTerminationSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(SignalPipe[1], &byte, 1);
    errno = savedErrno;
}

void OnFailedWrite(int)
{
}

// The write that raised the signal fails with its error instead. A handler, not SIG_IGN: the
// programs started from here (a browser, a help viewer) get the default back.
void CatchAsFailedWrite(int signal)
{
    struct sigaction action = {};
    action.sa_handler = OnFailedWrite;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

} // namespace

int MessageBox(const QString &text, const QString &caption, int flags, QWidget *owner)
{
    if (State().hook)
        return State().hook(text, caption, flags);

    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (flags & 0xF0) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    switch (flags & 0x0F) {
    case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MB_YESNOCANCEL: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel); break;
    case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel: return IDCANCEL;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDOK;
    }
}

void SetMessageBoxHook(TMessageBoxHook hook)
{
    State().hook = std::move(hook);
}

bool OpenUrl(const QString &url)
{
    if (State().openUrlHook)
        return State().openUrlHook(url);
    return QDesktopServices::openUrl(QUrl(url));
}

void SetOpenUrlHook(TOpenUrlHook hook)
{
    State().openUrlHook = std::move(hook);
}

void Terminate(int exitCode)
{
    State().terminated = true;
    State().exitCode = exitCode;
    if (QCoreApplication *app = QCoreApplication::instance())
        QTimer::singleShot(0, app, [exitCode] { QCoreApplication::exit(exitCode); });
}

bool Terminated()
{
    return State().terminated;
}

int ExitCode()
{
    return State().exitCode;
}

void CatchTerminationSignals()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || SignalPipe[0] >= 0 || ::pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, app);
    QObject::connect(notifier, &QSocketNotifier::activated, app, [] {
        char bytes[16];
        while (::read(SignalPipe[0], bytes, sizeof bytes) > 0) {
        }
        Terminate(0);
    });
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        // One the launcher ignored stays ignored: "nohup" keeps the program through the terminal's
        // hangup, and a script's background job keeps it through the terminal's Ctrl+C.
        struct sigaction current = {};
        if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signal, &action, nullptr);
    }
}

void KeepStandardStreamsOpen()
{
    // The lowest free number is the one an open takes.
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF && ::open("/dev/null", O_RDWR) < 0)
            return;
}

void FailWritesPastTheFileSizeLimit()
{
    CatchAsFailedWrite(SIGXFSZ);
}

void FailWritesToAClosedPipe()
{
    CatchAsFailedWrite(SIGPIPE);
}

void ResetTermination()
{
    State().terminated = false;
    State().exitCode = 0;
}

} // namespace Application
