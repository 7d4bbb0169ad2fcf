#include "platform/kernel/SharedObject.h"

#include <QCryptographicHash>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One byte of the object carries the holders' locks; the lock is bound to the open file, so it
// goes away with the process however it ends.
bool LockByte(int fd, short type, bool wait)
{
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 1;
    for (;;) {
        if (fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

bool Unlinked(int fd)
{
    struct stat st = {};
    return fstat(fd, &st) != 0 || st.st_nlink == 0;
}

qint64 SizeOf(int fd)
{
    struct stat st = {};
    return fstat(fd, &st) == 0 ? qint64(st.st_size) : -1;
}

// Fresh bytes: zero-filled to size, then prepared while no one else may look.
int MakeFresh(int fd, qint64 size, const TSharedObject::TInitFresh &initFresh)
{
    if (ftruncate(fd, 0) != 0 || ftruncate(fd, off_t(size)) != 0)
        return errno;
    // The pages are taken now: on a full memory file system a page touched later would end the
    // process with a bus error instead of failing here.
    int error;
    while ((error = posix_fallocate(fd, 0, off_t(size))) == EINTR) {
    }
    if (error != 0)
        return error;
    if (initFresh) {
        void *memory = mmap(nullptr, size_t(size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (memory == MAP_FAILED)
            return errno;
        initFresh(memory, size);
        munmap(memory, size_t(size));
    }
    return 0;
}

// The display this process shows on stands for its session: WAYLAND_DISPLAY, or else DISPLAY
// without its screen number; empty without either.
QByteArray DisplaySession()
{
    QByteArray session = qgetenv("WAYLAND_DISPLAY");
    if (session.isEmpty()) {
        session = qgetenv("DISPLAY");
        // ":0" and ":0.0" are one display; the screen after the dot is not a session of its own.
        const qsizetype colon = session.lastIndexOf(':');
        const qsizetype dot = session.lastIndexOf('.');
        if (colon >= 0 && dot > colon)
            session.truncate(dot);
    }
    return session.replace('/', '_');
}

} // namespace

QByteArray SharedObjectKey(const QString &name)
{
    QString mapped = name;
    mapped.replace(QLatin1Char('\\'), QLatin1Char('_')).replace(QLatin1Char('/'), QLatin1Char('_'));
    // Names are the user's own, and the display's, as the desktop system keeps them per session:
    // another user's object of the same name would refuse us or, for root, be joined, and a copy
    // on another display would be raised where the user starting the program cannot see it.
    const QByteArray user = "/u" + QByteArray::number(geteuid()) + '_';
    const QByteArray session = DisplaySession();
    const QByteArray own = session.isEmpty() ? mapped.toUtf8() : session + '_' + mapped.toUtf8();
    QByteArray key = user + own;
    // A file name holds at most 255 bytes.
    if (key.size() > 250)
        key = user + "vx-" + QCryptographicHash::hash(own, QCryptographicHash::Sha256).toHex();
    return key;
}

std::unique_ptr<TSharedObject> TSharedObject::Open(const QString &name, qint64 size, int &error,
                                                   const TInitFresh &initFresh)
{
    error = 0;
    std::unique_ptr<TSharedObject> object(new TSharedObject);
    if (name.isEmpty()) {
        if (size <= 0) {
            error = EINVAL;
            return nullptr;
        }
        object->FFd = memfd_create("vx-private", MFD_CLOEXEC);
        if (object->FFd < 0 || (error = MakeFresh(object->FFd, size, initFresh)) != 0) {
            error = error ? error : errno;
            return nullptr;
        }
        object->FSize = size;
        return object;
    }

    const QByteArray key = SharedObjectKey(name);
    // A closer may remove the name between our open and our lock; then we start over.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const int fd = shm_open(key.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) {
            error = errno;
            return nullptr;
        }
        // The names can be guessed: one another user made first under our name is not ours to
        // trust, as it could hold our lock forever or rewrite what we keep in it.
        struct stat st = {};
        const bool stated = fstat(fd, &st) == 0;
        if (!stated || st.st_uid != geteuid()) {
            error = stated ? EACCES : errno;
            close(fd);
            return nullptr;
        }
        object->FFd = fd;
        if (LockByte(fd, F_WRLCK, false)) {
            // No live holder: whatever the bytes say belongs to a process that is gone.
            if (Unlinked(fd)) {
                close(fd);
                object->FFd = -1;
                continue;
            }
            if (size <= 0) {
                shm_unlink(key.constData());
                close(fd);
                object->FFd = -1;
                error = ENOENT;
                return nullptr;
            }
            if ((error = MakeFresh(fd, size, initFresh)) != 0 || !LockByte(fd, F_RDLCK, false)) {
                error = error ? error : errno;
                shm_unlink(key.constData());
                close(fd);
                object->FFd = -1;
                return nullptr;
            }
            object->FSize = size;
        } else {
            if (errno != EAGAIN && errno != EACCES) {
                error = errno;
                close(fd);
                object->FFd = -1;
                return nullptr;
            }
            // Held: wait out a creator still filling it in or a closer removing it.
            if (!LockByte(fd, F_RDLCK, true)) {
                error = errno;
                close(fd);
                object->FFd = -1;
                return nullptr;
            }
            if (Unlinked(fd)) {
                close(fd);
                object->FFd = -1;
                continue;
            }
            object->FExisted = true;
            object->FSize = SizeOf(fd);
        }
        object->FKey = key;
        return object;
    }
    object->FFd = -1;
    error = EAGAIN;
    return nullptr;
}

TSharedObject::~TSharedObject()
{
    if (FFd < 0)
        return;
    // Holders leaving together would each see the other's lock if they asked while holding their
    // own; so each lets go first, and whoever then finds no holder takes the name with it. One
    // that finds the name already gone leaves alone the object a newcomer may have made since.
    if (!FKey.isEmpty()) {
        LockByte(FFd, F_UNLCK, false);
        if (LockByte(FFd, F_WRLCK, false) && !Unlinked(FFd))
            shm_unlink(FKey.constData());
    }
    close(FFd);
}

std::unique_ptr<TSharedBlock> TSharedBlock::Open(const QString &name, qint64 size, int &error,
                                                 const TSharedObject::TInitFresh &initFresh)
{
    std::unique_ptr<TSharedBlock> block(new TSharedBlock);
    block->FObject = TSharedObject::Open(name, size, error, initFresh);
    if (!block->FObject)
        return nullptr;
    // An older holder may have made it smaller than we need; touching past its end would fault.
    if (block->FObject->Size() < size) {
        error = EINVAL;
        return nullptr;
    }
    block->FSize = size;
    void *memory = mmap(nullptr, size_t(size), PROT_READ | PROT_WRITE, MAP_SHARED, block->FObject->Fd(), 0);
    if (memory == MAP_FAILED) {
        error = errno;
        return nullptr;
    }
    block->FMemory = memory;
    return block;
}

TSharedBlock::~TSharedBlock()
{
    if (FMemory)
        munmap(FMemory, size_t(FSize));
}
