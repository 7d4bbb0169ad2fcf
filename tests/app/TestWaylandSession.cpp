// The program on a Wayland desktop, where no program learns its window's place or restores and
// raises its window itself. Runs on a compositor of its own; skips where none is installed.
#include "TestSupport.h"
#include "app/ui/MainUnit.h"
#include "platform/kernel/KernelWindows.h"
#include "toolkit/VxTrayIcon.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

// Qt's Wayland plugin and the graphics drivers it loads keep blocks to the end, some in modules
// unloaded by then; our own code's leaks show in every other test program, run offscreen.
#if defined(__SANITIZE_ADDRESS__)
#define VX_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VX_LEAK_CHECKED 1
#endif
#endif
#ifdef VX_LEAK_CHECKED
extern "C" int __lsan_is_turned_off()
{
    return 1;
}
#endif

namespace {

// A headless weston, started before the application object so that it becomes the test's display
// (and that of the copies of the program it starts).
class TCompositor
{
public:
    TCompositor()
    {
        const QString weston = QStandardPaths::findExecutable(QStringLiteral("weston"));
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (weston.isEmpty()) {
            FMissing = "no Wayland compositor (weston) installed";
            return;
        }
        if (runtime.isEmpty()) {
            FMissing = "no runtime folder (XDG_RUNTIME_DIR) for the compositor's socket";
            return;
        }
        if (!QFileInfo::exists(QStringLiteral("%1/platforms/libqwayland-generic.so")
                                   .arg(QLibraryInfo::path(QLibraryInfo::PluginsPath)))) {
            FMissing = "Qt's Wayland platform (qt6-wayland) is not installed";
            return;
        }
        FSocket = "vx-wayland-" + std::to_string(getpid());
        FPid = fork();
        if (FPid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            const std::string path = weston.toStdString(), socket = "--socket=" + FSocket;
            // The debug protocol lets weston-debug tell which windows are on screen.
            execl(path.c_str(), "weston", "--backend=headless-backend.so", socket.c_str(), "--debug",
                  static_cast<char *>(nullptr));
            _exit(127);
        }
        const std::string socketPath = runtime.toStdString() + '/' + FSocket;
        for (int wait = 0; wait < 1000 && FPid > 0 && access(socketPath.c_str(), F_OK) != 0; ++wait)
            if (waitpid(FPid, nullptr, WNOHANG) == FPid) {
                FPid = -1;
                break;
            } else
                usleep(20000);
        if (FPid <= 0 || access(socketPath.c_str(), F_OK) != 0) {
            FMissing = "the Wayland compositor did not start";
            return;
        }
        setenv("WAYLAND_DISPLAY", FSocket.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "wayland", 1);
        unsetenv("DISPLAY");
    }
    ~TCompositor()
    {
        if (FPid > 0) {
            kill(FPid, SIGTERM);
            waitpid(FPid, nullptr, 0);
        }
    }
    const char *Missing() const { return FMissing; }

private:
    pid_t FPid = -1;
    std::string FSocket;
    const char *FMissing = nullptr;
};

const TCompositor Compositor;

// What weston shows: its scene graph, one view per window on screen.
QByteArray SceneGraph()
{
    QProcess debug;
    debug.start(QStringLiteral("weston-debug"), {QStringLiteral("scene-graph")});
    if (!debug.waitForFinished(10000))
        return {};
    return debug.readAllStandardOutput();
}

bool OnScreen(const QWidget &window)
{
    return SceneGraph().contains("top-level window '" + window.windowTitle().toUtf8() + '\'');
}

} // namespace

class TestWaylandSession : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (Compositor.Missing())
            QSKIP(Compositor.Missing());
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
    }
    void init() { TestSupport::UseCapturePort(); }
    void cleanup() { TestSupport::RestoreDevicesAndBoxes(); }
    void AClosedWindowKeepsThePlaceStoredBefore();
    void OpenBringsBackAMinimizedWindow();
};

void TestWaylandSession::AClosedWindowKeepsThePlaceStoredBefore()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString program = TestSupport::ProgramCopy(folder);
    QVERIFY(!program.isEmpty());
    QFile settings(folder.filePath(QStringLiteral("veltrasomin_settings.ini")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[POSITION]\nTop=300\nLeft=200\n");
    settings.close();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The same for the program's copy.
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

void TestWaylandSession::OpenBringsBackAMinimizedWindow()
{
    // No notification area here: the window is minimized, as the user's own minimize button does,
    // and Open (what a second start of the program calls) must bring it back.
    QTemporaryDir dir;
    TMainForm form(dir.path());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTRY_VERIFY(OnScreen(form));
    form.VxTrayIcon->HideApplication();
    QTRY_VERIFY2(!OnScreen(form), SceneGraph().constData());
    form.PopUpOpenClick();
    QTRY_VERIFY2(OnScreen(form), SceneGraph().constData());
}

QTEST_MAIN(TestWaylandSession)
#include "TestWaylandSession.moc"
