#pragma once
// Helpers shared by the window tests: files on disk, recorded message boxes, a capture MIDI port.
#include "platform/midiout/CaptureDevice.h"
#include "platform/midiout/MidiOut.h"
#include "platform/vcl/Application.h"

#include <QApplication>
#include <QByteArray>
#include <QFont>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdlib>
#include <pthread.h>
#include <unistd.h>
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

// A file of that name in dir holding bytes; its path.
inline QString WriteFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    WriteFile(path, bytes);
    return path;
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

// A tmpfs of a few pages, mounted for the test when it runs as root.
struct TSmallDisk
{
    QTemporaryDir dir;
    bool mounted = false;
    TSmallDisk()
    {
        if (::geteuid() == 0)
            mounted = ::system(("mount -t tmpfs -o size=64k tmpfs " + dir.path().toStdString() + " 2>/dev/null").c_str()) == 0;
    }
    ~TSmallDisk()
    {
        if (mounted)
            (void)::system(("umount " + dir.path().toStdString()).c_str());
    }
    // Fills the disk to the last byte with a file that can be removed later.
    void Fill()
    {
        QFile filler(dir.filePath(QStringLiteral("filler")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(512, 'x');
        while (filler.write(block) == block.size()) {
        }
        while (filler.write("x", 1) == 1) {
        }
    }
};

// From here on no thread of this process starts, as under a limit on processes or memory: each
// asks for a stack larger than the address space.
inline void NoThreadCanStart()
{
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, size_t(1) << 50);
    pthread_setattr_default_np(&attributes);
    pthread_attr_destroy(&attributes);
}

inline void RestoreDevicesAndBoxes()
{
    Application::SetMessageBoxHook({});
    MidiOut::ResetDevices();
}

// The application's font at a point size for the length of a test; the old font comes back after.
class TAppFontSize
{
public:
    TAppFontSize() = default;
    TAppFontSize(const TAppFontSize &) = delete;
    TAppFontSize &operator=(const TAppFontSize &) = delete;
    ~TAppFontSize() { QApplication::setFont(FOriginal); }

    void Set(int pointSize) const
    {
        QFont font = FOriginal;
        font.setPointSize(pointSize);
        QApplication::setFont(font);
    }

private:
    const QFont FOriginal = QApplication::font();
};

// A copy of the built program in the folder, so that its data files land there; empty when the
// copy fails.
inline QString ProgramCopy(const QTemporaryDir &folder)
{
    const QString program = QFileInfo(folder.path()).canonicalFilePath() + QStringLiteral("/veltrasomin");
    return QFile::copy(QStringLiteral(VX_BINARY_DIR "/app/veltrasomin"), program) ? program : QString();
}

} // namespace TestSupport
