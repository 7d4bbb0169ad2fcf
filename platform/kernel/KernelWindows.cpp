#include "platform/kernel/KernelWindows.h"

#include "platform/kernel/KernelSync.h"
#include "platform/kernel/LocalSocket.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QDirIterator>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace {

enum TFrameKind : quint8 { fkSend = 1, fkNotify = 2, fkPostThread = 3, fkEnumClass = 4 };

constexpr quint32 ApplicationWindowNumber = 1;
const QString ApplicationClass = QStringLiteral("TApplication");
// Private messages of the application window.
constexpr quint32 VxQueryIconic = 0x8F01;
constexpr quint32 VxBringToFront = 0x8F02;

struct TRequest
{
    quint8 Kind = 0;
    quint32 Window = 0;
    quint32 Msg = 0;
    qint64 WParam = 0;
    qint64 LParam = 0;
    quint64 DataKind = 0;
    QByteArray Data;
    QString ClassName;
};

// A window message for another process.
TRequest MessageRequest(quint8 kind, quint32 window, quint32 msg, qint64 wParam, qint64 lParam)
{
    TRequest request;
    request.Kind = kind;
    request.Window = window;
    request.Msg = msg;
    request.WParam = wParam;
    request.LParam = lParam;
    return request;
}

struct TReply
{
    qint64 Result = 0;
    QByteArray Windows; // window numbers, 4 bytes each: a count from outside never sizes a list
};

QByteArray Encode(const TRequest &request)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << request.Kind << request.Window << request.Msg << request.WParam << request.LParam
        << request.DataKind << request.Data << request.ClassName;
    return body;
}

QByteArray Encode(const TReply &reply)
{
    QByteArray body;
    QDataStream out(&body, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_4);
    out << reply.Result << reply.Windows;
    return body;
}

template <typename T> bool Decode(const QByteArray &body, T &value);

template <> bool Decode(const QByteArray &body, TRequest &request)
{
    QDataStream in(body);
    in.setVersion(QDataStream::Qt_6_4);
    in >> request.Kind >> request.Window >> request.Msg >> request.WParam >> request.LParam
        >> request.DataKind >> request.Data >> request.ClassName;
    return in.status() == QDataStream::Ok;
}

template <> bool Decode(const QByteArray &body, TReply &reply)
{
    QDataStream in(body);
    in.setVersion(QDataStream::Qt_6_4);
    in >> reply.Result >> reply.Windows;
    return in.status() == QDataStream::Ok && reply.Windows.size() % 4 == 0;
}

struct TWindowEntry
{
    QString ClassName;
    TWndMethod Method;
    quint32 ThreadId = 0;
};

HWND MakeHandle(quint32 processId, quint32 number)
{
    return (HWND(processId) << 32) | number;
}

quint32 NumberOf(HWND window)
{
    return quint32(window & 0xFFFFFFFFu);
}

class TEndpoint : public QObject
{
public:
    TEndpoint() : QObject(QCoreApplication::instance())
    {
        const QString path = EndpointPath(CurrentProcessId());
        QDir().mkpath(QFileInfo(path).absolutePath());
        // Our own process id: a file of that name is left from a dead process; so are the files
        // of any other process that was killed.
        QFile::remove(path);
        const QFileInfo endpoint(path);
        // Matched by prefix: a name filter would build a pattern, which takes longer than the scan.
        if (endpoint.fileName().startsWith(QLatin1String("vx-window-")))
            for (QDirIterator files(endpoint.absolutePath(), QDir::System); files.hasNext();) {
                const QString name = files.nextFileInfo().fileName();
                if (name.startsWith(QLatin1String("vx-window-")))
                    RemoveStaleEndpoint(name.mid(10).section(QLatin1Char('-'), 0, 0).toUInt());
            }
        FServer.Listen(path, [this] { Accept(); });
    }

    static TEndpoint *Instance(bool create)
    {
        static QPointer<TEndpoint> endpoint;
        if (!endpoint && create && QCoreApplication::instance())
            endpoint = new TEndpoint;
        return endpoint;
    }

    void Close() { FServer.Close(); }

    std::map<quint32, TWindowEntry> Windows;
    TApplicationWindowHooks Hooks;
    quint32 NextNumber = ApplicationWindowNumber + 1;

    qint64 Dispatch(quint32 number, quint32 msg, qint64 wParam, qint64 lParam)
    {
        auto it = Windows.find(number);
        if (it == Windows.end() || !it->second.Method)
            return 0;
        // The method may destroy its own window; keep a copy to call.
        const TWndMethod method = it->second.Method;
        TMessage message{msg, wParam, lParam, 0};
        method(message);
        return message.Result;
    }

    // Waits at most waitMs for anything on the reply connection (if any), the server or the
    // inbound connections, and handles what came.
    void Service(TLocalConnection *replyConnection, int waitMs)
    {
        std::vector<pollfd> fds;
        std::vector<TLocalConnection *> connections;
        auto add = [&](TLocalConnection *connection) {
            fds.push_back({connection->Descriptor(), short(POLLIN | (connection->HasOutput() ? POLLOUT : 0)), 0});
            connections.push_back(connection);
        };
        if (replyConnection && replyConnection->IsOpen())
            add(replyConnection);
        if (FServer.IsListening()) {
            fds.push_back({FServer.Descriptor(), POLLIN, 0});
            connections.push_back(nullptr);
        }
        for (const QPointer<TLocalConnection> &inbound : FInbound)
            if (inbound && inbound->IsOpen())
                add(inbound);
        if (poll(fds.data(), nfds_t(fds.size()), waitMs) <= 0)
            return;
        // Handling may drop an inbound connection, and a window's method may run the event loop
        // that deletes it.
        std::vector<QPointer<TLocalConnection>> ready;
        bool pending = false;
        for (size_t i = 0; i < fds.size(); ++i)
            if (fds[i].revents && connections[i])
                ready.push_back(connections[i]);
            else if (fds[i].revents)
                pending = true;
        if (pending)
            Accept();
        for (const QPointer<TLocalConnection> &connection : ready) {
            if (!connection) {
                continue;
            } else if (connection == replyConnection) {
                replyConnection->SendPending();
                replyConnection->Receive();
            } else if (connection->IsOpen()) {
                connection->SendPending();
                Receive(connection);
            }
        }
    }

private:
    void Accept()
    {
        FInbound.erase(std::remove_if(FInbound.begin(), FInbound.end(),
                                      [](const QPointer<TLocalConnection> &c) { return !c || !c->IsOpen(); }),
                       FInbound.end());
        while (TLocalConnection *connection = FServer.NextPending(this)) {
            // A peer that opens connections and keeps them would take every descriptor the
            // program has, and then no file could be saved; the oldest one makes room.
            if (FInbound.size() >= MaxInbound) {
                if (FInbound.front())
                    Drop(FInbound.front());
                FInbound.erase(FInbound.begin());
            }
            FInbound.push_back(connection);
            connection->Watch([this, connection] { Receive(connection); });
            Receive(connection);
        }
    }

    void Drop(TLocalConnection *connection)
    {
        connection->Close();
        connection->deleteLater();
    }

    void Receive(TLocalConnection *connection)
    {
        QPointer<TLocalConnection> guard(connection);
        const bool open = connection->Receive();
        for (;;) {
            if (!guard || !guard->IsOpen())
                return;
            QByteArray body;
            const TLocalConnection::TFrameState state = guard->TakeFrame(body);
            if (state == TLocalConnection::fsIncomplete)
                break;
            TRequest request;
            if (state == TLocalConnection::fsBad || !Decode(body, request)) {
                Drop(guard);
                return;
            }
            Handle(guard, request);
        }
        if (!open)
            Drop(guard);
    }

    void Handle(const QPointer<TLocalConnection> &connection, const TRequest &request)
    {
        TReply reply;
        switch (request.Kind) {
        case fkSend:
            if (request.Msg == WM_COPYDATA) {
                TCopyDataStruct copyData{request.DataKind, quint32(request.Data.size()), request.Data.constData()};
                reply.Result = Dispatch(request.Window, request.Msg, request.WParam, qint64(quintptr(&copyData)));
            } else {
                reply.Result = Dispatch(request.Window, request.Msg, request.WParam, request.LParam);
            }
            break;
        case fkNotify:
            // Copied data travels only with a send: a notice's LParam would be taken for an
            // address in this process.
            if (request.Msg == WM_COPYDATA)
                return;
            if (request.Window == 0)
                DispatchAll(request.Msg, request.WParam, request.LParam);
            else
                Dispatch(request.Window, request.Msg, request.WParam, request.LParam);
            return;
        case fkPostThread:
            // No program here reads thread messages; they are taken and dropped.
            return;
        case fkEnumClass:
            for (const auto &[number, entry] : Windows)
                if (request.ClassName.isEmpty() || entry.ClassName == request.ClassName)
                    reply.Windows.append(reinterpret_cast<const char *>(&number), sizeof number);
            break;
        default:
            return;
        }
        if (connection && connection->IsOpen())
            connection->WriteFrame(Encode(reply));
    }

    void DispatchAll(quint32 msg, qint64 wParam, qint64 lParam)
    {
        std::vector<quint32> numbers;
        for (const auto &entry : Windows)
            numbers.push_back(entry.first);
        for (quint32 number : numbers)
            Dispatch(number, msg, wParam, lParam);
    }

    // Far more than copies of the program ever keep open at once.
    static constexpr size_t MaxInbound = 32;

    TLocalServer FServer;
    std::vector<QPointer<TLocalConnection>> FInbound;
};

void ApplicationWindowProc(TMessage &message)
{
    TEndpoint *endpoint = TEndpoint::Instance(false);
    if (!endpoint)
        return;
    const TApplicationWindowHooks &hooks = endpoint->Hooks;
    if (message.Msg == WM_SYSCOMMAND && message.WParam == SC_RESTORE && hooks.Restore)
        hooks.Restore();
    else if (message.Msg == VxQueryIconic && hooks.IsIconic)
        message.Result = hooks.IsIconic() ? 1 : 0;
    else if (message.Msg == VxBringToFront && hooks.BringToFront)
        hooks.BringToFront();
}

TEndpoint *LocalEndpoint()
{
    TEndpoint *endpoint = TEndpoint::Instance(true);
    if (endpoint && endpoint->Windows.empty())
        endpoint->Windows[ApplicationWindowNumber] = {ApplicationClass, ApplicationWindowProc, CurrentThreadId()};
    return endpoint;
}

bool IsLocal(HWND window)
{
    return WindowProcessId(window) == CurrentProcessId();
}

// One conversation with another process: connected, or not at all.
class TPeer
{
public:
    explicit TPeer(quint32 processId)
    {
        FConnected = FConnection.Connect(EndpointPath(processId), RemoteAnswerTimeoutMs);
    }
    ~TPeer()
    {
        if (FConnected)
            FConnection.Flush(RemoteAnswerTimeoutMs);
    }
    bool Connected() const { return FConnected; }

    bool Post(const TRequest &request)
    {
        return FConnected && FConnection.WriteFrame(Encode(request));
    }

    // Sends and waits for the answer, handling what is sent to this process meanwhile.
    bool Ask(const TRequest &request, TReply &reply)
    {
        if (!Post(request))
            return false;
        const QDeadlineTimer deadline(RemoteAnswerTimeoutMs);
        TEndpoint *endpoint = TEndpoint::Instance(false);
        for (;;) {
            QByteArray body;
            const TLocalConnection::TFrameState state = FConnection.TakeFrame(body);
            if (state == TLocalConnection::fsFrame)
                return Decode(body, reply);
            if (state == TLocalConnection::fsBad || !FConnection.IsOpen() || FConnection.Ended())
                return false;
            const qint64 left = deadline.remainingTime();
            if (left <= 0)
                return false;
            if (endpoint)
                endpoint->Service(&FConnection, int(left));
            else
                FConnection.Wait(int(left));
        }
    }

private:
    TLocalConnection FConnection;
    bool FConnected = false;
};

} // namespace

QString EndpointPath(quint32 processId)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    const QString path = folder + QStringLiteral("/vx-window-%1").arg(processId);
    // A socket path holds at most 107 bytes.
    if (QFile::encodeName(path).size() <= 107)
        return path;
    // The process id stays readable, so that a later copy's sweep finds a killed one's endpoint.
    const QByteArray hash = QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex().left(32);
    return QDir::tempPath() + QStringLiteral("/vx-window-%1-").arg(processId) + QString::fromLatin1(hash);
}

void RemoveStaleEndpoint(quint32 processId)
{
    if (processId != 0 && !ProcessAlive(processId))
        QFile::remove(EndpointPath(processId));
}

HWND CreateMessageWindow(const QString &className, TWndMethod method)
{
    TEndpoint *endpoint = LocalEndpoint();
    if (!endpoint)
        return 0;
    const quint32 number = endpoint->NextNumber++;
    endpoint->Windows[number] = {className, std::move(method), CurrentThreadId()};
    return MakeHandle(CurrentProcessId(), number);
}

void DestroyMessageWindow(HWND window)
{
    TEndpoint *endpoint = TEndpoint::Instance(false);
    if (endpoint && IsLocal(window) && NumberOf(window) != ApplicationWindowNumber)
        endpoint->Windows.erase(NumberOf(window));
}

quint32 WindowProcessId(HWND window)
{
    return quint32(window >> 32);
}

quint32 WindowThreadId(HWND window)
{
    if (window == 0)
        return 0;
    if (IsLocal(window)) {
        TEndpoint *endpoint = TEndpoint::Instance(false);
        auto it = endpoint ? endpoint->Windows.find(NumberOf(window)) : decltype(endpoint->Windows.end())();
        return endpoint && it != endpoint->Windows.end() ? it->second.ThreadId : 0;
    }
    // Windows of another process belong to its main thread, whose id is the process id.
    return WindowProcessId(window);
}

HWND ApplicationWindow()
{
    return LocalEndpoint() ? MakeHandle(CurrentProcessId(), ApplicationWindowNumber) : 0;
}

HWND ApplicationWindow(quint32 processId)
{
    if (processId == 0)
        return 0;
    if (processId == CurrentProcessId()) {
        TEndpoint *endpoint = TEndpoint::Instance(false);
        return endpoint ? MakeHandle(processId, ApplicationWindowNumber) : 0;
    }
    TPeer peer(processId);
    return peer.Connected() ? MakeHandle(processId, ApplicationWindowNumber) : 0;
}

QList<HWND> ProcessWindowsOfClass(quint32 processId, const QString &className)
{
    QList<HWND> windows;
    if (processId == CurrentProcessId()) {
        if (TEndpoint *endpoint = TEndpoint::Instance(false))
            for (const auto &[number, entry] : endpoint->Windows)
                if (className.isEmpty() || entry.ClassName == className)
                    windows.append(MakeHandle(processId, number));
        return windows;
    }
    TPeer peer(processId);
    TRequest request;
    request.Kind = fkEnumClass;
    request.ClassName = className;
    TReply reply;
    if (peer.Ask(request, reply))
        for (qsizetype i = 0; i + 4 <= reply.Windows.size(); i += 4) {
            quint32 number = 0;
            std::memcpy(&number, reply.Windows.constData() + i, sizeof number);
            windows.append(MakeHandle(processId, number));
        }
    return windows;
}

quint32 RegisterWindowMessage(const QString &name)
{
    // FNV-1a over the upper-cased name, into the range the desktop system gives such messages.
    quint32 hash = 2166136261u;
    for (char byte : name.toUpper().toUtf8()) {
        hash ^= quint8(byte);
        hash *= 16777619u;
    }
    return 0xC000 + hash % 0x4000;
}

namespace {

qint64 Send(HWND window, TRequest request, bool *delivered)
{
    if (delivered)
        *delivered = false;
    if (window == 0)
        return 0;
    if (IsLocal(window)) {
        TEndpoint *endpoint = TEndpoint::Instance(false);
        if (!endpoint || !endpoint->Windows.count(NumberOf(window)))
            return 0;
        if (delivered)
            *delivered = true;
        if (request.Msg == WM_COPYDATA) {
            TCopyDataStruct copyData{request.DataKind, quint32(request.Data.size()), request.Data.constData()};
            return endpoint->Dispatch(NumberOf(window), request.Msg, request.WParam, qint64(quintptr(&copyData)));
        }
        return endpoint->Dispatch(NumberOf(window), request.Msg, request.WParam, request.LParam);
    }
    TPeer peer(WindowProcessId(window));
    request.Kind = fkSend;
    request.Window = NumberOf(window);
    TReply reply;
    if (!peer.Ask(request, reply))
        return 0;
    if (delivered)
        *delivered = true;
    return reply.Result;
}

} // namespace

qint64 SendMessage(HWND window, quint32 msg, qint64 wParam, qint64 lParam, bool *delivered)
{
    return Send(window, MessageRequest(fkSend, 0, msg, wParam, lParam), delivered);
}

qint64 SendCopyData(HWND window, HWND sender, quint64 dataKind, const QByteArray &data, bool *delivered)
{
    TRequest request;
    request.Msg = WM_COPYDATA;
    request.WParam = qint64(sender);
    request.DataKind = dataKind;
    request.Data = data;
    return Send(window, request, delivered);
}

bool SendNotifyMessage(HWND window, quint32 msg, qint64 wParam, qint64 lParam)
{
    if (window == 0)
        return false;
    if (IsLocal(window)) {
        TEndpoint *endpoint = TEndpoint::Instance(false);
        if (!endpoint || !endpoint->Windows.count(NumberOf(window)))
            return false;
        endpoint->Dispatch(NumberOf(window), msg, wParam, lParam);
        return true;
    }
    TPeer peer(WindowProcessId(window));
    return peer.Post(MessageRequest(fkNotify, NumberOf(window), msg, wParam, lParam));
}

void NotifyThreadWindows(quint32 threadId, quint32 msg, qint64 wParam, qint64 lParam)
{
    if (TEndpoint *endpoint = TEndpoint::Instance(false); endpoint && threadId == CurrentThreadId()) {
        std::vector<quint32> numbers;
        for (const auto &[number, entry] : endpoint->Windows)
            if (entry.ThreadId == threadId)
                numbers.push_back(number);
        for (quint32 number : numbers)
            endpoint->Dispatch(number, msg, wParam, lParam);
        return;
    }
    if (threadId == CurrentThreadId())
        return;
    TPeer peer(threadId);
    peer.Post(MessageRequest(fkNotify, 0, msg, wParam, lParam));
}

bool PostThreadMessage(quint32 threadId, quint32 msg, qint64 wParam, qint64 lParam, quint32 *error)
{
    if (error)
        *error = 0;
    if (threadId != 0 && threadId == CurrentThreadId())
        return true; // nothing in this program reads its own thread messages
    TPeer peer(threadId);
    if (threadId != 0 && peer.Post(MessageRequest(fkPostThread, 0, msg, wParam, lParam)))
        return true;
    if (error)
        *error = ERROR_INVALID_THREAD_ID;
    return false;
}

void SetApplicationWindowHooks(const TApplicationWindowHooks &hooks)
{
    if (TEndpoint *endpoint = LocalEndpoint())
        endpoint->Hooks = hooks;
}

bool IsIconic(HWND window)
{
    return SendMessage(window, VxQueryIconic, 0, 0) != 0;
}

bool SetForegroundWindow(HWND window)
{
    return SendNotifyMessage(window, VxBringToFront, 0, 0);
}

void ExitProcess(int exitCode)
{
    if (TEndpoint *endpoint = TEndpoint::Instance(false))
        endpoint->Close();
    std::fflush(nullptr);
    _exit(exitCode);
}
