// What another instance sends is read as length-prefixed frames: whatever the bytes, the frames
// taken are exactly those a plain reading of the stream gives, a length past the limit stops the
// reading as bad, and nothing is taken from an unfinished frame.
#include "platform/kernel/LocalSocket.h"

#include <cstddef>
#include <cstdint>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

enum class TEnd { Complete, Bad };

// The stream read by hand: the whole frames in it, and how it ends.
std::vector<QByteArray> PlainFrames(const QByteArray &stream, TEnd &end)
{
    std::vector<QByteArray> frames;
    qsizetype at = 0;
    end = TEnd::Complete;
    while (stream.size() - at >= 4) {
        quint32 size = 0;
        for (int i = 0; i < 4; ++i)
            size |= quint32(quint8(stream[at + i])) << (8 * i);
        if (size > MaxLocalFrame) {
            end = TEnd::Bad;
            break;
        }
        if (stream.size() - at - 4 < qsizetype(size))
            break;
        frames.push_back(stream.mid(at + 4, size));
        at += 4 + qsizetype(size);
    }
    return frames;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A socket holds far more than the fuzzer sends at once, so one write delivers it all.
    if (size > 64 * 1024)
        return 0;
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return 0;
    const QByteArray stream(reinterpret_cast<const char *>(data), qsizetype(size));
    if (::send(ends[1], stream.constData(), size_t(stream.size()), MSG_NOSIGNAL) != ssize_t(stream.size())) {
        ::close(ends[0]);
        ::close(ends[1]);
        return 0;
    }
    ::close(ends[1]);

    TEnd expectedEnd;
    const std::vector<QByteArray> expected = PlainFrames(stream, expectedEnd);
    TLocalConnection connection(ends[0], nullptr);
    std::vector<QByteArray> taken;
    TLocalConnection::TFrameState state = TLocalConnection::fsIncomplete;
    for (;;) {
        const bool open = connection.Receive();
        QByteArray body;
        state = connection.TakeFrame(body);
        if (state == TLocalConnection::fsFrame) {
            taken.push_back(body);
            continue;
        }
        if (state == TLocalConnection::fsBad || !open)
            break;
    }
    if (taken != expected)
        __builtin_trap();
    if ((state == TLocalConnection::fsBad) != (expectedEnd == TEnd::Bad))
        __builtin_trap();
    return 0;
}
