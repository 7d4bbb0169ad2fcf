// The program as a process on a Wayland desktop, where no program learns its window's place.
#include "platform/kernel/KernelWindows.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class TestWaylandSession : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void AClosedWindowKeepsThePlaceStoredBefore();

private:
    QProcess FCompositor;
    QString FSocket;
};

void TestWaylandSession::initTestCase()
{
    const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
    if (weston.isEmpty())
        QSKIP("no Wayland compositor (weston) installed");
    if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                           QStringLiteral("/platforms/libqwayland-generic.so")))
        QSKIP("Qt's Wayland platform (qt6-wayland) is not installed");
    // A compositor of the test's own, in the test's runtime folder, which the program inherits.
    FSocket = QStringLiteral("vx-wayland-%1").arg(QCoreApplication::applicationPid());
    FCompositor.start(weston, {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--socket=") + FSocket});
    QVERIFY(FCompositor.waitForStarted(10000));
    const QString socket = qEnvironmentVariable("XDG_RUNTIME_DIR") + QLatin1Char('/') + FSocket;
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket) || FCompositor.state() != QProcess::Running, 20000);
    if (!QFileInfo::exists(socket))
        QSKIP("the Wayland compositor did not start");
}

void TestWaylandSession::cleanupTestCase()
{
    if (FCompositor.state() == QProcess::NotRunning)
        return;
    FCompositor.terminate();
    if (!FCompositor.waitForFinished(10000))
        FCompositor.kill();
}

void TestWaylandSession::AClosedWindowKeepsThePlaceStoredBefore()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString program = QFileInfo(folder.path()).canonicalFilePath() + QStringLiteral("/veltrasomin");
    QVERIFY(QFile::copy(QStringLiteral(VX_BINARY_DIR "/app/veltrasomin"), program));
    QFile settings(folder.filePath(QStringLiteral("veltrasomin_settings.ini")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[POSITION]\nTop=300\nLeft=200\n");
    settings.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), FSocket);
    environment.remove(QStringLiteral("DISPLAY"));
    // Qt's Wayland plugins keep blocks to the end, some in modules unloaded by then; this test is
    // about the settings, and leaks of our own show in every other test.
    const QString sanitizer = environment.value(QStringLiteral("ASAN_OPTIONS"));
    environment.insert(QStringLiteral("ASAN_OPTIONS"), sanitizer + QStringLiteral(":detect_leaks=0"));
    QProcess copy;
    copy.setProcessEnvironment(environment);
    copy.start(program);
    QVERIFY(copy.waitForStarted(10000));
    const quint32 pid = quint32(copy.processId());
    QTRY_VERIFY_WITH_TIMEOUT(ApplicationWindow(pid) != 0 || copy.state() != QProcess::Running, 20000);
    QVERIFY2(copy.state() == QProcess::Running, copy.readAllStandardError().constData());
    // The window is shown before the program reads a signal; ending it so closes the window.
    QCOMPARE(::kill(pid_t(pid), SIGTERM), 0);
    QVERIFY(copy.waitForFinished(20000));
    QVERIFY2(copy.exitCode() == 0, copy.readAllStandardError().right(4000).constData());

    QVERIFY(settings.open(QIODevice::ReadOnly));
    const QByteArray text = settings.readAll();
    QVERIFY2(text.contains("Top=300\n") && text.contains("Left=200\n"), text.constData());
    QVERIFY2(text.contains("[OPTIONS]"), text.constData());
}

QTEST_GUILESS_MAIN(TestWaylandSession)
#include "TestWaylandSession.moc"
