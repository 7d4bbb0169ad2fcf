#pragma once
// Waitable objects that processes share through named shared memory: an event on a futex and a
// robust mutex that tells its next owner when the previous one died holding it.
#include "platform/kernel/SharedObject.h"

#include <QString>
#include <atomic>
#include <memory>

enum class TKernelWait { Signaled, Timeout, Abandoned, Error };

inline constexpr quint32 KernelInfinite = 0xFFFFFFFF;

// The kernel's id of the calling thread; unique across processes.
quint32 CurrentThreadId();
quint32 CurrentProcessId();
// False only when no thread or process has that id any more.
bool ThreadAlive(quint32 threadId);
bool ProcessAlive(quint32 processId);

// Wait and wake on a 32-bit word that several processes map.
bool FutexWait(std::atomic<quint32> *word, quint32 expected, quint32 timeoutMs);
void FutexWake(std::atomic<quint32> *word, int count);

class TKernelEvent
{
public:
    // Null with error set when the shared state cannot be had.
    static std::unique_ptr<TKernelEvent> Open(const QString &name, bool manual, bool signaled, int &error);
    ~TKernelEvent();
    bool Existed() const { return FBlock->Existed(); }
    void Set();
    void Reset();
    TKernelWait Wait(quint32 timeoutMs);

private:
    struct TState;
    TKernelEvent() = default;
    std::unique_ptr<TSharedBlock> FBlock;
    TState *FState = nullptr;
};

class TKernelMutex
{
public:
    static std::unique_ptr<TKernelMutex> Open(const QString &name, bool initialOwner, int &error);
    ~TKernelMutex();
    bool Existed() const { return FBlock->Existed(); }
    // Abandoned: the caller owns it now, the one before died holding it.
    TKernelWait Wait(quint32 timeoutMs);
    // False when the caller does not own it.
    bool Release();

private:
    TKernelMutex() = default;
    std::unique_ptr<TSharedBlock> FBlock;
    void *FMutex = nullptr;
};
