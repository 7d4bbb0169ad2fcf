// The program as a process: a second copy ends at once and brings the first to the front; a
// request to end from outside (logout, shutdown, kill) closes the window as the user would.
#include "TestSupport.h"
#include "platform/kernel/KernelWindows.h"
#include "platform/vcl/Application.h"
#include "sysutil/OsFileUtils.h"
#include "sysutil/OsSynch.h"
#include "Xvfb.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

class TestSingleInstance : public QObject
{
    Q_OBJECT
private slots:
    void SecondStartBringsTheFirstToTheFrontAndEnds();
    void TerminationSignalsKeepTheSettings();
    void SignalsTheLauncherIgnoredStayIgnored();
    void TheDisplayGoingAwayKeepsTheSettings();
    void SecondStartBringsAStartUpMessageToTheFront();
    void SecondStartBringsBackAWindowAnotherProgramTookAway();
    void AStartUpMessageAnotherProgramDestroysLetsTheStartGoOn();
    void ClosedStandardStreamsAreNotTakenByFilesOrTheDisplay();
    void ASaveAboveTheFileSizeLimitFailsAndKeepsTheOldFile();
    void WarningsToAPipeNobodyReadsAreLost();
};

namespace {

// The objects the program's copy shares with its siblings, gone once their last holder leaves;
// a killed program leaves its names behind, and a holder coming and going takes them away once
// the killed one's locks are gone (a moment after it was reaped). True when none is left.
bool ReleaseLeftovers(const QString &program)
{
    QString id = (QStringLiteral("Os") + program).toUpper();
    id.replace(QLatin1Char('/'), QLatin1Char('_'));
    {
        TOsOptex optex(id + QStringLiteral("_Otx"));
        TOsSwapFileMapping mapping(id + QStringLiteral("_Map"), PAGE_READWRITE, 1032);
    }
    return QDir(QStringLiteral("/dev/shm")).entryList({QLatin1Char('*') + id + QLatin1Char('*')}, QDir::Files).isEmpty();
}

// The program under a display of the test's own.
void UseDisplay(QProcess &process, const TXvfb &server)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), QString::fromStdString(server.Display()));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromLatin1(NoSessionBus));
    process.setProcessEnvironment(environment);
}

// The top-level windows on screen of a display that has no window manager, bottom first.
QList<xcb_window_t> WindowsOnScreen(xcb_connection_t *connection)
{
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
    QList<xcb_window_t> windows;
    for (int i = 0; tree && i < xcb_query_tree_children_length(tree); ++i) {
        const xcb_window_t window = xcb_query_tree_children(tree)[i];
        xcb_get_window_attributes_reply_t *attributes =
            xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr);
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
            windows.append(window);
        std::free(attributes);
    }
    std::free(tree);
    return windows;
}

// Starts the program minimized and waits until its window is there and minimized, which the
// program answers once it waits for events; its process id, 0 when that did not come.
quint32 StartMinimized(QProcess &copy, const QString &program)
{
    copy.start(program, {QStringLiteral("/MIN")});
    if (!copy.waitForStarted(10000))
        return 0;
    const quint32 pid = quint32(copy.processId());
    const auto minimized = [pid] {
        const HWND window = ApplicationWindow(pid);
        return window != 0 && IsIconic(window);
    };
    return QTest::qWaitFor(minimized, 40000) ? pid : 0;
}

// A connection of the test's own to the display, for looking at and taking away windows there.
std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)> Connect(const TXvfb &server)
{
    return {xcb_connect(server.Display().c_str(), nullptr), xcb_disconnect};
}

} // namespace

void TestSingleInstance::SecondStartBringsTheFirstToTheFrontAndEnds()
{
    // A copy of its own: the program keeps its files beside itself, and its path names its siblings.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString program = TestSupport::ProgramCopy(folder);
    QVERIFY(!program.isEmpty());

    QProcess first;
    first.start(program, {QStringLiteral("/MIN")});
    QVERIFY(first.waitForStarted(10000));
    const quint32 firstPid = quint32(first.processId());
    QTRY_VERIFY_WITH_TIMEOUT(ApplicationWindow(firstPid) != 0, 20000);
    const HWND window = ApplicationWindow(firstPid);
    QTRY_VERIFY_WITH_TIMEOUT(IsIconic(window), 20000);

    // A start takes seconds under the sanitizers on a busy machine; the time only bounds a hang.
    QProcess second;
    second.start(program);
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!IsIconic(window), 20000);
    QCOMPARE(first.state(), QProcess::Running);

    // A killed copy blocks no later start.
    first.kill();
    QVERIFY(first.waitForFinished(10000));
    QProcess third;
    third.start(program);
    QVERIFY(third.waitForStarted(10000));
    const quint32 thirdPid = quint32(third.processId());
    QTRY_VERIFY_WITH_TIMEOUT(ApplicationWindow(thirdPid) != 0, 20000);
    QVERIFY(!IsIconic(ApplicationWindow(thirdPid)));
    QVERIFY2(!QFileInfo::exists(EndpointPath(firstPid)), "the killed copy's endpoint is left behind");
    QCOMPARE(third.state(), QProcess::Running);
    third.kill();
    QVERIFY(third.waitForFinished(10000));

    RemoveStaleEndpoint(firstPid);
    RemoveStaleEndpoint(thirdPid);
    QTRY_VERIFY_WITH_TIMEOUT(ReleaseLeftovers(program), 10000);
}

void TestSingleInstance::TerminationSignalsKeepTheSettings()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString program = TestSupport::ProgramCopy(folder);
    QVERIFY(!program.isEmpty());
    const QString settings = folder.filePath(QStringLiteral("veltrasomin_settings.ini"));

    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        QFile::remove(settings);
        QProcess copy;
        // Whatever this test's own launcher ignored: the copy is started as from a desktop.
        copy.setChildProcessModifier([signal] { std::signal(signal, SIG_DFL); });
        copy.start(program, {QStringLiteral("/MIN")});
        QVERIFY(copy.waitForStarted(10000));
        const quint32 pid = quint32(copy.processId());
        QTRY_VERIFY_WITH_TIMEOUT(ApplicationWindow(pid) != 0, 20000);
        QCOMPARE(::kill(pid_t(pid), signal), 0);
        QVERIFY(copy.waitForFinished(10000));
        QVERIFY2(copy.exitStatus() == QProcess::NormalExit, strsignal(signal));
        QCOMPARE(copy.exitCode(), 0);
        QVERIFY2(QFileInfo(settings).size() > 0, strsignal(signal));
    }
    QTRY_VERIFY_WITH_TIMEOUT(ReleaseLeftovers(program), 10000);
}

// "nohup" ignores the terminal's hangup, a script's background job its Ctrl+C: the program
// started so keeps running when they come.
void TestSingleInstance::SignalsTheLauncherIgnoredStayIgnored()
{
    for (const int signal : {SIGHUP, SIGINT}) {
        const pid_t child = ::fork();
        if (child == 0) {
            std::signal(signal, SIG_IGN);
            Application::CatchTerminationSignals();
            ::raise(signal);
            for (int turn = 0; turn < 3; ++turn)
                QCoreApplication::processEvents();
            ::_exit(Application::Terminated() ? 1 : 0);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, strsignal(signal));
    }
}

// A session that ends by taking the display away, with no word to the program.
void TestSingleInstance::TheDisplayGoingAwayKeepsTheSettings()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString program = TestSupport::ProgramCopy(folder);
    QVERIFY(!program.isEmpty());
    QProcess copy;
    {
        TXvfb server;
        if (server.Display().empty())
            QSKIP("Xvfb is not available");
        UseDisplay(copy, server);
        QVERIFY(StartMinimized(copy, program) != 0);
    }
    QVERIFY(copy.waitForFinished(10000));
    QVERIFY(QFileInfo(folder.filePath(QStringLiteral("veltrasomin_settings.ini"))).size() > 0);
    QTRY_VERIFY_WITH_TIMEOUT(ReleaseLeftovers(program), 10000);
}

// A message of the start (a user file without its section header) waits for an answer before the
// window is built; covered by another program's window, a second start brings it to the front.
void TestSingleInstance::SecondStartBringsAStartUpMessageToTheFront()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString program = TestSupport::ProgramCopy(folder);
    QVERIFY(!program.isEmpty());
    QFile user(folder.filePath(QStringLiteral("user_chords.ini")));
    QVERIFY(user.open(QIODevice::WriteOnly));
    user.write("; my chords\n; none yet\n");
    user.close();
    TXvfb server;
    if (server.Display().empty())
        QSKIP("Xvfb is not available");
    const auto connection = Connect(server);
    QVERIFY(!xcb_connection_has_error(connection.get()));

    QProcess first;
    UseDisplay(first, server);
    first.start(program);
    QVERIFY(first.waitForStarted(10000));
    // The program's message is the one window on screen besides the cover.
    const auto messageAbove = [&](xcb_window_t cover) {
        const QList<xcb_window_t> windows = WindowsOnScreen(connection.get());
        const qsizetype top = windows.size() - 1;
        return top >= 0 && windows[top] != cover;
    };
    QTRY_VERIFY_WITH_TIMEOUT(messageAbove(XCB_WINDOW_NONE), 20000);

    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection.get())).data;
    const xcb_window_t cover = xcb_generate_id(connection.get());
    xcb_create_window(connection.get(), XCB_COPY_FROM_PARENT, cover, screen->root, 0, 0, screen->width_in_pixels,
                      screen->height_in_pixels, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    xcb_map_window(connection.get(), cover);
    xcb_flush(connection.get());
    QTRY_VERIFY_WITH_TIMEOUT(!messageAbove(cover), 10000);

    QProcess second;
    UseDisplay(second, server);
    second.start(program);
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(messageAbove(cover), 10000);

    first.terminate();
    QVERIFY(first.waitForFinished(10000));
    QTRY_VERIFY_WITH_TIMEOUT(ReleaseLeftovers(program), 10000);
}

// Another program destroys the window (xdotool windowclose) or withdraws it (xdotool windowunmap);
// the copy goes on running, and the next start must show its window again.
void TestSingleInstance::SecondStartBringsBackAWindowAnotherProgramTookAway()
{
    const struct {
        const char *how;
        xcb_void_cookie_t (*takeAway)(xcb_connection_t *, xcb_window_t);
    } cases[] = {{"destroyed", xcb_destroy_window}, {"withdrawn", xcb_unmap_window}};
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString program = TestSupport::ProgramCopy(folder);
    QVERIFY(!program.isEmpty());
    const QString settings = folder.filePath(QStringLiteral("veltrasomin_settings.ini"));
    TXvfb server;
    if (server.Display().empty())
        QSKIP("Xvfb is not available");
    const auto connection = Connect(server);
    QVERIFY(!xcb_connection_has_error(connection.get()));
    const auto windowsOnScreen = [&] { return WindowsOnScreen(connection.get()).size(); };

    for (const auto &row : cases) {
        QProcess first;
        UseDisplay(first, server);
        first.start(program);
        QVERIFY(first.waitForStarted(10000));
        QTRY_COMPARE_WITH_TIMEOUT(windowsOnScreen(), 1, 20000);
        row.takeAway(connection.get(), WindowsOnScreen(connection.get()).first());
        xcb_flush(connection.get());
        QTRY_COMPARE_WITH_TIMEOUT(windowsOnScreen(), 0, 10000);

        QProcess second;
        UseDisplay(second, server);
        second.start(program);
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitCode(), 0);
        QTRY_VERIFY2_WITH_TIMEOUT(windowsOnScreen() == 1, row.how, 10000);
        // Taken away once more, it still keeps the settings at its end.
        row.takeAway(connection.get(), WindowsOnScreen(connection.get()).first());
        xcb_flush(connection.get());
        QTRY_COMPARE_WITH_TIMEOUT(windowsOnScreen(), 0, 10000);
        QFile::remove(settings);
        first.terminate();
        QVERIFY(first.waitForFinished(10000));
        QVERIFY2(QFileInfo(settings).size() > 0, row.how);
    }
    QTRY_VERIFY_WITH_TIMEOUT(ReleaseLeftovers(program), 10000);
}

// Answered as by its close button: with no message left to answer, the start would wait for good.
void TestSingleInstance::AStartUpMessageAnotherProgramDestroysLetsTheStartGoOn()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString program = TestSupport::ProgramCopy(folder);
    QVERIFY(!program.isEmpty());
    // A user file without its section header: a message at the start.
    QVERIFY(TestSupport::WriteFile(folder.filePath(QStringLiteral("user_chords.ini")), "; my chords\n; none yet\n"));
    TXvfb server;
    if (server.Display().empty())
        QSKIP("Xvfb is not available");
    const auto connection = Connect(server);
    QVERIFY(!xcb_connection_has_error(connection.get()));

    QProcess copy;
    UseDisplay(copy, server);
    copy.start(program);
    QVERIFY(copy.waitForStarted(10000));
    QTRY_COMPARE_WITH_TIMEOUT(WindowsOnScreen(connection.get()).size(), 1, 20000);
    const xcb_window_t message = WindowsOnScreen(connection.get()).first();
    xcb_destroy_window(connection.get(), message);
    xcb_flush(connection.get());
    const auto mainWindowOnScreen = [&] {
        const QList<xcb_window_t> windows = WindowsOnScreen(connection.get());
        return windows.size() == 1 && windows.first() != message;
    };
    QTRY_VERIFY_WITH_TIMEOUT(mainWindowOnScreen(), 20000);
    copy.terminate();
    QVERIFY(copy.waitForFinished(10000));
    QTRY_VERIFY_WITH_TIMEOUT(ReleaseLeftovers(program), 10000);
}

// Started by a script with "<&- >&- 2>&-": every warning a library writes would go where the first
// files and sockets opened landed, the display connection among them.
void TestSingleInstance::ClosedStandardStreamsAreNotTakenByFilesOrTheDisplay()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString program = TestSupport::ProgramCopy(folder);
    QVERIFY(!program.isEmpty());
    QProcess copy;
    copy.setChildProcessModifier([] {
        for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
            ::close(fd);
    });
    const quint32 pid = StartMinimized(copy, program);
    QVERIFY(pid != 0);
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        QCOMPARE(QFile::symLinkTarget(QStringLiteral("/proc/%1/fd/%2").arg(pid).arg(fd)), QStringLiteral("/dev/null"));
    copy.terminate();
    QVERIFY(copy.waitForFinished(10000));
    QTRY_VERIFY_WITH_TIMEOUT(ReleaseLeftovers(program), 10000);
}

// Under "ulimit -f 4" the settings (kept with a long comment) no longer fit: the save at the close
// fails like one on a full disk instead of the signal ending the program.
void TestSingleInstance::ASaveAboveTheFileSizeLimitFailsAndKeepsTheOldFile()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString program = TestSupport::ProgramCopy(folder);
    QVERIFY(!program.isEmpty());
    for (const char *name : {"veltrasomin_chords.ini", "user_chords.ini"})
        QVERIFY(QFile::copy(QStringLiteral(VX_SOURCE_DIR "/resources/") + QLatin1String(name),
                            folder.filePath(QLatin1String(name))));
    const QByteArray settings = "; " + QByteArray(8000, 'x') + "\n[OPTIONS]\nVolume_Pos=70\n";
    const QString settingsPath = TestSupport::WriteFile(folder, QStringLiteral("veltrasomin_settings.ini"), settings);
    QProcess copy;
    copy.setChildProcessModifier([] {
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    QVERIFY(StartMinimized(copy, program) != 0);
    copy.terminate();
    QVERIFY(copy.waitForFinished(10000));
    QCOMPARE(copy.exitStatus(), QProcess::NormalExit);
    QCOMPARE(TestSupport::ReadFile(settingsPath), settings);
    QCOMPARE(QDir(folder.path()).entryList({QStringLiteral("*.vxtmp-*")}, QDir::Files | QDir::Hidden), QStringList());
    QTRY_VERIFY_WITH_TIMEOUT(ReleaseLeftovers(program), 10000);
}

// Started by a launcher that pipes the output into a log that has since gone: the program's first
// warning (here the plugin loader's, turned on) goes nowhere.
void TestSingleInstance::WarningsToAPipeNobodyReadsAreLost()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString program = TestSupport::ProgramCopy(folder);
    QVERIFY(!program.isEmpty());
    QProcess copy;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("qt.qpa.plugin=true"));
    copy.setProcessEnvironment(environment);
    copy.setChildProcessModifier([] {
        int log[2];
        if (::pipe(log) == 0) {
            ::close(log[0]);
            ::dup2(log[1], STDERR_FILENO);
            ::close(log[1]);
        }
    });
    copy.start(program, {QStringLiteral("/MIN")});
    QVERIFY(copy.waitForStarted(10000));
    const quint32 pid = quint32(copy.processId());
    QTRY_VERIFY_WITH_TIMEOUT(ApplicationWindow(pid) != 0 || copy.state() == QProcess::NotRunning, 20000);
    QCOMPARE(copy.state(), QProcess::Running);
    copy.terminate();
    QVERIFY(copy.waitForFinished(10000));
    QCOMPARE(copy.exitStatus(), QProcess::NormalExit);
    QTRY_VERIFY_WITH_TIMEOUT(ReleaseLeftovers(program), 10000);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "TestSingleInstance.moc"
