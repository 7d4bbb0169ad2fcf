#pragma once
// Named shared memory: mappings on the swap space with views over them, and the plain routines
// that open one named block once per process however often it is asked for.
#include "sysutil/OsBase.h"

#include <QString>
#include <memory>
#include <vector>

class TSharedObject;
class TOsFileMappingView;

enum TOsFileMappingRoundOffset { rvDown, rvUp };

inline constexpr quint32 PAGE_READONLY = 2;
inline constexpr quint32 PAGE_READWRITE = 4;
inline constexpr quint32 PAGE_WRITECOPY = 8;
inline constexpr quint32 FILE_MAP_COPY = 1;
inline constexpr quint32 FILE_MAP_WRITE = 2;
inline constexpr quint32 FILE_MAP_READ = 4;
inline constexpr quint32 FILE_MAP_ALL_ACCESS = 0xF001F;
inline constexpr quint32 ERROR_ALREADY_EXISTS = 183;
inline constexpr int INVALID_HANDLE_VALUE = -1;

class TOsCustomFileMapping
{
public:
    virtual ~TOsCustomFileMapping();
    TOsCustomFileMapping(const TOsCustomFileMapping &) = delete;
    TOsCustomFileMapping &operator=(const TOsCustomFileMapping &) = delete;

    // Another process had the mapping open before this one asked for it.
    bool Existed() const { return FExisted; }
    // The file descriptor behind the mapping.
    int Handle() const { return FHandle; }
    QString Name() const { return FName; }
    TOsFileMappingRoundOffset RoundViewOffset() const { return FRoundViewOffset; }
    void SetRoundViewOffset(TOsFileMappingRoundOffset value) { FRoundViewOffset = value; }
    // Bytes the mapping holds.
    qint64 MappingSize() const;

    // A new view owned by the mapping; its index in the view list.
    int Add(quint32 Access, qint64 Count, qint64 Offset);
    TOsFileMappingView *GetView(int Index) const;
    int IndexOf(const TOsFileMappingView *View) const;
    int ViewCount() const { return int(FViews.size()); }
    // Unmaps and frees a view of this mapping.
    void Delete(TOsFileMappingView *View);

protected:
    TOsCustomFileMapping();
    // FileHandle INVALID_HANDLE_VALUE: the swap space, shared by Name; otherwise that open file.
    void InternalCreate(int FileHandle, const QString &Name, quint32 Protect, qint64 MaximumSize);

private:
    friend class TOsFileMappingView;
    bool FExisted = false;
    int FHandle = -1;
    QString FName;
    TOsFileMappingRoundOffset FRoundViewOffset = rvDown;
    std::vector<std::unique_ptr<TOsFileMappingView>> FViews;
    std::unique_ptr<TSharedObject> FObject; // swap space only
    bool FFileBacked = false;
};

class TOsSwapFileMapping : public TOsCustomFileMapping
{
public:
    TOsSwapFileMapping(const QString &Name, quint32 Protect, qint64 MaximumSize);
};

// A fixed-size memory stream over mapped bytes: it reads and writes in place and never grows.
class TOsFileMappingView
{
public:
    // Raises EOsFileMappingViewError when FileMap is null or the bytes cannot be mapped. Size 0
    // takes the rest of the mapping (of a file: the file's size).
    TOsFileMappingView(TOsCustomFileMapping *FileMap, quint32 Access, qint64 Size, qint64 ViewOffset);
    ~TOsFileMappingView();
    TOsFileMappingView(const TOsFileMappingView &) = delete;
    TOsFileMappingView &operator=(const TOsFileMappingView &) = delete;

    void *Memory() const { return FMemory; }
    qint64 Size() const { return FSize; }
    qint64 Position() const { return FPosition; }
    void SetPosition(qint64 value) { FPosition = qMax<qint64>(0, value); }
    // Reads up to Count bytes at Position; returns how many.
    qint64 Read(void *Buffer, qint64 Count);
    // Writes Count bytes at Position; nothing at all (0) when they do not fit.
    qint64 Write(const void *Buffer, qint64 Count);

    int Index() const;
    TOsCustomFileMapping *FileMapping() const { return FFileMapping; }
    qint64 Offset() const { return JoinInt64(FOffsetLow, FOffsetHigh); }

private:
    TOsCustomFileMapping *FFileMapping;
    quint32 FOffsetHigh = 0;
    quint32 FOffsetLow = 0;
    void *FMemory = nullptr;
    qint64 FSize = 0;
    qint64 FPosition = 0;
};

// Opens the named block, creating it with Size bytes when no process has it. Returns 0 when it
// was made now, ERROR_ALREADY_EXISTS when it was there (in this process or another one).
quint32 OpenNamedSharedMemory(void *&P, const QString &Name, qint64 Size, quint32 DesiredAccess);
// Undoes one open; the last one unmaps. False when no open block is at P.
bool CloseNamedSharedMemory(void *&P);
bool ReleaseNamedSharedMemory(void *&P);

// Holds the named-block list's lock for as long as a copy of it lives.
using IInterface = std::shared_ptr<void>;
IInterface SharedMemoryListLock();
