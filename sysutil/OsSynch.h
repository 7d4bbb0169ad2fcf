#pragma once
// Events, mutexes, the critical section and the optex: a lock that processes can share by name,
// taken without a system call while it is free.
#include "sysutil/OsBase.h"

#include <QString>
#include <atomic>
#include <memory>
#include <mutex>

class TKernelEvent;
class TKernelMutex;
class TSharedBlock;

enum TOsWaitResult { wrAbandoned, wrError, wrIoCompletion, wrSignaled, wrTimeout };

inline constexpr quint32 INFINITE = 0xFFFFFFFF;

class TOsDispatcherObject
{
public:
    virtual ~TOsDispatcherObject();
    // The named object was there before this process asked for it.
    bool Existed() const { return FExisted; }
    QString Name() const { return FName; }
    // Never wrIoCompletion here: nothing waits alertably.
    TOsWaitResult WaitFor(quint32 TimeOut);
    TOsWaitResult WaitForever() { return WaitFor(INFINITE); }

protected:
    TOsDispatcherObject() = default;
    virtual int Wait(quint32 TimeOut) = 0; // a TKernelWait

    bool FExisted = false;
    QString FName;
};

class TOsEvent : public TOsDispatcherObject
{
public:
    // An empty Name makes an event of this process alone. Raises EOsEventError.
    TOsEvent(bool Manual, bool Signaled, const QString &Name);
    ~TOsEvent() override;
    bool SetEvent();
    bool ResetEvent();

protected:
    int Wait(quint32 TimeOut) override;

private:
    std::unique_ptr<TKernelEvent> FHandle;
};

class TOsMutex : public TOsDispatcherObject
{
public:
    // Raises EOsMutexError. A wait after the owner died gives wrAbandoned and the ownership.
    TOsMutex(bool InitialOwner, const QString &Name);
    ~TOsMutex() override;
    bool Release();

protected:
    int Wait(quint32 TimeOut) override;

private:
    std::unique_ptr<TKernelMutex> FHandle;
};

class TOsCriticalSection
{
public:
    void Enter() { FCriticalSection.lock(); }
    void Leave() { FCriticalSection.unlock(); }
    bool TryEnter() { return FCriticalSection.try_lock(); }

private:
    std::recursive_mutex FCriticalSection;
};

// The optex's state, 16 bytes, in shared memory for a named optex.
struct TOptexSharedInfo
{
    std::atomic<qint32> SpinCount;
    std::atomic<qint32> LockCount;      // 1 for the owner, 1 per nested entry and per waiter
    std::atomic<qint32> ThreadId;       // the owner, 0 when free
    std::atomic<qint32> RecursionCount;
};
static_assert(sizeof(TOptexSharedInfo) == 16);

class TOsOptex
{
public:
    // Name empty: a lock of this process alone. SpinCount < 0 takes 4000; spinning happens only
    // with more than one processor. Raises EOsEventError or EOsFileMappingError.
    explicit TOsOptex(const QString &Name = QString(), int SpinCount = -1);
    ~TOsOptex();
    TOsOptex(const TOsOptex &) = delete;
    TOsOptex &operator=(const TOsOptex &) = delete;

    void Enter();
    void Leave();
    bool TryEnter();

    bool Existed() const { return FExisted; }
    QString Name() const { return FName; }
    int SpinCount() const { return FSharedInfo->SpinCount.load(); }
    bool UniProcess() const { return !FFileMapping; }
    const TOptexSharedInfo &SharedInfo() const { return *FSharedInfo; }

private:
    bool TakeOverFromDeadOwner(qint32 me);

    std::unique_ptr<TOsEvent> FEvent;
    bool FExisted = false;
    std::unique_ptr<TSharedBlock> FFileMapping; // null for a lock of this process alone
    QString FName;
    TOptexSharedInfo *FSharedInfo = nullptr;
    std::unique_ptr<TOptexSharedInfo> FLocalInfo;
};

// Holds the optex from construction to destruction, so no way out of a section leaves it held.
class TOsOptexGuard
{
public:
    explicit TOsOptexGuard(TOsOptex &optex) : FOptex(optex) { FOptex.Enter(); }
    ~TOsOptexGuard() { FOptex.Leave(); }
    TOsOptexGuard(const TOsOptexGuard &) = delete;
    TOsOptexGuard &operator=(const TOsOptexGuard &) = delete;

private:
    TOsOptex &FOptex;
};
