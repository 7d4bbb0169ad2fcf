#include "HelperProcess.h"
#include "platform/kernel/KernelSync.h"
#include "platform/kernel/LocalSocket.h"
#include "platform/kernel/SharedObject.h"
#include "sysutil/OsAppInst.h"
#include "sysutil/OsBase.h"
#include "toolkit/VxAppInstances.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>
#include <sys/socket.h>
#include <vector>

namespace {

QStringList RegisterSteps(const QString &id)
{
    return {QStringLiteral("appid"), id, QStringLiteral("register"), QStringLiteral("wait"), QStringLiteral("list"),
            QStringLiteral("wait"), QStringLiteral("unregister")};
}

QString Notify(int code, quint32 pid)
{
    return QStringLiteral("notify %1 %2").arg(code).arg(pid);
}

QString List(std::initializer_list<quint32> pids)
{
    QStringList ids;
    for (quint32 pid : pids)
        ids.append(QString::number(pid));
    return (QStringLiteral("list ") + ids.join(QLatin1Char(' '))).trimmed();
}

} // namespace

TEST(OsAppInst, InstancesKeepTheirOrderLeaveWithANoticeAndDeadOnesArePruned)
{
    const QString id = UniqueName(QStringLiteral("Registry"));
    THelperProcess first(RegisterSteps(id));
    EXPECT_EQ(first.Line(), QStringLiteral("appid"));
    // The own registration is announced to the own process too.
    EXPECT_EQ(first.Line(), Notify(1, first.Pid));
    EXPECT_EQ(first.Line(), QStringLiteral("registered 1"));
    THelperProcess second(RegisterSteps(id));
    EXPECT_EQ(second.Line(), QStringLiteral("appid"));
    EXPECT_EQ(second.Line(), Notify(1, second.Pid));
    EXPECT_EQ(second.Line(), QStringLiteral("registered 1"));
    EXPECT_EQ(first.Line(), Notify(1, second.Pid));
    THelperProcess third(RegisterSteps(id));
    EXPECT_EQ(third.Line(), QStringLiteral("appid"));
    EXPECT_EQ(third.Line(), Notify(1, third.Pid));
    EXPECT_EQ(third.Line(), QStringLiteral("registered 1"));
    EXPECT_EQ(first.Line(), Notify(1, third.Pid));
    EXPECT_EQ(second.Line(), Notify(1, third.Pid));
    third.Resume();
    EXPECT_EQ(third.Line(), List({first.Pid, second.Pid, third.Pid}));

    second.Resume();
    EXPECT_EQ(second.Line(), List({first.Pid, second.Pid, third.Pid}));
    // The leaving process is out of the list before the others are told.
    second.Resume();
    EXPECT_EQ(second.Line(), QStringLiteral("unregistered"));
    EXPECT_EQ(second.Finish(), 0);
    EXPECT_EQ(first.Line(), Notify(2, second.Pid));
    EXPECT_EQ(third.Line(), Notify(2, second.Pid));

    third.KillHard();
    THelperProcess fourth(RegisterSteps(id));
    EXPECT_EQ(fourth.Line(), QStringLiteral("appid"));
    EXPECT_EQ(fourth.Line(), Notify(1, fourth.Pid));
    EXPECT_EQ(fourth.Line(), QStringLiteral("registered 1"));
    fourth.Resume();
    EXPECT_EQ(fourth.Line(), List({first.Pid, fourth.Pid}));
    EXPECT_FALSE(QFile::exists(EndpointPath(third.Pid)));
    fourth.Resume();
    first.Resume();
    first.Resume();
    EXPECT_EQ(fourth.Finish(), 0);
    EXPECT_EQ(first.Finish(), 0);
    EXPECT_EQ(SharedMemoryEntries(id + QStringLiteral("_Map")), QStringList());
    EXPECT_EQ(SharedMemoryEntries(id + QStringLiteral("_Otx")), QStringList());
}

// A Qt application of the test's own, registered under an id no other run uses.
struct TAppUnderOwnId
{
    explicit TAppUnderOwnId(const QString &what) : id(UniqueName(what)) { SetApplicationIdOverride(id); }
    int argc = 1;
    char name[14] = "TestOsAppInst";
    char *argv[2] = {name, nullptr};
    QCoreApplication app{argc, argv};
    const QString id;
};

TEST(OsAppInst, ListNeverGrowsPast257Entries)
{
    const TAppUnderOwnId app(QStringLiteral("Full"));
    const QString &id = app.id;
    TOsAppInstances *registry = ProcessInstanceRegistry();
    const struct {
        int calls;
        bool lastResult;
        int count;
    } steps[] = {{1, true, 1}, {255, true, 256}, {1, true, 257}, {5, false, 257}};
    for (const auto &s : steps) {
        bool result = false;
        for (int i = 0; i < s.calls; ++i)
            result = registry->CheckInstance(2);
        // The limit stays the first caller's: 2; later calls append without the right to run.
        EXPECT_EQ(result, s.count <= 1 && s.lastResult) << s.count;
        EXPECT_EQ(registry->InstanceCount(), s.count);
    }
    EXPECT_EQ(registry->ProcessIDs(256), CurrentProcessId());
    EXPECT_EQ(registry->ProcessIDs(257), 0u);
    EXPECT_EQ(registry->ProcessIDs(-1), 0u);
    EXPECT_EQ(registry->InstanceIndex(CurrentProcessId()), 0);
    EXPECT_EQ(registry->InstanceIndex(0xFFFFFFF0u), -1);
    FreeProcessInstanceRegistry();
    EXPECT_EQ(SharedMemoryEntries(id + QStringLiteral("_Map")), QStringList());
}

TEST(OsAppInst, InstanceSurvivesGarbageOnItsSocket)
{
    const QString id = UniqueName(QStringLiteral("Garbage"));
    THelperProcess instance(RegisterSteps(id));
    EXPECT_EQ(instance.Line(), QStringLiteral("appid"));
    EXPECT_EQ(instance.Line(), Notify(1, instance.Pid));
    EXPECT_EQ(instance.Line(), QStringLiteral("registered 1"));
    const QByteArray frames[] = {
        QByteArray("\xff\xff\xff\xff" "too long", 12),       // a length past any limit
        QByteArray("\x05\x00\x00\x00" "\x01\xff\xff\xff\xff", 9), // a body that ends inside its fields
        QByteArray("\x02\x00", 2),                            // a length cut short
        // copied data as a notice to every window, its LParam no address of the receiver's
        QByteArray("\x29\x00\x00\x00" "\x02" "\x00\x00\x00\x00" "\x00\x00\x00\x4a" "\0\0\0\0\0\0\0\0"
                   "\0\0\0\0\0\0\0\x01" "\0\0\0\0\0\0\0\0" "\xff\xff\xff\xff\xff\xff\xff\xff", 45),
    };
    for (const QByteArray &frame : frames) {
        TLocalConnection connection;
        ASSERT_TRUE(connection.Connect(EndpointPath(instance.Pid), 10000));
        ASSERT_EQ(::send(connection.Descriptor(), frame.constData(), size_t(frame.size()), MSG_NOSIGNAL),
                  ssize_t(frame.size()));
    }
    instance.Resume();
    EXPECT_EQ(instance.Line(), List({instance.Pid}));
    instance.Resume();
    EXPECT_EQ(instance.Line(), QStringLiteral("unregistered"));
    EXPECT_EQ(instance.Finish(), 0);
}

TEST(OsAppInst, InstanceStillAnswersWhenPeersKeepMoreConnectionsThanItHasDescriptors)
{
    const QString id = UniqueName(QStringLiteral("Crowd"));
    THelperProcess instance(RegisterSteps(id));
    EXPECT_EQ(instance.Line(), QStringLiteral("appid"));
    EXPECT_EQ(instance.Line(), Notify(1, instance.Pid));
    EXPECT_EQ(instance.Line(), QStringLiteral("registered 1"));
    const rlimit few{64, 64};
    ASSERT_EQ(::prlimit(pid_t(instance.Pid), RLIMIT_NOFILE, &few, nullptr), 0);
    // Each one is taken and kept open; once the instance runs out, the rest wait unaccepted.
    std::vector<std::unique_ptr<TLocalConnection>> crowd;
    for (int i = 0; i < 100; ++i) {
        crowd.push_back(std::make_unique<TLocalConnection>());
        crowd.back()->Connect(EndpointPath(instance.Pid), 100);
    }
    // The application window and the helper's own.
    EXPECT_EQ(ProcessWindowsOfClass(instance.Pid, QString()).size(), 2);
    crowd.clear();
    instance.Resume();
    EXPECT_EQ(instance.Line(), List({instance.Pid}));
    instance.Resume();
    EXPECT_EQ(instance.Line(), QStringLiteral("unregistered"));
    EXPECT_EQ(instance.Finish(), 0);
}

TEST(OsAppInst, AQuestionFromAProcessOutsideTheListIsNotAnsweredAtItsWindow)
{
    const QString id = UniqueName(QStringLiteral("Query"));
    THelperProcess instance({QStringLiteral("appid"), id, QStringLiteral("component"), QStringLiteral("5"),
                             QStringLiteral("wait")});
    EXPECT_EQ(instance.Line(), QStringLiteral("appid"));
    EXPECT_EQ(instance.Line(), QStringLiteral("running"));
    // This process is in no list, and takes connections in its name without ever answering.
    TLocalServer silent;
    ASSERT_TRUE(silent.Listen(EndpointPath(CurrentProcessId()), nullptr));
    const QList<HWND> windows = ProcessWindowsOfClass(instance.Pid, VxAppInstancesWindowClass);
    ASSERT_EQ(windows.size(), 1);
    bool delivered = false;
    SendMessage(windows.first(), RegisterWindowMessage(QStringLiteral("Os") + id + QStringLiteral("_Msg")),
                AI_QUERYACTIVE, qint64((HWND(CurrentProcessId()) << 32) | 1), &delivered);
    EXPECT_TRUE(delivered);
    EXPECT_EQ(std::unique_ptr<TLocalConnection>(silent.NextPending(nullptr)), nullptr);
    instance.Resume();
    EXPECT_EQ(instance.Finish(), 0);
}

TEST(OsAppInst, TextGoesToTheWindowsOfTheClassInEveryInstance)
{
    // The long text is far more than a socket takes at once.
    const struct {
        const char *step;
        QString argument;
        QString received;
    } cases[] = {
        {"send", QStringLiteral("Am/C \u0436"), QStringLiteral("Am/C \u0436")},
        {"sendlong", QStringLiteral("1000000"), QString(1000000, QLatin1Char('x'))},
    };
    for (const auto &c : cases) {
        const QString id = UniqueName(QStringLiteral("Data") + QLatin1String(c.step));
        THelperProcess receiver(RegisterSteps(id));
        EXPECT_EQ(receiver.Line(), QStringLiteral("appid"));
        EXPECT_EQ(receiver.Line(), Notify(1, receiver.Pid));
        EXPECT_EQ(receiver.Line(), QStringLiteral("registered 1"));
        THelperProcess sender({QStringLiteral("appid"), id, QStringLiteral("register"), QLatin1String(c.step),
                               QStringLiteral("7"), c.argument});
        EXPECT_EQ(sender.Line(), QStringLiteral("appid"));
        EXPECT_EQ(sender.Line(), Notify(1, sender.Pid));
        EXPECT_EQ(sender.Line(), QStringLiteral("registered 1"));
        EXPECT_EQ(receiver.Line(), Notify(1, sender.Pid));
        // The receiver's line first: the sender waits for it to take the data, and a long line
        // fills the pipe we read it from.
        const QString line = receiver.Line();
        EXPECT_TRUE(line == QStringLiteral("data 7 ") + c.received) << c.step << ": " << line.left(40).toStdString();
        // The sender's own window of the class gets it too and knows it by the originator.
        EXPECT_EQ(sender.Line(), QStringLiteral("own data"));
        EXPECT_EQ(sender.Line(), QStringLiteral("sent"));
        EXPECT_EQ(sender.Finish(), 0);
        receiver.Resume();
        receiver.Resume();
        EXPECT_EQ(receiver.Finish(), 0);
        EXPECT_EQ(SharedMemoryEntries(id + QStringLiteral("_Map")), QStringList());
    }
}

TEST(OsAppInst, CopiesOverTheLimitEndUnlessAnOlderOneIsInactive)
{
    const struct {
        const char *max;
        bool firstInactive;
        bool secondRuns;
        bool thirdRuns;
    } cases[] = {
        {"1", false, false, false},
        {"2", false, true, false},
        {"1", true, true, true},
        {"0", false, true, true},
    };
    int round = 0;
    for (const auto &c : cases) {
        const QString id = UniqueName(QStringLiteral("Limit%1").arg(++round));
        const QStringList steps = {QStringLiteral("appid"), id, QStringLiteral("component"), QLatin1String(c.max),
                                   QStringLiteral("wait")};
        auto first = std::make_unique<THelperProcess>(steps + QStringList{QStringLiteral("inactive"), QStringLiteral("wait")});
        EXPECT_EQ(first->Line(), QStringLiteral("appid"));
        EXPECT_EQ(first->Line(), QStringLiteral("running"));
        if (c.firstInactive) {
            first->Resume();
            EXPECT_EQ(first->Line(), QStringLiteral("inactive"));
        }
        const bool expected[] = {c.secondRuns, c.thirdRuns};
        std::vector<std::unique_ptr<THelperProcess>> later;
        for (bool runs : expected) {
            later.push_back(std::make_unique<THelperProcess>(steps));
            EXPECT_EQ(later.back()->Line(), QStringLiteral("appid"));
            EXPECT_EQ(later.back()->Line(), runs ? QStringLiteral("running") : QStringLiteral("<none>")) << round;
            if (!runs) {
                EXPECT_EQ(later.back()->Finish(), 0) << round;
            }
        }
        later.push_back(std::move(first));
        for (const auto &helper : later) {
            helper->Resume();
            helper->Resume();
            EXPECT_EQ(helper->Finish(), 0);
        }
        EXPECT_EQ(SharedMemoryEntries(id + QStringLiteral("_Map")), QStringList());
        EXPECT_EQ(SharedMemoryEntries(id + QStringLiteral("_Otx")), QStringList());
    }
}

TEST(OsAppInst, ComponentThatCannotRegisterLeavesNoWindowBehind)
{
    const TAppUnderOwnId app(QStringLiteral("Refused"));
    const QString &id = app.id;
    // A folder where the lock's event would go makes the registry fail.
    const QString blocker = QStringLiteral("/dev/shm")
                            + QString::fromUtf8(SharedObjectKey(QStringLiteral("Optex_Event_Os") + id + QStringLiteral("_Otx")));
    ASSERT_TRUE(QDir().mkdir(blocker));
    EXPECT_THROW(TVxAppInstances component, EOsError);
    QDir().rmdir(blocker);
    // A window left there would hand its messages to the freed component.
    EXPECT_EQ(ProcessWindowsOfClass(CurrentProcessId(), VxAppInstancesWindowClass), QList<HWND>());
}

TEST(OsAppInst, KilledInstancesEndpointGoesWithTheNextStartUnderALongRuntimeFolder)
{
    // A runtime folder too long for a socket path puts the endpoints in the temporary folder.
    QTemporaryDir base;
    const QString runtime = base.filePath(QString(100, QLatin1Char('r')));
    ASSERT_TRUE(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    const QString id = UniqueName(QStringLiteral("LongRuntime"));
    const QStringList steps = {QStringLiteral("appid"), id, QStringLiteral("register"), QStringLiteral("wait")};
    THelperProcess killed(steps);
    EXPECT_EQ(killed.Line(), QStringLiteral("appid"));
    EXPECT_EQ(killed.Line(), Notify(1, killed.Pid));
    EXPECT_EQ(killed.Line(), QStringLiteral("registered 1"));
    const QString endpoint = EndpointPath(killed.Pid);
    EXPECT_FALSE(endpoint.startsWith(runtime));
    EXPECT_TRUE(QFile::exists(endpoint));
    killed.KillHard();
    // Once its locks are gone the registry starts afresh and no longer lists the killed one.
    ASSERT_TRUE(WaitUntilUnheld(QStringLiteral("Os") + id + QStringLiteral("_Map")));
    THelperProcess next(steps);
    EXPECT_EQ(next.Line(), QStringLiteral("appid"));
    EXPECT_EQ(next.Line(), Notify(1, next.Pid));
    EXPECT_EQ(next.Line(), QStringLiteral("registered 1"));
    EXPECT_FALSE(QFile::exists(endpoint));
    next.Resume();
    EXPECT_EQ(next.Finish(), 0);
    qputenv("XDG_RUNTIME_DIR", saved);
}
