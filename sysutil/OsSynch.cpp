#include "sysutil/OsSynch.h"

#include "platform/kernel/KernelSync.h"
#include "sysutil/OsResources.h"
#include "sysutil/OsSysInfo.h"

namespace {

TOsWaitResult WaitResultOf(int wait)
{
    switch (TKernelWait(wait)) {
    case TKernelWait::Signaled:
        return wrSignaled;
    case TKernelWait::Timeout:
        return wrTimeout;
    case TKernelWait::Abandoned:
        return wrAbandoned;
    default:
        return wrError;
    }
}

// How long a waiter sleeps before it looks whether the optex's owner still lives.
constexpr quint32 OwnerCheckMs = 100;

} // namespace

TOsDispatcherObject::~TOsDispatcherObject() = default;

TOsWaitResult TOsDispatcherObject::WaitFor(quint32 TimeOut)
{
    return WaitResultOf(Wait(TimeOut));
}

TOsEvent::TOsEvent(bool Manual, bool Signaled, const QString &Name)
{
    FName = Name;
    int error = 0;
    FHandle = TKernelEvent::Open(Name, Manual, Signaled, error);
    if (!FHandle)
        throw EOsEventError(quint32(error), QString::fromLatin1(RsOsCreateEvent));
    FExisted = FHandle->Existed();
}

TOsEvent::~TOsEvent() = default;

bool TOsEvent::SetEvent()
{
    FHandle->Set();
    return true;
}

bool TOsEvent::ResetEvent()
{
    FHandle->Reset();
    return true;
}

int TOsEvent::Wait(quint32 TimeOut)
{
    return int(FHandle->Wait(TimeOut));
}

TOsMutex::TOsMutex(bool InitialOwner, const QString &Name)
{
    FName = Name;
    int error = 0;
    FHandle = TKernelMutex::Open(Name, InitialOwner, error);
    if (!FHandle)
        throw EOsMutexError(quint32(error), QString::fromLatin1(RsOsCreateMutex));
    FExisted = FHandle->Existed();
}

TOsMutex::~TOsMutex() = default;

bool TOsMutex::Release()
{
    return FHandle->Release();
}

int TOsMutex::Wait(quint32 TimeOut)
{
    return int(FHandle->Wait(TimeOut));
}

TOsOptex::TOsOptex(const QString &Name, int SpinCount) : FName(Name)
{
    if (!Name.isEmpty()) {
        FEvent = std::make_unique<TOsEvent>(false, false, QStringLiteral("Optex_Event_") + Name);
        FExisted = FEvent->Existed();
        int error = 0;
        FFileMapping = TSharedBlock::Open(QStringLiteral("Optex_MMF_") + Name, sizeof(TOptexSharedInfo), error);
        if (!FFileMapping)
            throw EOsFileMappingError(quint32(error), QString::fromLatin1(RsOsCreateFileMapping));
        FSharedInfo = static_cast<TOptexSharedInfo *>(FFileMapping->Memory());
    } else {
        FEvent = std::make_unique<TOsEvent>(false, false, QString());
        FLocalInfo = std::make_unique<TOptexSharedInfo>();
        FSharedInfo = FLocalInfo.get();
    }
    // On one processor spinning only burns the owner's time slice.
    if (ProcessorCount() > 1)
        FSharedInfo->SpinCount.exchange(SpinCount < 0 ? 4000 : SpinCount);
}

TOsOptex::~TOsOptex() = default;

bool TOsOptex::TryEnter()
{
    const qint32 me = qint32(CurrentThreadId());
    qint32 spin = FSharedInfo->SpinCount.load();
    bool result = false;
    do {
        qint32 expected = 0;
        if (FSharedInfo->LockCount.compare_exchange_strong(expected, 1)) {
            FSharedInfo->ThreadId.store(me);
            FSharedInfo->RecursionCount.store(1);
            result = true;
        } else if (FSharedInfo->ThreadId.load() == me) {
            FSharedInfo->LockCount.fetch_add(1);
            FSharedInfo->RecursionCount.fetch_add(1);
            result = true;
        }
        --spin;
    } while (!result && spin > 0);
    return result;
}

void TOsOptex::Enter()
{
    if (TryEnter())
        return;
    const qint32 me = qint32(CurrentThreadId());
    if (FSharedInfo->LockCount.fetch_add(1) + 1 == 1) {
        FSharedInfo->ThreadId.store(me);
        FSharedInfo->RecursionCount.store(1);
        return;
    }
    if (FSharedInfo->ThreadId.load() == me) {
        FSharedInfo->RecursionCount.fetch_add(1);
        return;
    }
    for (;;) {
        const TOsWaitResult wait = FEvent->WaitFor(OwnerCheckMs);
        if (wait == wrSignaled)
            break;
        if (TakeOverFromDeadOwner(me))
            return;
    }
    FSharedInfo->ThreadId.store(me);
    FSharedInfo->RecursionCount.store(1);
}

// An owner killed inside its section never leaves; the first waiter to notice takes its place
// and takes its entries off the count. Where a death came between two steps the count may keep
// one entry too many: that only sends later takers through the event, never two owners in.
bool TOsOptex::TakeOverFromDeadOwner(qint32 me)
{
    qint32 owner = FSharedInfo->ThreadId.load();
    if (owner == 0 || owner == me || ThreadAlive(quint32(owner)))
        return false;
    const qint32 entries = qMax(1, FSharedInfo->RecursionCount.load());
    if (!FSharedInfo->ThreadId.compare_exchange_strong(owner, me))
        return false;
    FSharedInfo->LockCount.fetch_sub(entries);
    FSharedInfo->RecursionCount.store(1);
    return true;
}

void TOsOptex::Leave()
{
    if (FSharedInfo->RecursionCount.fetch_sub(1) - 1 > 0) {
        FSharedInfo->LockCount.fetch_sub(1);
        return;
    }
    FSharedInfo->ThreadId.store(0);
    if (FSharedInfo->LockCount.fetch_sub(1) - 1 > 0)
        FEvent->SetEvent();
}
