#include "HelperProcess.h"
#include "platform/kernel/SharedObject.h"
#include "sysutil/OsFileUtils.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

TEST(OsFileUtils, OpenerSeesCreatorsBytesAndExistedFlag)
{
    const QString name = UniqueName(QStringLiteral("Shared"));
    THelperProcess creator({QStringLiteral("map"), name, QStringLiteral("4096"), QStringLiteral("write"),
                            QStringLiteral("10"), QStringLiteral("hello"), QStringLiteral("wait")});
    EXPECT_EQ(creator.Line(), QStringLiteral("existed 0"));
    EXPECT_EQ(creator.Line(), QStringLiteral("written 5"));
    THelperProcess opener({QStringLiteral("map"), name, QStringLiteral("4096"), QStringLiteral("read"),
                           QStringLiteral("8"), QStringLiteral("8")});
    EXPECT_EQ(opener.Line(), QStringLiteral("existed 1"));
    EXPECT_EQ(opener.Line(), QStringLiteral("read ..hello."));
    EXPECT_EQ(opener.Finish(), 0);
    creator.Resume();
    EXPECT_EQ(creator.Finish(), 0);
    EXPECT_EQ(SharedMemoryEntries(name), QStringList());
}

TEST(OsFileUtils, StartsFromZerosOnceEveryHolderIsGone)
{
    const QString name = UniqueName(QStringLiteral("Fresh"));
    const QStringList write = {QStringLiteral("map"), name, QStringLiteral("4096"), QStringLiteral("write"),
                               QStringLiteral("0"), QStringLiteral("stale"), QStringLiteral("wait")};
    const QStringList read = {QStringLiteral("map"), name, QStringLiteral("4096"), QStringLiteral("read"),
                              QStringLiteral("0"), QStringLiteral("5")};
    for (bool killed : {false, true}) {
        {
            THelperProcess holder(write);
            EXPECT_EQ(holder.Line(), QStringLiteral("existed 0"));
            EXPECT_EQ(holder.Line(), QStringLiteral("written 5"));
            if (killed) {
                holder.KillHard();
                ASSERT_TRUE(WaitUntilUnheld(name));
            } else {
                holder.Resume();
                EXPECT_EQ(holder.Finish(), 0);
            }
        }
        THelperProcess later(read);
        EXPECT_EQ(later.Line(), QStringLiteral("existed 0")) << killed;
        EXPECT_EQ(later.Line(), QStringLiteral("read .....")) << killed;
        EXPECT_EQ(later.Finish(), 0);
    }
    EXPECT_EQ(SharedMemoryEntries(name), QStringList());
}

TEST(OsFileUtils, ViewOffsetsAlignToTheGranularity)
{
    const struct {
        qint64 offset;
        TOsFileMappingRoundOffset round;
        qint64 expected;
    } cases[] = {
        {70000, rvDown, 65536},
        {70000, rvUp, 131072},
        {65536, rvUp, 65536},
        {0, rvUp, 0},
    };
    TOsSwapFileMapping mapping(UniqueName(QStringLiteral("Views")), PAGE_READWRITE, 4 * 65536);
    for (const auto &c : cases) {
        mapping.SetRoundViewOffset(c.round);
        TOsFileMappingView *view = mapping.GetView(mapping.Add(FILE_MAP_ALL_ACCESS, 4096, c.offset));
        EXPECT_EQ(view->Offset(), c.expected) << c.offset;
        EXPECT_EQ(view->Index(), mapping.ViewCount() - 1);
    }
}

TEST(OsFileUtils, ViewNeverWritesPastItsEnd)
{
    TOsSwapFileMapping mapping(UniqueName(QStringLiteral("Write")), PAGE_READWRITE, 4096);
    TOsFileMappingView *view = mapping.GetView(mapping.Add(FILE_MAP_ALL_ACCESS, 0, 0));
    ASSERT_EQ(view->Size(), 4096);
    view->SetPosition(view->Size() - 5);
    EXPECT_EQ(view->Write("0123456789", 10), 0);
    EXPECT_EQ(view->Position(), 4091);
    EXPECT_EQ(view->Write("01234", 5), 5);
    EXPECT_THROW(TOsFileMappingView(nullptr, FILE_MAP_ALL_ACCESS, 16, 0), EOsFileMappingViewError);
    EXPECT_THROW(mapping.Add(FILE_MAP_ALL_ACCESS, 8192, 0), EOsFileMappingViewError);
}

TEST(OsFileUtils, NamedBlockIsMappedOncePerProcess)
{
    const QString name = UniqueName(QStringLiteral("Named"));
    void *first = nullptr;
    void *second = nullptr;
    EXPECT_EQ(OpenNamedSharedMemory(first, name, 64, FILE_MAP_ALL_ACCESS), 0u);
    // Names are compared without case within the process.
    EXPECT_EQ(OpenNamedSharedMemory(second, name.toLower(), 64, FILE_MAP_ALL_ACCESS), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(first, second);
    int notOpened = 0;
    void *stranger = &notOpened;
    EXPECT_FALSE(CloseNamedSharedMemory(stranger));
    EXPECT_TRUE(CloseNamedSharedMemory(first));
    EXPECT_EQ(first, nullptr);
    EXPECT_EQ(SharedMemoryEntries(name).size(), 1);
    EXPECT_TRUE(ReleaseNamedSharedMemory(second));
    EXPECT_EQ(SharedMemoryEntries(name), QStringList());

    void *empty = nullptr;
    EXPECT_THROW(OpenNamedSharedMemory(empty, name, 0, FILE_MAP_ALL_ACCESS), ESharedMemError);
    EXPECT_EQ(SharedMemoryEntries(name), QStringList());
}

namespace {
// The display a test names its objects for, given back as it was when the test ends.
struct TDisplayAsItWas
{
    TDisplayAsItWas()
    {
        qunsetenv("WAYLAND_DISPLAY");
        qunsetenv("DISPLAY");
    }
    ~TDisplayAsItWas()
    {
        for (const auto &[name, value] : {std::pair{"WAYLAND_DISPLAY", wayland}, std::pair{"DISPLAY", display}})
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    const QByteArray display = qgetenv("DISPLAY");
};
} // namespace

TEST(OsFileUtils, NamesBecomeSystemNames)
{
    const TDisplayAsItWas noDisplay;
    const QString longName = QString(300, QLatin1Char('x'));
    const QByteArray user = "/u" + QByteArray::number(geteuid()) + '_';
    const struct {
        QString name;
        QByteArray key;
    } cases[] = {
        {QStringLiteral("OsC:\\Tools\\Player.exe_Map"), "OsC:_Tools_Player.exe_Map"},
        {QStringLiteral("OS/USR/BIN/VELTRASOMIN_Map"), "OS_USR_BIN_VELTRASOMIN_Map"},
        {longName, "vx-" + QCryptographicHash::hash(longName.toUtf8(), QCryptographicHash::Sha256).toHex()},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SharedObjectKey(c.name), user + c.key) << c.name.toStdString();

    // A hashed name still finds the same object.
    const QString name = UniqueName(longName);
    TOsSwapFileMapping first(name, PAGE_READWRITE, 64);
    TOsSwapFileMapping second(name, PAGE_READWRITE, 64);
    EXPECT_FALSE(first.Existed());
    EXPECT_TRUE(second.Existed());
}

TEST(OsFileUtils, EachDisplayHasObjectsOfItsOwn)
{
    const TDisplayAsItWas restored;
    const QByteArray user = "/u" + QByteArray::number(geteuid()) + '_';
    const struct {
        const char *wayland, *display;
        QByteArray key;
    } cases[] = {
        {"", "", "OsX_Map"},
        {"", ":71", ":71_OsX_Map"},
        {"", ":71.0", ":71_OsX_Map"},
        {"", "localhost:10.2", "localhost:10_OsX_Map"},
        {"wayland-1", ":71", "wayland-1_OsX_Map"},
        {"/run/user/7/wayland-0", "", "_run_user_7_wayland-0_OsX_Map"},
    };
    for (const auto &c : cases) {
        qputenv("WAYLAND_DISPLAY", c.wayland);
        qputenv("DISPLAY", c.display);
        EXPECT_EQ(SharedObjectKey(QStringLiteral("OsX_Map")).toStdString(), (user + c.key).toStdString());
    }

    // A copy on another display neither joins nor is joined.
    const QString name = UniqueName(QStringLiteral("Display"));
    qputenv("WAYLAND_DISPLAY", "");
    qputenv("DISPLAY", ":71");
    TOsSwapFileMapping first(name, PAGE_READWRITE, 64);
    qputenv("DISPLAY", ":72.0");
    TOsSwapFileMapping second(name, PAGE_READWRITE, 64);
    qputenv("DISPLAY", ":72");
    TOsSwapFileMapping third(name, PAGE_READWRITE, 64);
    EXPECT_FALSE(second.Existed());
    EXPECT_TRUE(third.Existed());
}

TEST(OsFileUtils, AnotherUsersObjectOfTheSameNameIsNeitherJoinedNorInTheWay)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "running a helper as another user needs root";
    constexpr int Nobody = 65534;
    const QString name = UniqueName(QStringLiteral("User"));
    const struct {
        int first, second;
    } cases[] = {{0, Nobody}, {Nobody, 0}};
    for (const auto &c : cases) {
        THelperProcess holder({QStringLiteral("map"), name, QStringLiteral("4096"), QStringLiteral("wait")}, c.first);
        EXPECT_EQ(holder.Line(), QStringLiteral("existed 0"));
        THelperProcess other({QStringLiteral("map"), name, QStringLiteral("4096")}, c.second);
        EXPECT_EQ(other.Line(), QStringLiteral("existed 0")) << c.first;
        EXPECT_EQ(other.Finish(), 0);
        holder.Resume();
        EXPECT_EQ(holder.Finish(), 0);
    }
    EXPECT_EQ(SharedMemoryEntries(name), QStringList());
}

TEST(OsFileUtils, AnObjectAnotherUserMadeUnderOurNameIsRefused)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "making a file that belongs to another user needs root";
    constexpr uid_t Nobody = 65534;
    const QString name = UniqueName(QStringLiteral("Planted"));
    const QByteArray path = "/dev/shm" + SharedObjectKey(name);
    // Open to everyone, as another user who wants our program to hang would leave it.
    const int planted = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    ASSERT_GE(planted, 0);
    ASSERT_EQ(::fchown(planted, Nobody, Nobody), 0);
    ASSERT_EQ(::fchmod(planted, 0666), 0);
    EXPECT_THROW(TOsSwapFileMapping(name, PAGE_READWRITE, 64), EOsFileMappingError);
    ::close(planted);
    ::unlink(path.constData());
}

TEST(OsFileUtils, FullSharedMemoryGivesTheCreationErrorNotACrash)
{
    // A shared-memory folder of its own with no byte left, where touching a page that cannot be
    // had would end the process.
    const QString fill = QStringLiteral("mount -t tmpfs -o size=4k tmpfs /dev/shm && head -c 4096 /dev/zero >/dev/shm/full"
                                        " || exit 77; exec \"$0\" \"$@\"");
    const struct {
        QStringList steps;
        QString error;
    } cases[] = {
        {{QStringLiteral("optex"), QStringLiteral("Full")}, QStringLiteral("Failed to create event")},
        {{QStringLiteral("map"), QStringLiteral("Full"), QStringLiteral("1032")}, QStringLiteral("Failed to create FileMapping")},
    };
    for (const auto &c : cases) {
        QProcess helper;
        QStringList arguments{QStringLiteral("-m"), QStringLiteral("sh"), QStringLiteral("-c"), fill,
                              QStringLiteral(VX_BINARY_DIR "/tests/kernelhelper")};
        // A user namespace of its own lets an ordinary user mount there too.
        if (geteuid() != 0)
            arguments.prepend(QStringLiteral("-r"));
        helper.start(QStringLiteral("unshare"), arguments + c.steps);
        ASSERT_TRUE(helper.waitForFinished(20000));
        const QByteArray output = helper.readAllStandardOutput();
        if (helper.exitStatus() == QProcess::NormalExit && (helper.exitCode() == 77 || helper.exitCode() == 1)
            && !output.startsWith("pid "))
            GTEST_SKIP() << "a mount namespace of our own needs root or user namespaces";
        const QStringList lines = QString::fromUtf8(output).split(QLatin1Char('\n'));
        EXPECT_EQ(helper.exitStatus(), QProcess::NormalExit) << c.steps.first().toStdString();
        ASSERT_GE(lines.size(), 2);
        EXPECT_TRUE(lines[1].startsWith(QLatin1String("error Win32: ")) && lines[1].endsWith(c.error))
            << lines[1].toStdString();
    }
}
