#include "sysutil/OsFileUtils.h"

#include "platform/kernel/SharedObject.h"
#include "sysutil/OsResources.h"
#include "sysutil/OsSysInfo.h"

#include <QList>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <list>
#include <mutex>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int ProtectionFor(quint32 access)
{
    return access == FILE_MAP_COPY || (access & FILE_MAP_WRITE) ? PROT_READ | PROT_WRITE : PROT_READ;
}

int SharingFor(quint32 access)
{
    return access == FILE_MAP_COPY ? MAP_PRIVATE : MAP_SHARED;
}

qint64 FileSize(int fd)
{
    struct stat st = {};
    return fstat(fd, &st) == 0 ? qint64(st.st_size) : -1;
}

} // namespace

TOsCustomFileMapping::TOsCustomFileMapping() = default;

TOsCustomFileMapping::~TOsCustomFileMapping()
{
    while (!FViews.empty()) {
        std::unique_ptr<TOsFileMappingView> view = std::move(FViews.back());
        FViews.pop_back();
    }
    if (FFileBacked && FHandle >= 0)
        close(FHandle);
}

void TOsCustomFileMapping::InternalCreate(int FileHandle, const QString &Name, quint32 Protect, qint64 MaximumSize)
{
    Q_UNUSED(Protect);
    FName = Name;
    if (FileHandle == INVALID_HANDLE_VALUE) {
        int error = 0;
        FObject = TSharedObject::Open(Name, MaximumSize, error);
        if (!FObject)
            throw EOsFileMappingError(quint32(error), QString::fromLatin1(RsOsCreateFileMapping));
        FHandle = FObject->Fd();
        FExisted = FObject->Existed();
        return;
    }
    const int fd = fcntl(FileHandle, F_DUPFD_CLOEXEC, 0);
    // The file grows to the mapping's size, as it would for the desktop system.
    if (fd < 0 || (MaximumSize > FileSize(fd) && ftruncate(fd, off_t(MaximumSize)) != 0)) {
        const int error = errno;
        if (fd >= 0)
            close(fd);
        throw EOsFileMappingError(quint32(error), QString::fromLatin1(RsOsCreateFileMapping));
    }
    FHandle = fd;
    FFileBacked = true;
}

qint64 TOsCustomFileMapping::MappingSize() const
{
    return FHandle >= 0 ? FileSize(FHandle) : 0;
}

int TOsCustomFileMapping::Add(quint32 Access, qint64 Count, qint64 Offset)
{
    // The view enters itself into the list, which owns it from then on.
    return IndexOf(new TOsFileMappingView(this, Access, Count, Offset));
}

TOsFileMappingView *TOsCustomFileMapping::GetView(int Index) const
{
    return Index >= 0 && Index < int(FViews.size()) ? FViews[size_t(Index)].get() : nullptr;
}

int TOsCustomFileMapping::IndexOf(const TOsFileMappingView *View) const
{
    for (size_t i = 0; i < FViews.size(); ++i)
        if (FViews[i].get() == View)
            return int(i);
    return -1;
}

void TOsCustomFileMapping::Delete(TOsFileMappingView *View)
{
    const int index = IndexOf(View);
    if (index < 0)
        return;
    std::unique_ptr<TOsFileMappingView> view = std::move(FViews[size_t(index)]);
    FViews.erase(FViews.begin() + index);
}

TOsSwapFileMapping::TOsSwapFileMapping(const QString &Name, quint32 Protect, qint64 MaximumSize)
{
    InternalCreate(INVALID_HANDLE_VALUE, Name, Protect, MaximumSize);
}

TOsFileMappingView::TOsFileMappingView(TOsCustomFileMapping *FileMap, quint32 Access, qint64 Size, qint64 ViewOffset)
    : FFileMapping(FileMap)
{
    if (!FileMap)
        throw EOsFileMappingViewError(0, QString::fromLatin1(RsOsViewNeedsMapping));
    AlignToAllocationGranularity(ViewOffset, FileMap->RoundViewOffset() == rvUp);
    SplitInt64(ViewOffset, FOffsetLow, FOffsetHigh);
    const qint64 mappingSize = FileMap->MappingSize();
    if (Size == 0 && FileMap->FFileBacked && mappingSize < 0)
        throw EOsFileMappingViewError(quint32(errno), QString::fromLatin1(RsOsFailedToObtainSize));
    if (Size == 0)
        Size = mappingSize - ViewOffset;
    // Bytes past the end of the object would fault on the first touch instead of failing here.
    if (ViewOffset < 0 || Size <= 0 || ViewOffset + Size > mappingSize)
        throw EOsFileMappingViewError(quint32(EINVAL), QString::fromLatin1(RsOsCreateFileMappingView));
    void *memory = mmap(nullptr, size_t(Size), ProtectionFor(Access), SharingFor(Access), FileMap->Handle(),
                        off_t(ViewOffset));
    if (memory == MAP_FAILED)
        throw EOsFileMappingViewError(quint32(errno), QString::fromLatin1(RsOsCreateFileMappingView));
    FMemory = memory;
    FSize = Size;
    FileMap->FViews.emplace_back(this);
}

TOsFileMappingView::~TOsFileMappingView()
{
    munmap(FMemory, size_t(FSize));
    FMemory = nullptr;
    FSize = 0;
}

qint64 TOsFileMappingView::Read(void *Buffer, qint64 Count)
{
    const qint64 count = qBound<qint64>(0, qMin(Count, FSize - FPosition), FSize);
    if (count <= 0)
        return 0;
    std::memcpy(Buffer, static_cast<const char *>(FMemory) + FPosition, size_t(count));
    FPosition += count;
    return count;
}

qint64 TOsFileMappingView::Write(const void *Buffer, qint64 Count)
{
    if (Count <= 0 || FPosition > FSize || Count > FSize - FPosition)
        return 0;
    std::memcpy(static_cast<char *>(FMemory) + FPosition, Buffer, size_t(Count));
    FPosition += Count;
    return Count;
}

int TOsFileMappingView::Index() const
{
    return FFileMapping->IndexOf(this);
}

namespace {

struct TMMFHandleListItem
{
    void *Memory = nullptr;
    qint64 Size = 0;
    std::unique_ptr<TSharedObject> Handle;
    QString Name;
    int References = 0;
};

// New nodes go first, as the lookups expect the latest opens first.
std::list<TMMFHandleListItem> &SharedMemoryList()
{
    static std::list<TMMFHandleListItem> list;
    return list;
}

} // namespace

IInterface SharedMemoryListLock()
{
    static std::recursive_mutex lock;
    lock.lock();
    return IInterface(&lock, [](void *held) { static_cast<std::recursive_mutex *>(held)->unlock(); });
}

quint32 OpenNamedSharedMemory(void *&P, const QString &Name, qint64 Size, quint32 DesiredAccess)
{
    P = nullptr;
    const IInterface held = SharedMemoryListLock();
    for (TMMFHandleListItem &node : SharedMemoryList())
        if (node.Name.compare(Name, Qt::CaseInsensitive) == 0) {
            ++node.References;
            P = node.Memory;
            return ERROR_ALREADY_EXISTS;
        }
    int error = 0;
    std::unique_ptr<TSharedObject> object = TSharedObject::Open(Name, Size, error);
    if (!object && error == ENOENT && Size <= 0)
        throw ESharedMemError(QString::fromLatin1(RsOsInvalidMMFEmpty).arg(Name));
    if (!object)
        throw EOsWin32Error(quint32(error), QString());
    const qint64 size = Size > 0 ? Size : object->Size();
    if (size <= 0 || size > object->Size())
        throw EOsWin32Error(quint32(EINVAL), QString());
    void *memory = mmap(nullptr, size_t(size), ProtectionFor(DesiredAccess), SharingFor(DesiredAccess), object->Fd(), 0);
    if (memory == MAP_FAILED)
        throw EOsWin32Error(quint32(errno), QString());
    const bool existed = object->Existed();
    SharedMemoryList().push_front({memory, size, std::move(object), Name, 1});
    P = memory;
    return existed ? ERROR_ALREADY_EXISTS : 0;
}

bool CloseNamedSharedMemory(void *&P)
{
    if (!P)
        return true;
    const IInterface held = SharedMemoryListLock();
    std::list<TMMFHandleListItem> &list = SharedMemoryList();
    auto node = std::find_if(list.begin(), list.end(), [&](const TMMFHandleListItem &n) { return n.Memory == P; });
    if (node == list.end())
        return false;
    if (node->References < 2) {
        munmap(node->Memory, size_t(node->Size));
        list.erase(node);
    } else {
        --node->References;
    }
    P = nullptr;
    return true;
}

bool ReleaseNamedSharedMemory(void *&P)
{
    return CloseNamedSharedMemory(P);
}
