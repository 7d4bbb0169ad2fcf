#include "platform/kernel/LocalSocket.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool FillAddress(sockaddr_un &address, const QByteArray &path)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return true;
}

quint32 FrameLength(const QByteArray &input)
{
    quint32 size = 0;
    for (int i = 0; i < 4; ++i)
        size |= quint32(quint8(input[i])) << (8 * i);
    return size;
}

// Poll's wait from a deadline that may already have passed.
int PollWait(const QDeadlineTimer &deadline)
{
    return int(qBound<qint64>(0, deadline.remainingTime(), qint64(1) << 30));
}

void Retire(QSocketNotifier *&notifier)
{
    if (!notifier)
        return;
    // It may be the one whose signal is running right now.
    notifier->setEnabled(false);
    notifier->deleteLater();
    notifier = nullptr;
}

} // namespace

TLocalConnection::TLocalConnection(QObject *parent) : QObject(parent) {}

TLocalConnection::TLocalConnection(int descriptor, QObject *parent) : QObject(parent), FDescriptor(descriptor) {}

TLocalConnection::~TLocalConnection()
{
    Close();
}

bool TLocalConnection::Connect(const QString &path, int timeoutMs)
{
    Close();
    FEnded = false;
    FInput.clear();
    FOutput.clear();
    FSent = 0;
    sockaddr_un address;
    if (!FillAddress(address, QFile::encodeName(path)))
        return false;
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (descriptor < 0)
        return false;
    // Blocking for the connect alone: it then waits while the server's queue is full, as long as
    // the send time limit allows, where a non-blocking one would fail at once.
    const QDeadlineTimer deadline(timeoutMs);
    bool connected = false;
    for (;;) {
        const int left = qMax(1, PollWait(deadline));
        const timeval limit{time_t(left / 1000), suseconds_t(left % 1000 * 1000)};
        ::setsockopt(descriptor, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        if (::connect(descriptor, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0 || errno == EISCONN) {
            connected = true;
            break;
        }
        if (errno != EINTR || deadline.hasExpired())
            break;
    }
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (!connected || flags < 0 || ::fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) != 0) {
        ::close(descriptor);
        return false;
    }
    FDescriptor = descriptor;
    return true;
}

void TLocalConnection::Close()
{
    Retire(FReadNotifier);
    Retire(FWriteNotifier);
    if (FDescriptor >= 0)
        ::close(FDescriptor);
    FDescriptor = -1;
}

bool TLocalConnection::WriteFrame(const QByteArray &body)
{
    // The other side would drop the connection over it.
    if (!IsOpen() || quint64(body.size()) > MaxLocalFrame)
        return false;
    if (!HasOutput()) {
        FOutput.clear();
        FSent = 0;
    }
    const quint32 size = quint32(body.size());
    for (int i = 0; i < 4; ++i)
        FOutput.append(char((size >> (8 * i)) & 0xFF));
    FOutput.append(body);
    return SendPending();
}

bool TLocalConnection::SendPending()
{
    bool failed = !IsOpen();
    while (!failed && HasOutput()) {
        const ssize_t sent = ::send(FDescriptor, FOutput.constData() + FSent, size_t(FOutput.size() - FSent),
                                    MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            FSent += sent;
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent == 0 || errno == EAGAIN || errno == EWOULDBLOCK)
            break;
        // The peer is gone: the read side reports the end, nothing queued can arrive.
        failed = true;
        FEnded = true;
    }
    if (failed || !HasOutput()) {
        FOutput.clear();
        FSent = 0;
    }
    WatchOutput();
    return !failed;
}

bool TLocalConnection::Flush(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (!SendPending())
            return false;
        if (!HasOutput())
            return true;
        if (deadline.hasExpired())
            return false;
        pollfd waiting{FDescriptor, POLLOUT, 0};
        const int ready = ::poll(&waiting, 1, PollWait(deadline));
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

bool TLocalConnection::Receive()
{
    constexpr qsizetype Chunk = 256 * 1024;
    while (IsOpen() && !FEnded) {
        // Reading stops at a whole frame: a fast peer never makes the input grow past one frame.
        if (FInput.size() >= 4) {
            const quint32 size = FrameLength(FInput);
            if (size > MaxLocalFrame || FInput.size() >= 4 + qsizetype(size))
                return true;
        }
        const qsizetype old = FInput.size();
        FInput.resize(old + Chunk);
        const ssize_t got = ::recv(FDescriptor, FInput.data() + old, size_t(Chunk), MSG_DONTWAIT);
        const int error = errno;
        FInput.resize(old + qMax<ssize_t>(got, 0));
        if (got > 0 || (got < 0 && error == EINTR))
            continue;
        if (got < 0 && (error == EAGAIN || error == EWOULDBLOCK))
            return true;
        FEnded = true;
    }
    return IsOpen() && !FEnded;
}

void TLocalConnection::Wait(int timeoutMs)
{
    if (!IsOpen())
        return;
    pollfd waiting{FDescriptor, short(POLLIN | (HasOutput() ? POLLOUT : 0)), 0};
    if (::poll(&waiting, 1, timeoutMs) <= 0)
        return;
    SendPending();
    Receive();
}

TLocalConnection::TFrameState TLocalConnection::TakeFrame(QByteArray &body)
{
    if (FInput.size() < 4)
        return fsIncomplete;
    const quint32 size = FrameLength(FInput);
    if (size > MaxLocalFrame)
        return fsBad;
    if (FInput.size() < 4 + qsizetype(size))
        return fsIncomplete;
    body = FInput.mid(4, size);
    FInput.remove(0, 4 + qsizetype(size));
    return fsFrame;
}

void TLocalConnection::Watch(std::function<void()> readable)
{
    if (!IsOpen() || FReadNotifier)
        return;
    FReadNotifier = new QSocketNotifier(qintptr(FDescriptor), QSocketNotifier::Read, this);
    connect(FReadNotifier, &QSocketNotifier::activated, this, [readable = std::move(readable)] { readable(); });
    WatchOutput();
}

void TLocalConnection::WatchOutput()
{
    if (!FReadNotifier || !IsOpen())
        return;
    if (!FWriteNotifier) {
        if (!HasOutput())
            return;
        FWriteNotifier = new QSocketNotifier(qintptr(FDescriptor), QSocketNotifier::Write, this);
        connect(FWriteNotifier, &QSocketNotifier::activated, this, [this] { SendPending(); });
    }
    FWriteNotifier->setEnabled(HasOutput());
}

TLocalServer::TLocalServer(QObject *parent) : QObject(parent) {}

TLocalServer::~TLocalServer()
{
    Close();
}

bool TLocalServer::Listen(const QString &path, std::function<void()> pending)
{
    Close();
    const QByteArray target = QFile::encodeName(path);
    sockaddr_un address;
    if (!FillAddress(address, target))
        return false;
    // Bound in a folder only we can enter and made the user's alone before it gets its name, so
    // no one else can connect in between.
    QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath()) + "/.vxXXXXXX";
    if (!::mkdtemp(folder.data()))
        return false;
    const QByteArray staging = folder + "/s";
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const bool listening = descriptor >= 0 && FillAddress(address, staging)
                           && ::bind(descriptor, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0
                           && ::chmod(staging.constData(), S_IRUSR | S_IWUSR) == 0 && ::listen(descriptor, 50) == 0
                           && ::rename(staging.constData(), target.constData()) == 0;
    if (!listening)
        ::unlink(staging.constData());
    ::rmdir(folder.constData());
    if (!listening) {
        if (descriptor >= 0)
            ::close(descriptor);
        return false;
    }
    FDescriptor = descriptor;
    FPath = target;
    if (pending) {
        FNotifier = new QSocketNotifier(qintptr(descriptor), QSocketNotifier::Read, this);
        connect(FNotifier, &QSocketNotifier::activated, this, [pending = std::move(pending)] { pending(); });
    }
    return true;
}

TLocalConnection *TLocalServer::NextPending(QObject *parent)
{
    while (FDescriptor >= 0) {
        const int descriptor = ::accept4(FDescriptor, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (descriptor >= 0)
            return new TLocalConnection(descriptor, parent);
        if (errno != EINTR && errno != ECONNABORTED)
            break;
    }
    return nullptr;
}

void TLocalServer::Close()
{
    Retire(FNotifier);
    if (FDescriptor < 0)
        return;
    ::close(FDescriptor);
    FDescriptor = -1;
    ::unlink(FPath.constData());
    FPath.clear();
}
