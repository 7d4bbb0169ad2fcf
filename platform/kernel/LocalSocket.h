#pragma once
// Length-prefixed frames over local stream sockets, on the bare system calls: the program's
// instances talk through these, and a network library at start-up only for that costs more
// libraries to load than the rest of the program together. Every frame is a 4-byte little-endian
// length and that many bytes. Descriptors are non-blocking and closed on exec, sockets are the
// user's alone, and a peer that has gone never raises SIGPIPE.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;

// A frame from outside is never trusted to say how big it is.
inline constexpr quint32 MaxLocalFrame = 64u << 20;

class TLocalConnection : public QObject
{
public:
    enum TFrameState { fsIncomplete, fsFrame, fsBad };

    explicit TLocalConnection(QObject *parent = nullptr);
    // Takes over a connected socket.
    TLocalConnection(int descriptor, QObject *parent);
    ~TLocalConnection() override;
    TLocalConnection(const TLocalConnection &) = delete;
    TLocalConnection &operator=(const TLocalConnection &) = delete;

    // Waits at most timeoutMs for a server that is busy taking other connections.
    bool Connect(const QString &path, int timeoutMs);
    bool IsOpen() const { return FDescriptor >= 0; }
    // The peer closed or the socket failed; what arrived before stays readable.
    bool Ended() const { return FEnded; }
    int Descriptor() const { return FDescriptor; }
    void Close();

    // Queues a frame and sends what the socket takes at once; false once the peer is gone.
    bool WriteFrame(const QByteArray &body);
    bool HasOutput() const { return FSent < FOutput.size(); }
    // Sends queued bytes as far as the socket takes them now.
    bool SendPending();
    // Waits at most timeoutMs until every queued byte is sent.
    bool Flush(int timeoutMs);

    // Reads what has arrived without waiting, up to the first whole frame; false once ended.
    bool Receive();
    // Waits at most timeoutMs for input, sending queued output meanwhile.
    void Wait(int timeoutMs);
    // Takes the first whole frame off the input. fsBad: the length is past any limit.
    TFrameState TakeFrame(QByteArray &body);

    // From now on the event loop reads and sends for this connection; readable is called when
    // input arrived or the connection ended.
    void Watch(std::function<void()> readable);

private:
    void WatchOutput();

    int FDescriptor = -1;
    bool FEnded = false;
    QByteArray FInput;
    QByteArray FOutput;
    qsizetype FSent = 0;
    QSocketNotifier *FReadNotifier = nullptr;
    QSocketNotifier *FWriteNotifier = nullptr;
};

class TLocalServer : public QObject
{
public:
    explicit TLocalServer(QObject *parent = nullptr);
    ~TLocalServer() override;
    TLocalServer(const TLocalServer &) = delete;
    TLocalServer &operator=(const TLocalServer &) = delete;

    // Listens at path, taking the place of any file there; pending is called by the event loop
    // when connections wait.
    bool Listen(const QString &path, std::function<void()> pending);
    bool IsListening() const { return FDescriptor >= 0; }
    int Descriptor() const { return FDescriptor; }
    // The next waiting connection, parented to parent; nullptr when none waits.
    TLocalConnection *NextPending(QObject *parent);
    // Stops listening and removes the socket file.
    void Close();

private:
    int FDescriptor = -1;
    QByteArray FPath;
    QSocketNotifier *FNotifier = nullptr;
};
