#pragma once
// Drives the cross-process helper: every line it prints is read back with a time limit, so a
// deadlock fails the test instead of hanging it.
#include <QProcess>
#include <QFile>
#include <QTemporaryDir>
#include <QString>
#include <QStringList>
#include <csignal>
#include <grp.h>
#include <unistd.h>

class THelperProcess
{
public:
    // asUser >= 0 runs the helper as that user (which needs root).
    explicit THelperProcess(const QStringList &steps, int asUser = -1)
    {
        if (asUser >= 0)
            FProcess.setChildProcessModifier([asUser] {
                if (::setgroups(0, nullptr) != 0 || ::setresgid(gid_t(asUser), gid_t(asUser), gid_t(asUser)) != 0
                    || ::setresuid(uid_t(asUser), uid_t(asUser), uid_t(asUser)) != 0)
                    ::_exit(127);
            });
        FProcess.start(asUser >= 0 ? OpenCopy() : QStringLiteral(VX_BINARY_DIR "/tests/kernelhelper"), steps);
        FProcess.waitForStarted(10000);
        const QString first = Line();
        Pid = first.startsWith(QLatin1String("pid ")) ? first.mid(4).toUInt() : 0;
    }
    ~THelperProcess()
    {
        if (FProcess.state() != QProcess::NotRunning) {
            FProcess.kill();
            FProcess.waitForFinished(10000);
        }
    }

    // The next line, or "<none>" when none came in time.
    QString Line(int timeoutMs = 20000)
    {
        while (!FProcess.canReadLine())
            if (!FProcess.waitForReadyRead(timeoutMs))
                return QStringLiteral("<none>");
        return QString::fromUtf8(FProcess.readLine()).trimmed();
    }
    // Lets a helper waiting at "wait" go on.
    void Resume()
    {
        FProcess.write("\n");
        FProcess.waitForBytesWritten(10000);
    }
    void KillHard()
    {
        ::kill(pid_t(FProcess.processId()), SIGKILL);
        FProcess.waitForFinished(10000);
    }
    // Exit code once it ended by itself, -1 when it did not in time.
    int Finish(int timeoutMs = 20000)
    {
        if (FProcess.state() != QProcess::NotRunning && !FProcess.waitForFinished(timeoutMs))
            return -1;
        if (FProcess.exitStatus() != QProcess::NormalExit)
            return -1;
        return FProcess.exitCode();
    }

    quint32 Pid = 0;

private:
    // Another user cannot reach the build folder when it lies in root's own home (mode 700, as a
    // clone in /root on a fresh machine): such a helper runs from a copy every user can run.
    static QString OpenCopy()
    {
        static QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("kernelhelper"));
        if (!QFile::exists(path)) {
            QFile::copy(QStringLiteral(VX_BINARY_DIR "/tests/kernelhelper"), path);
            const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                  | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
            QFile::setPermissions(folder.path(), everyone);
            QFile::setPermissions(path, everyone);
        }
        return path;
    }

    QProcess FProcess;
};

// Names no other run of the tests uses at the same time.
inline QString UniqueName(const QString &what)
{
    return QStringLiteral("VxTest%1_%2").arg(getpid()).arg(what);
}

// A killed holder's lock goes a moment after the process is reaped; waits until no process holds
// the named object (true at once when there is none).
#include "platform/kernel/SharedObject.h"

#include <QDir>
#include <QElapsedTimer>
#include <fcntl.h>
#include <sched.h>
inline bool WaitUntilUnheld(const QString &name, int timeoutMs = 10000)
{
    const int fd = ::open(("/dev/shm" + SharedObjectKey(name)).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return true;
    QElapsedTimer timer;
    timer.start();
    bool unheld = false;
    while (!unheld && timer.elapsed() < timeoutMs) {
        struct flock lock = {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_len = 1;
        unheld = fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type == F_UNLCK;
        if (!unheld)
            sched_yield();
    }
    ::close(fd);
    return unheld;
}

// Entries of /dev/shm whose name ends in text.
inline QStringList SharedMemoryEntries(const QString &text)
{
    return QDir(QStringLiteral("/dev/shm")).entryList({QLatin1Char('*') + text}, QDir::Files);
}
