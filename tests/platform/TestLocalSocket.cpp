#include "platform/kernel/LocalSocket.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int WaitMs = 10000;

// A raw socket at path: connected, or bound and closed so only its file stays behind.
int RawSocket(const QString &path, bool connectIt)
{
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const auto *raw = reinterpret_cast<const sockaddr *>(&address);
    const int result = connectIt ? ::connect(descriptor, raw, sizeof address) : ::bind(descriptor, raw, sizeof address);
    if (result != 0 || !connectIt) {
        ::close(descriptor);
        return -1;
    }
    return descriptor;
}

std::unique_ptr<TLocalConnection> Accepted(TLocalServer &server)
{
    pollfd waiting{server.Descriptor(), POLLIN, 0};
    if (::poll(&waiting, 1, WaitMs) != 1)
        return nullptr;
    return std::unique_ptr<TLocalConnection>(server.NextPending(nullptr));
}

bool ClosedOnExecAndNonBlocking(int descriptor)
{
    return (::fcntl(descriptor, F_GETFD) & FD_CLOEXEC) && (::fcntl(descriptor, F_GETFL) & O_NONBLOCK);
}

QByteArray Pattern(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}

} // namespace

TEST(LocalSocket, FramesArriveWholeHoweverThePeerCutsTheBytes)
{
    const QByteArray big = Pattern(3 << 20);
    const struct {
        QList<QByteArray> pieces; // written one by one, then the writer closes
        QList<QByteArray> frames;
        TLocalConnection::TFrameState last;
    } cases[] = {
        {{QByteArray("\x03\x00", 2), QByteArray("\x00\x00" "ab", 4), "c"}, {"abc"}, TLocalConnection::fsIncomplete},
        {{QByteArray("\x00\x00\x00\x00" "\x01\x00\x00\x00" "z", 9)}, {"", "z"}, TLocalConnection::fsIncomplete},
        {{QByteArray("\x00\x00\x30\x00", 4) + big}, {big}, TLocalConnection::fsIncomplete},
        // The largest length taken, and a peer that goes in the middle of its frame.
        {{QByteArray("\x00\x00\x00\x04" "abc", 7)}, {}, TLocalConnection::fsIncomplete},
        {{QByteArray("\x01\x00\x00\x04" "abc", 7)}, {}, TLocalConnection::fsBad},
        {{QByteArray("\x01\x00\x00\x00" "x" "\xff\xff\xff\xff", 9)}, {"x"}, TLocalConnection::fsBad},
    };
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    TLocalServer server;
    ASSERT_TRUE(server.Listen(folder.filePath(QStringLiteral("frames")), nullptr));
    int round = 0;
    for (const auto &c : cases) {
        ++round;
        const int writer = RawSocket(folder.filePath(QStringLiteral("frames")), true);
        ASSERT_GE(writer, 0);
        std::unique_ptr<TLocalConnection> reader = Accepted(server);
        ASSERT_TRUE(reader);
        std::thread writing([&] {
            for (const QByteArray &piece : c.pieces)
                for (qsizetype done = 0; done < piece.size();) {
                    const ssize_t sent = ::send(writer, piece.constData() + done, size_t(piece.size() - done), MSG_NOSIGNAL);
                    if (sent <= 0)
                        break;
                    done += sent;
                }
            ::close(writer);
        });
        QList<QByteArray> frames;
        TLocalConnection::TFrameState state = TLocalConnection::fsIncomplete;
        const QDeadlineTimer deadline(WaitMs);
        while (!deadline.hasExpired()) {
            QByteArray body;
            state = reader->TakeFrame(body);
            if (state == TLocalConnection::fsFrame) {
                frames.append(body);
                continue;
            }
            if (state == TLocalConnection::fsBad || reader->Ended())
                break;
            reader->Wait(int(deadline.remainingTime()));
        }
        writing.join();
        EXPECT_EQ(frames, c.frames) << round;
        EXPECT_EQ(state, c.last) << round;
        EXPECT_EQ(reader->Ended(), c.last == TLocalConnection::fsIncomplete) << round;
    }
}

TEST(LocalSocket, WritesToAPeerThatReadsNothingOrHasGoneFailWithoutWaitingOrASignal)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("peer"));
    TLocalServer server;
    ASSERT_TRUE(server.Listen(path, nullptr));
    TLocalConnection writer;
    ASSERT_TRUE(writer.Connect(path, WaitMs));
    std::unique_ptr<TLocalConnection> peer = Accepted(server);
    ASSERT_TRUE(peer);
    // More than a socket holds: the rest stays queued, and a flush gives up at its limit.
    EXPECT_TRUE(writer.WriteFrame(Pattern(4 << 20)));
    EXPECT_TRUE(writer.HasOutput());
    EXPECT_FALSE(writer.Flush(20));
    peer.reset();
    EXPECT_FALSE(writer.Flush(WaitMs));
    EXPECT_FALSE(writer.WriteFrame("x"));
    EXPECT_TRUE(writer.Ended());
    // A frame the other side would refuse is not sent at all.
    TLocalConnection second;
    ASSERT_TRUE(second.Connect(path, WaitMs));
    EXPECT_FALSE(second.WriteFrame(QByteArray(qsizetype(MaxLocalFrame) + 1, 'x')));
    EXPECT_FALSE(second.HasOutput());
}

TEST(LocalSocket, ServerTakesTheStaleFilesPlaceForTheUserAloneAndRemovesItAtTheEnd)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("stale"));
    RawSocket(path, false);
    ASSERT_TRUE(QFile::exists(path));
    TLocalConnection client;
    EXPECT_FALSE(client.Connect(path, WaitMs));

    TLocalServer server;
    ASSERT_TRUE(server.Listen(path, nullptr));
    struct stat info{};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    ASSERT_TRUE(client.Connect(path, WaitMs));
    std::unique_ptr<TLocalConnection> accepted = Accepted(server);
    ASSERT_TRUE(accepted);
    for (int descriptor : {server.Descriptor(), client.Descriptor(), accepted->Descriptor()})
        EXPECT_TRUE(ClosedOnExecAndNonBlocking(descriptor));
    // Nothing but the socket is left in the folder: the private place it was made in is gone.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("stale")});
    server.Close();
    EXPECT_FALSE(QFile::exists(path));

    // A path longer than a socket address holds.
    const QString tooLong = folder.filePath(QString(120, QLatin1Char('n')));
    EXPECT_FALSE(server.Listen(tooLong, nullptr));
    EXPECT_FALSE(client.Connect(tooLong, WaitMs));
}
