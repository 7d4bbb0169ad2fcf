#include "platform/midiout/CaptureDevice.h"

#include "platform/ini/IniFile.h"

TCaptureDevice::TCaptureDevice(const QString &name) : FName(name.left(31))
{
}

bool TCaptureDevice::DoOpen()
{
    if (FUnavailable)
        return false;
    ++FOpens;
    return true;
}

void TCaptureDevice::ShortMessage(uint32_t message, uint64_t tick)
{
    std::lock_guard lock(FLogMutex);
    FLog.push_back({tick, message, false});
}

void TCaptureDevice::Reset()
{
    std::lock_guard lock(FLogMutex);
    ++FResets;
}

void TCaptureDevice::Reported(uint32_t message, uint64_t tick)
{
    std::lock_guard lock(FLogMutex);
    FLog.push_back({tick, message, true});
}

int TCaptureDevice::ResetCount() const
{
    std::lock_guard lock(FLogMutex);
    return FResets;
}

std::vector<TCaptureDevice::TEntry> TCaptureDevice::Log() const
{
    std::lock_guard lock(FLogMutex);
    return FLog;
}

std::vector<TCaptureDevice::TEntry> TCaptureDevice::Events() const
{
    std::vector<TEntry> events;
    for (const TEntry &entry : Log())
        if (!entry.report)
            events.push_back(entry);
    return events;
}

std::vector<uint32_t> TCaptureDevice::Reports() const
{
    std::vector<uint32_t> reports;
    for (const TEntry &entry : Log())
        if (entry.report)
            reports.push_back(entry.message);
    return reports;
}

void TCaptureDevice::Clear()
{
    std::lock_guard lock(FLogMutex);
    FLog.clear();
    FResets = 0;
}

bool TCaptureDevice::Step()
{
    const int64_t wait = MicrosecondsToNextEvent();
    if (wait < 0)
        return false;
    AdvanceClockUs(wait);
    return true;
}

namespace {

void AppendVariable(QByteArray &out, uint64_t value)
{
    value = std::min<uint64_t>(value, 0x0FFFFFFF);
    char bytes[4];
    int count = 0;
    bytes[count++] = char(value & 0x7F);
    while (value >>= 7)
        bytes[count++] = char((value & 0x7F) | 0x80);
    while (count > 0)
        out.append(bytes[--count]);
}

void AppendBigEndian(QByteArray &out, uint32_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

} // namespace

QByteArray TCaptureDevice::SmfBytes(uint16_t division) const
{
    QByteArray track;
    // Tempo: the stream's default of 500,000 microseconds per quarter note.
    track.append(QByteArray::fromHex("00ff510307a120"));
    uint64_t previous = 0;
    for (const TEntry &entry : Events()) {
        const int status = int(entry.message & 0xF0);
        if (status < 0x80 || status == 0xF0)
            continue;
        AppendVariable(track, entry.tick >= previous ? entry.tick - previous : 0);
        previous = std::max(previous, entry.tick);
        track.append(char(entry.message & 0xFF));
        track.append(char((entry.message >> 8) & 0x7F));
        if (status != 0xC0 && status != 0xD0)
            track.append(char((entry.message >> 16) & 0x7F));
    }
    track.append(QByteArray::fromHex("00ff2f00"));

    QByteArray file("MThd");
    AppendBigEndian(file, 6, 4);
    AppendBigEndian(file, 0, 2);
    AppendBigEndian(file, 1, 2);
    AppendBigEndian(file, division, 2);
    file.append("MTrk");
    AppendBigEndian(file, uint32_t(track.size()), 4);
    file.append(track);
    return file;
}

bool TCaptureDevice::WriteSmf(const QString &path, uint16_t division) const
{
    return IniText::WriteFileAtomically(path, SmfBytes(division));
}
