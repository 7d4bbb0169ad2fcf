#include "platform/kernel/SharedObject.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The next calls to shm_open act out a race: a closer removes the name between our open and our
// lock, and then the name cannot be had again (another user took it), while another thread of the
// program opens a file of its own in the number just freed.
int Step = -1;
int FirstFd = -1;
int OthersFd = -1;

} // namespace

extern "C" int shm_open(const char *name, int flags, mode_t mode)
{
    using TShmOpen = int (*)(const char *, int, mode_t);
    static const auto real = reinterpret_cast<TShmOpen>(::dlsym(RTLD_NEXT, "shm_open"));
    if (Step == 0) {
        Step = 1;
        FirstFd = real(name, flags, mode);
        ::shm_unlink(name);
        return FirstFd;
    }
    if (Step == 1) {
        Step = -1;
        const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        OthersFd = fd == FirstFd ? fd : ::dup2(fd, FirstFd);
        if (fd != FirstFd)
            ::close(fd);
        errno = EACCES;
        return -1;
    }
    return real(name, flags, mode);
}

TEST(SharedObject, AFailedSecondOpenLeavesTheDescriptorOfAnotherThreadOpen)
{
    Step = 0;
    int error = 0;
    const auto object = TSharedObject::Open(QStringLiteral("vx-test-reopen-%1").arg(::getpid()), 16, error);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(error, EACCES);
    ASSERT_GE(OthersFd, 0);
    EXPECT_NE(::fcntl(OthersFd, F_GETFD), -1) << "a descriptor the object no longer owned was closed";
    ::close(OthersFd);
}
