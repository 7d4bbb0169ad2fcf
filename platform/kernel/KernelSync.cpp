#include "platform/kernel/KernelSync.h"

#include <cerrno>
#include <climits>
#include <ctime>
#include <linux/futex.h>
#include <pthread.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

quint32 CurrentThreadId()
{
    return quint32(gettid());
}

quint32 CurrentProcessId()
{
    return quint32(getpid());
}

bool ThreadAlive(quint32 threadId)
{
    // kill() finds a process by the id of any of its threads.
    return !(kill(pid_t(threadId), 0) != 0 && errno == ESRCH);
}

bool ProcessAlive(quint32 processId)
{
    return ThreadAlive(processId);
}

namespace {

timespec ToTimespec(quint64 ms)
{
    return timespec{time_t(ms / 1000), long(ms % 1000) * 1000000L};
}

quint64 NowMs()
{
    timespec now = {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return quint64(now.tv_sec) * 1000 + quint64(now.tv_nsec / 1000000);
}

} // namespace

bool FutexWait(std::atomic<quint32> *word, quint32 expected, quint32 timeoutMs)
{
    static_assert(sizeof(std::atomic<quint32>) == sizeof(quint32));
    timespec timeout = ToTimespec(timeoutMs);
    // Not the private variant: the word may live in memory another process maps.
    const long result = syscall(SYS_futex, reinterpret_cast<quint32 *>(word), FUTEX_WAIT, expected,
                                timeoutMs == KernelInfinite ? nullptr : &timeout, nullptr, 0);
    return result == 0 || errno == EAGAIN || errno == EINTR;
}

void FutexWake(std::atomic<quint32> *word, int count)
{
    syscall(SYS_futex, reinterpret_cast<quint32 *>(word), FUTEX_WAKE, count, nullptr, nullptr, 0);
}

struct TKernelEvent::TState
{
    std::atomic<quint32> Signaled;
    std::atomic<quint32> Sequence; // bumped on every set, the word waiters sleep on
    quint32 Manual;
};

std::unique_ptr<TKernelEvent> TKernelEvent::Open(const QString &name, bool manual, bool signaled, int &error)
{
    std::unique_ptr<TKernelEvent> event(new TKernelEvent);
    event->FBlock = TSharedBlock::Open(name, sizeof(TState), error, [&](void *memory, qint64) {
        auto *state = static_cast<TState *>(memory);
        state->Manual = manual ? 1 : 0;
        state->Signaled.store(signaled ? 1 : 0);
    });
    if (!event->FBlock)
        return nullptr;
    event->FState = static_cast<TState *>(event->FBlock->Memory());
    return event;
}

TKernelEvent::~TKernelEvent() = default;

void TKernelEvent::Set()
{
    FState->Signaled.store(1);
    FState->Sequence.fetch_add(1);
    FutexWake(&FState->Sequence, FState->Manual ? INT_MAX : 1);
}

void TKernelEvent::Reset()
{
    FState->Signaled.store(0);
}

TKernelWait TKernelEvent::Wait(quint32 timeoutMs)
{
    const quint64 deadline = NowMs() + timeoutMs;
    for (;;) {
        const quint32 sequence = FState->Sequence.load();
        if (FState->Manual) {
            if (FState->Signaled.load())
                return TKernelWait::Signaled;
        } else {
            quint32 expected = 1;
            if (FState->Signaled.compare_exchange_strong(expected, 0))
                return TKernelWait::Signaled;
        }
        quint32 wait = KernelInfinite;
        if (timeoutMs != KernelInfinite) {
            const quint64 now = NowMs();
            if (now >= deadline) {
                // A wake meant for us may have come as we gave up; pass it on.
                if (!FState->Manual && FState->Signaled.load())
                    FutexWake(&FState->Sequence, 1);
                return TKernelWait::Timeout;
            }
            wait = quint32(deadline - now);
        }
        if (!FutexWait(&FState->Sequence, sequence, wait) && errno != ETIMEDOUT)
            return TKernelWait::Error;
    }
}

std::unique_ptr<TKernelMutex> TKernelMutex::Open(const QString &name, bool initialOwner, int &error)
{
    std::unique_ptr<TKernelMutex> mutex(new TKernelMutex);
    int initError = 0;
    mutex->FBlock = TSharedBlock::Open(name, sizeof(pthread_mutex_t), error, [&](void *memory, qint64) {
        pthread_mutexattr_t attr;
        pthread_mutexattr_init(&attr);
        pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED);
        pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST);
        pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
        initError = pthread_mutex_init(static_cast<pthread_mutex_t *>(memory), &attr);
        pthread_mutexattr_destroy(&attr);
    });
    if (!mutex->FBlock || initError != 0) {
        error = error ? error : initError;
        return nullptr;
    }
    mutex->FMutex = mutex->FBlock->Memory();
    // Only the creator takes the first ownership, as an opener's request is ignored.
    if (initialOwner && !mutex->Existed())
        mutex->Wait(KernelInfinite);
    return mutex;
}

TKernelMutex::~TKernelMutex() = default;

TKernelWait TKernelMutex::Wait(quint32 timeoutMs)
{
    auto *mutex = static_cast<pthread_mutex_t *>(FMutex);
    int result;
    if (timeoutMs == KernelInfinite) {
        result = pthread_mutex_lock(mutex);
    } else {
        timespec deadline = {};
        clock_gettime(CLOCK_MONOTONIC, &deadline);
        const timespec add = ToTimespec(timeoutMs);
        deadline.tv_sec += add.tv_sec;
        deadline.tv_nsec += add.tv_nsec;
        if (deadline.tv_nsec >= 1000000000L) {
            ++deadline.tv_sec;
            deadline.tv_nsec -= 1000000000L;
        }
        result = pthread_mutex_clocklock(mutex, CLOCK_MONOTONIC, &deadline);
    }
    switch (result) {
    case 0:
        return TKernelWait::Signaled;
    case EOWNERDEAD:
        pthread_mutex_consistent(mutex);
        return TKernelWait::Abandoned;
    case ETIMEDOUT:
    case EBUSY:
        return TKernelWait::Timeout;
    default:
        return TKernelWait::Error;
    }
}

bool TKernelMutex::Release()
{
    return pthread_mutex_unlock(static_cast<pthread_mutex_t *>(FMutex)) == 0;
}
