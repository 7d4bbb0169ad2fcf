#include "HelperProcess.h"
#include "sysutil/OsSynch.h"
#include "sysutil/OsSysInfo.h"

#include <gtest/gtest.h>

TEST(OsSynch, TwoProcessesCountUnderTheNamedOptex)
{
    const QString map = UniqueName(QStringLiteral("Counter"));
    const QString optex = UniqueName(QStringLiteral("CounterLock"));
    const QStringList steps = {QStringLiteral("map"),   map,  QStringLiteral("4"), QStringLiteral("optex"), optex,
                               QStringLiteral("wait"),  QStringLiteral("count"), QStringLiteral("100000"),
                               QStringLiteral("wait"),  QStringLiteral("value")};
    THelperProcess first(steps);
    EXPECT_EQ(first.Line(), QStringLiteral("existed 0"));
    EXPECT_EQ(first.Line(), QStringLiteral("optex existed 0"));
    THelperProcess second(steps);
    EXPECT_EQ(second.Line(), QStringLiteral("existed 1"));
    EXPECT_EQ(second.Line(), QStringLiteral("optex existed 1"));
    first.Resume();
    second.Resume();
    EXPECT_EQ(first.Line(60000), QStringLiteral("counted"));
    EXPECT_EQ(second.Line(60000), QStringLiteral("counted"));
    first.Resume();
    second.Resume();
    EXPECT_EQ(first.Line(), QStringLiteral("value 200000"));
    EXPECT_EQ(second.Line(), QStringLiteral("value 200000"));
    EXPECT_EQ(first.Finish(), 0);
    EXPECT_EQ(second.Finish(), 0);
    EXPECT_EQ(SharedMemoryEntries(map), QStringList());
    EXPECT_EQ(SharedMemoryEntries(optex), QStringList());
}

TEST(OsSynch, WaiterTakesTheOptexOverFromAKilledOwner)
{
    const QString optex = UniqueName(QStringLiteral("Orphan"));
    THelperProcess owner({QStringLiteral("optex"), optex, QStringLiteral("enter"), QStringLiteral("wait")});
    EXPECT_EQ(owner.Line(), QStringLiteral("optex existed 0"));
    EXPECT_EQ(owner.Line(), QStringLiteral("entered"));
    THelperProcess waiter({QStringLiteral("optex"), optex, QStringLiteral("enter"), QStringLiteral("leave"),
                           QStringLiteral("enter"), QStringLiteral("leave")});
    EXPECT_EQ(waiter.Line(), QStringLiteral("optex existed 1"));
    owner.KillHard();
    EXPECT_EQ(waiter.Line(), QStringLiteral("entered"));
    EXPECT_EQ(waiter.Line(), QStringLiteral("left"));
    EXPECT_EQ(waiter.Line(), QStringLiteral("entered"));
    EXPECT_EQ(waiter.Line(), QStringLiteral("left"));
    EXPECT_EQ(waiter.Finish(), 0);
    EXPECT_EQ(SharedMemoryEntries(optex), QStringList());
}

TEST(OsSynch, AutoResetEventWakesOneWaiterManualResetEveryWaiter)
{
    const struct {
        const char *manual;
        int signaled;
    } cases[] = {{"0", 1}, {"1", 2}};
    for (const auto &c : cases) {
        const QString name = UniqueName(QStringLiteral("Event") + QLatin1String(c.manual));
        // All three have the event open before any waiting starts, and each opens it before the
        // next is started; the waiters' time then runs from their go, not from a process start.
        const QStringList wait = {QStringLiteral("event"), name, QLatin1String(c.manual), QStringLiteral("wait"),
                                  QStringLiteral("waitevent"), QStringLiteral("5000")};
        THelperProcess first(wait);
        EXPECT_EQ(first.Line(), QStringLiteral("event existed 0"));
        THelperProcess second(wait);
        EXPECT_EQ(second.Line(), QStringLiteral("event existed 1"));
        THelperProcess setter({QStringLiteral("event"), name, QLatin1String(c.manual), QStringLiteral("wait"),
                               QStringLiteral("set")});
        EXPECT_EQ(setter.Line(), QStringLiteral("event existed 1"));
        first.Resume();
        second.Resume();
        setter.Resume();
        EXPECT_EQ(setter.Line(), QStringLiteral("set"));
        const QStringList results = {first.Line(), second.Line()};
        EXPECT_EQ(results.count(QStringLiteral("wait signaled")), c.signaled) << c.manual;
        EXPECT_EQ(results.count(QStringLiteral("wait timeout")), 2 - c.signaled) << c.manual;
        EXPECT_EQ(first.Finish(), 0);
        EXPECT_EQ(second.Finish(), 0);
        EXPECT_EQ(setter.Finish(), 0);
        EXPECT_EQ(SharedMemoryEntries(name), QStringList());
    }
}

TEST(OsSynch, MutexOfAKilledOwnerComesAbandoned)
{
    const QString name = UniqueName(QStringLiteral("Mutex"));
    THelperProcess owner({QStringLiteral("mutex"), name, QStringLiteral("lock"), QStringLiteral("0"), QStringLiteral("wait")});
    EXPECT_EQ(owner.Line(), QStringLiteral("mutex existed 0"));
    EXPECT_EQ(owner.Line(), QStringLiteral("lock signaled"));
    THelperProcess next({QStringLiteral("mutex"), name, QStringLiteral("lock"), QStringLiteral("0"), QStringLiteral("wait"),
                         QStringLiteral("lock"), QStringLiteral("10000"), QStringLiteral("release"), QStringLiteral("release")});
    EXPECT_EQ(next.Line(), QStringLiteral("mutex existed 1"));
    EXPECT_EQ(next.Line(), QStringLiteral("lock timeout"));
    owner.KillHard();
    next.Resume();
    EXPECT_EQ(next.Line(), QStringLiteral("lock abandoned"));
    EXPECT_EQ(next.Line(), QStringLiteral("released 1"));
    EXPECT_EQ(next.Line(), QStringLiteral("released 0"));
    EXPECT_EQ(next.Finish(), 0);
    EXPECT_EQ(SharedMemoryEntries(name), QStringList());
}

TEST(OsSynch, NestedEntriesCountUpAndDown)
{
    TOsOptex optex;
    EXPECT_TRUE(optex.UniProcess());
    EXPECT_EQ(optex.SpinCount(), ProcessorCount() > 1 ? 4000 : 0);
    const struct {
        bool enter;
        int lockCount;
        int recursion;
        bool owned;
    } steps[] = {{true, 1, 1, true}, {true, 2, 2, true}, {false, 1, 1, true}, {false, 0, 0, false}};
    for (const auto &s : steps) {
        if (s.enter)
            optex.Enter();
        else
            optex.Leave();
        EXPECT_EQ(optex.SharedInfo().LockCount.load(), s.lockCount);
        EXPECT_EQ(optex.SharedInfo().RecursionCount.load(), s.recursion);
        EXPECT_EQ(optex.SharedInfo().ThreadId.load() != 0, s.owned);
    }
}
