#pragma once
// Message windows that other processes can reach: the stand-in for the desktop system's hidden
// windows, registered messages and the messages processes send each other. Each process that
// makes a window listens on one local socket in the runtime folder, named by its process id; a
// process "has an application window" exactly when that socket takes a connection. Everything
// here runs on the GUI thread and needs a QCoreApplication.
#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

// High 32 bits: the owning process id; low 32 bits: the window's number in that process.
using HWND = quint64;

struct TMessage
{
    quint32 Msg = 0;
    qint64 WParam = 0;
    qint64 LParam = 0;
    qint64 Result = 0;
};
using TWndMethod = std::function<void(TMessage &Message)>;

// What a WM_COPYDATA message's LParam points at while the receiver handles it.
struct TCopyDataStruct
{
    quint64 dwData = 0;
    quint32 cbData = 0;
    const void *lpData = nullptr;
};

inline constexpr quint32 WM_COPYDATA = 74;
inline constexpr quint32 WM_SYSCOMMAND = 0x0112;
inline constexpr qint64 SC_RESTORE = 0xF120;
inline constexpr quint32 ERROR_INVALID_THREAD_ID = 1444;
// How long a process waits for another one to answer before it takes the silence as the answer.
inline constexpr int RemoteAnswerTimeoutMs = 2000;

// A window of this process; method empty: every message gets the default answer 0.
HWND CreateMessageWindow(const QString &className, TWndMethod method);
void DestroyMessageWindow(HWND window);
quint32 WindowProcessId(HWND window);
quint32 WindowThreadId(HWND window);

// The application window of a process, 0 when the process has none (ended, or never made one).
HWND ApplicationWindow(quint32 processId);
// The windows of a process whose class is className (every one for an empty name), oldest first.
QList<HWND> ProcessWindowsOfClass(quint32 processId, const QString &className);
// The same number for the same name (case ignored) in every process.
quint32 RegisterWindowMessage(const QString &name);

// Synchronous; another process gets RemoteAnswerTimeoutMs to answer, and messages sent to this
// process meanwhile are handled while it waits. delivered: the receiver answered.
qint64 SendMessage(HWND window, quint32 msg, qint64 wParam, qint64 lParam, bool *delivered = nullptr);
qint64 SendCopyData(HWND window, HWND sender, quint64 dataKind, const QByteArray &data,
                    bool *delivered = nullptr);
// Asynchronous: queued for the window (called at once for a window of the calling thread).
bool SendNotifyMessage(HWND window, quint32 msg, qint64 wParam, qint64 lParam);
// SendNotifyMessage to every window of the thread.
void NotifyThreadWindows(quint32 threadId, quint32 msg, qint64 wParam, qint64 lParam);
// Queued for the thread itself; false with error ERROR_INVALID_THREAD_ID when it cannot be reached.
bool PostThreadMessage(quint32 threadId, quint32 msg, qint64 wParam, qint64 lParam, quint32 *error = nullptr);

// What the application window does for other processes: tell whether the program is out of
// sight, restore it, bring it to the front.
struct TApplicationWindowHooks
{
    std::function<bool()> IsIconic;
    std::function<void()> Restore;
    std::function<void()> BringToFront;
};
void SetApplicationWindowHooks(const TApplicationWindowHooks &hooks);
// Makes this process reachable; windows do it themselves.
HWND ApplicationWindow();
bool IsIconic(HWND window);
bool SetForegroundWindow(HWND window);

// Where a process's socket lives.
QString EndpointPath(quint32 processId);
// Removes the socket a dead process left behind.
void RemoveStaleEndpoint(quint32 processId);
// Ends the process at once with exitCode, without finalization; the socket goes first.
[[noreturn]] void ExitProcess(int exitCode);
