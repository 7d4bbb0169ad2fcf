#pragma once
// Helpers shared by the window tests: files on disk, recorded message boxes, a capture MIDI port.
#include "platform/midiout/CaptureDevice.h"
#include "platform/midiout/MidiOut.h"
#include "platform/vcl/Application.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <memory>

namespace TestSupport {

inline QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every box is answered with answer and recorded as "caption|text".
inline void RecordMessageBoxes(QStringList &boxes, int answer = Application::IDOK)
{
    boxes.clear();
    Application::SetMessageBoxHook([&boxes, answer](const QString &text, const QString &caption, int) {
        boxes.append(caption + QLatin1Char('|') + text);
        return answer;
    });
}

// Chords the window plays are heard by a capture port instead of the sound card.
inline std::shared_ptr<TCaptureDevice> UseCapturePort()
{
    auto port = std::make_shared<TCaptureDevice>(QStringLiteral("Test Port"));
    MidiOut::SetDevices({port});
    return port;
}

inline void RestoreDevicesAndBoxes()
{
    Application::SetMessageBoxHook({});
    MidiOut::ResetDevices();
}

} // namespace TestSupport
