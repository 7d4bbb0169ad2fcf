#include "platform/ini/IniFile.h"
#include "TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <clocale>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

struct TIniFixture : ::testing::Test
{
    QTemporaryDir dir;
    QString Write(const QByteArray &bytes, const QString &name = QStringLiteral("test.ini"))
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static QByteArray Read(const QString &path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
};

TEST_F(TIniFixture, ReadsWithProfileRules)
{
    const QString path = Write("free text before any section\n"
                               "key=ignored before a section\n"
                               "[C] // = comment after the bracket\n"
                               "  Maj =  0001000203xx 0305050503xx  \n"
                               "maj=second duplicate loses\n"
                               "empty=\n"
                               "quoted=\"a b\"\n"
                               "noequals line\n"
                               "[c]\n"
                               "m7=from a later duplicate section\n"
                               "[Version]\n"
                               "Number=1.4.5\n");
    TIniFile ini(path);
    struct { const char *section, *key, *expected; } cases[] = {
        {"C", "maj", "0001000203xx 0305050503xx"},
        {"c", "MAJ", "0001000203xx 0305050503xx"},
        {"C", "empty", ""},
        {"C", "quoted", "a b"},
        {"C", "m7", "default"},          // only in the later [c]: the first section wins
        {"C", "key", "default"},
        {"version", "number", "1.4.5"},
        {"C#", "maj", "default"},
        {"C", "noequals line", "default"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ini.ReadString(c.section, c.key, "default"), QString::fromUtf8(c.expected))
            << c.section << " " << c.key;
    EXPECT_EQ(ini.ReadSections(), QStringList({"C", "Version"}));
    EXPECT_EQ(ini.ReadSection("c"), QStringList({"Maj", "empty", "quoted"}));
    EXPECT_TRUE(ini.ValueExists("C", "EMPTY"));
    EXPECT_FALSE(ini.SectionExists("D"));
}

TEST_F(TIniFixture, ReadsEveryEncodingAndLineEnd)
{
    const QByteArray russian1251 = "\xD0\xF3\xF1\xF1\xEA\xE8\xE9"; // "Русский" in Windows-1251
    struct { QByteArray bytes; } cases[] = {
        {"[S]\r\nname=\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9\r\n"},
        {"\xEF\xBB\xBF[S]\nname=\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9\n"},
        {"[S]\r\nname=" + russian1251 + "\r\n"},
        {QByteArray("\xFF\xFE[\0S\0]\0\n\0n\0a\0m\0e\0=\0\x20\x04\x43\x04\x41\x04\x41\x04\x3A\x04\x38\x04\x39\x04", 34)},
    };
    int i = 0;
    for (const auto &c : cases) {
        TIniFile ini(Write(c.bytes, QStringLiteral("enc%1.ini").arg(i++)));
        EXPECT_EQ(ini.ReadString("S", "name", "?"), QStringLiteral("Русский")) << i;
    }
}

TEST_F(TIniFixture, WriteStringKeepsEveryOtherLine)
{
    const QString path = Write("; comment\r\n[OPTIONS]\r\nA=1\r\n\r\nB = 2\r\n\r\n[Other]\r\nX=y\r\n");
    TIniFile ini(path);
    ASSERT_TRUE(ini.WriteString("options", "b", "3"));
    ASSERT_TRUE(ini.WriteString("OPTIONS", "C", "4"));
    ASSERT_TRUE(ini.WriteString("New", "K", "v"));
    EXPECT_EQ(Read(path), QByteArray("; comment\r\n[OPTIONS]\r\nA=1\r\n\r\nb=3\r\nC=4\r\n\r\n[Other]\r\nX=y\r\n\r\n"
                                     "[New]\r\nK=v\r\n"));
    EXPECT_EQ(ini.ReadString("OPTIONS", "B", ""), "3");
    EXPECT_EQ(ini.ReadInteger("OPTIONS", "C", 0), 4);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files) == QStringList{"test.ini"}) << "no temporary file left";
}

TEST_F(TIniFixture, WritesBackInTheFilesOwnEncodingAndLineEnds)
{
    const QByteArray russian1251 = "\xD0\xF3\xF1\xF1\xEA\xE8\xE9"; // "Русский" in Windows-1251
    struct { QByteArray before; const char *key, *value; QByteArray after; } cases[] = {
        {"[S]\r\nname=" + russian1251 + "\r\nk=1\r\n", "k", "2", "[S]\r\nname=" + russian1251 + "\r\nk=2\r\n"},
        {"\xEF\xBB\xBF[S]\nk=1\n", "k", "\xD1\x8F", "\xEF\xBB\xBF[S]\nk=\xD1\x8F\n"},
        {QByteArray("\xFF\xFE[\0S\0]\0\r\0\n\0", 12), "k", "1",
         QByteArray("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0""1\0\r\0\n\0", 22)},
        {"[S]\nK = 2 \n", "k", "2", "[S]\nK = 2 \n"},               // the value is there already
        {"[S]\r\nk=1", "j", "3", "[S]\r\nk=1\r\nj=3\r\n"},          // no line end at the end
        {"[S]\r\nk=1\r", "j", "3", "[S]\r\nk=1\r\nj=3\r\n"},
        {"[S]\nname=" + russian1251 + "\n", "k", "\xE2\x82\xAC\xE6\x97\xA5", // no "日" in Windows-1251
         "[S]\nname=\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9\nk=\xE2\x82\xAC\xE6\x97\xA5\n"},
        // Windows-1251 "Р" and a no-break space would pass for UTF-8 without the line that made the
        // file Windows-1251.
        {"[S]\nk=\xC0\na=\xD0\xA0\n", "k", "1", "[S]\nk=1\na=\xD0\xA0\xC2\xA0\n"},
    };
    int i = 0;
    for (const auto &c : cases) {
        const QString path = Write(c.before, QStringLiteral("enc%1.ini").arg(i++));
        TIniFile ini(path);
        ASSERT_TRUE(ini.WriteString("S", c.key, QString::fromUtf8(c.value)));
        EXPECT_EQ(Read(path), c.after) << i;
        EXPECT_EQ(ini.ReadString("S", c.key, ""), QString::fromUtf8(c.value)) << i;
    }
}

TEST_F(TIniFixture, WriteKeepsAZeroWidthSpaceThatStartsTheFile)
{
    // UTF-16: a mark, then a zero-width no-break space before the first header, so no section.
    const QString path = Write(QByteArray("\xFF\xFE\xFF\xFE[\0S\0]\0\n\0k\0=\0""1\0", 18));
    TIniFile ini(path);
    ASSERT_TRUE(ini.WriteString("T", "k", "2"));
    EXPECT_FALSE(ini.SectionExists("S"));
    EXPECT_EQ(ini.ReadString("T", "k", ""), "2");
}

TEST_F(TIniFixture, WritesIntoMissingFileAndReadsNumbers)
{
    const QString path = dir.filePath("settings.ini");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("POSITION", "Top", 17), 17);
    ASSERT_TRUE(ini.WriteInteger("POSITION", "Top", -5));
    ASSERT_TRUE(ini.WriteBool("OPTIONS", "Flag", true));
    ASSERT_TRUE(ini.WriteString("OPTIONS", "Bad", "12abc"));
    EXPECT_EQ(ini.ReadInteger("POSITION", "Top", 0), -5);
    EXPECT_TRUE(ini.ReadBool("OPTIONS", "Flag", false));
    EXPECT_EQ(ini.ReadInteger("OPTIONS", "Bad", 9), 9);
    EXPECT_FALSE(ini.ReadBool("OPTIONS", "Bad", false));
}

TEST_F(TIniFixture, AWriteThroughALinkReplacesTheFileItPointsAt)
{
    const QString target = Write("[S]\nKey=old\n", QStringLiteral("kept.ini"));
    const QString link = dir.filePath(QStringLiteral("link.ini"));
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(IniText::WriteFileAtomically(link, "[S]\nKey=new\n"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(Read(target), "[S]\nKey=new\n");
}

TEST_F(TIniFixture, ALinkInALinkedFolderLeadsWhereTheSystemFollowsIt)
{
    // home/cfg stands for data/cfg, where settings.ini points at ../dotfiles/settings.ini: that is
    // data/dotfiles/settings.ini, not home/dotfiles/settings.ini as the names alone read.
    QDir root(dir.path());
    ASSERT_TRUE(root.mkpath("data/cfg") && root.mkpath("data/dotfiles") && root.mkpath("home/dotfiles"));
    const QString real = Write("old\n", QStringLiteral("data/dotfiles/settings.ini"));
    const QString other = Write("other\n", QStringLiteral("home/dotfiles/settings.ini"));
    ASSERT_EQ(::symlink("../data/cfg", QFile::encodeName(dir.filePath("home/cfg")).constData()), 0);
    ASSERT_EQ(::symlink("../dotfiles/settings.ini", QFile::encodeName(dir.filePath("data/cfg/settings.ini")).constData()), 0);
    const QString name = dir.filePath(QStringLiteral("home/cfg/settings.ini"));
    ASSERT_TRUE(IniText::WriteFileAtomically(name, "new\n"));
    EXPECT_EQ(Read(real), "new\n");
    EXPECT_EQ(Read(other), "other\n");
    EXPECT_TRUE(QFileInfo(dir.filePath("data/cfg/settings.ini")).isSymLink());
}

TEST_F(TIniFixture, ALinkAnotherUserLeftInASharedFolderIsNotFollowed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a link to another user";
    // A shared folder like /tmp, where another user left song.txt pointing at one of our files.
    QDir root(dir.path());
    ASSERT_TRUE(root.mkpath("shared"));
    const QByteArray shared = QFile::encodeName(dir.filePath("shared"));
    ASSERT_EQ(::chmod(shared.constData(), 01777), 0);
    const QString victim = Write("ours\n", QStringLiteral("victim.ini"));
    const QString missing = dir.filePath(QStringLiteral("made.ini"));
    const struct {
        const char *link;
        QString target;
        uid_t owner;
        bool followed;
    } cases[] = {
        {"song.txt", victim, 12345, false},
        {"new.txt", missing, 12345, false}, // would make a file where the link says
        {"mine.txt", victim, 0, true},      // our own link is ours to follow
    };
    for (const auto &c : cases) {
        const QByteArray link = shared + '/' + c.link;
        ASSERT_EQ(::symlink(QFile::encodeName(c.target).constData(), link.constData()), 0);
        ASSERT_EQ(::lchown(link.constData(), c.owner, c.owner), 0);
        QString error;
        EXPECT_EQ(IniText::WriteFileAtomically(QFile::decodeName(link), "theirs\n", &error), c.followed) << c.link;
        if (!c.followed) {
            EXPECT_FALSE(error.isEmpty()) << c.link;
            EXPECT_EQ(Read(victim), "ours\n") << c.link;
            EXPECT_FALSE(QFileInfo::exists(missing)) << c.link;
        }
        EXPECT_TRUE(QFileInfo(QFile::decodeName(link)).isSymLink()) << c.link;
    }
    EXPECT_EQ(Read(victim), "theirs\n");
}

TEST_F(TIniFixture, ALinkToANameInWindows1251WritesThatFile)
{
    // "песня.txt" in Windows-1251, as an old archive unpacks it; no text gives these bytes back.
    const QByteArray real = QFile::encodeName(dir.path()) + "/\xEF\xE5\xF1\xED\xFF.txt";
    const int fd = ::creat(real.constData(), 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "old\n", 4), 4);
    ::close(fd);
    const QString link = dir.filePath(QStringLiteral("song.txt"));
    ASSERT_EQ(::symlink("\xEF\xE5\xF1\xED\xFF.txt", QFile::encodeName(link).constData()), 0);
    ASSERT_TRUE(IniText::WriteFileAtomically(link, "new\n"));
    EXPECT_EQ(Read(link), "new\n");
    EXPECT_FALSE(QFileInfo::exists(QFile::decodeName(real))) << "no file under the name as text reads it";
    ::unlink(real.constData());
}

TEST_F(TIniFixture, SeesAFileRewrittenWhileOpen)
{
    const QString path = Write("[Version]\nNumber=1.4.4\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("Version", "Number", "1"), "1.4.4");
    // Same size, so only the new inode or time tells the difference.
    Write("[Version]\nNumber=1.4.5\n");
    EXPECT_EQ(ini.ReadString("Version", "Number", "1"), "1.4.5");
    QFile::remove(path);
    EXPECT_EQ(ini.ReadString("Version", "Number", "1"), "1");
}

// A FAT stick keeps times to 2 s: another program's second edit within them, written in place at
// the same size, leaves size, inode and time as they were.
TEST_F(TIniFixture, SeesAFileRewrittenInPlaceWithinOneTimeStamp)
{
    const QString path = Write("[C]\nmaj=0001000203xx\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("C", "maj", ""), "0001000203xx");
    struct stat before;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    Write("[C]\nmaj=0001000204xx\n");
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    EXPECT_EQ(ini.ReadString("C", "maj", ""), "0001000204xx");
}

// A time ahead of the clock (another machine's, or any year an archive gives) is not left behind
// yet: an edit in place that keeps it is still seen.
TEST_F(TIniFixture, SeesAFileRewrittenInPlaceWhileItsTimeLiesAhead)
{
    const struct { const char *when; time_t seconds; } cases[] = {
        {"an hour ahead", time_t(QDateTime::currentSecsSinceEpoch() + 3600)},
        {"in the year 2381", time_t(13'000'000'000)},
    };
    for (const auto &c : cases) {
        const timespec times[2] = {{c.seconds, 0}, {c.seconds, 0}};
        const QString path = Write("[C]\nmaj=0001000203xx\n");
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
        TIniFile ini(path);
        EXPECT_EQ(ini.ReadString("C", "maj", ""), "0001000203xx") << c.when;
        Write("[C]\nmaj=0001000204xx\n");
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
        EXPECT_EQ(ini.ReadString("C", "maj", ""), "0001000204xx") << c.when;
    }
}

TEST_F(TIniFixture, FailedWriteLeavesTheFileAsItWas)
{
    const QString path = Write("[S]\nk=v\n");
    // A folder where the file should be: the rename over it fails, even for root.
    const QString blocked = dir.filePath("blocked.ini");
    ASSERT_TRUE(QDir().mkpath(blocked + "/inside"));
    TIniFile folder(blocked);
    EXPECT_FALSE(folder.WriteString("S", "k", "changed"));
    EXPECT_TRUE(QFileInfo(blocked).isDir());
    // A file where the folder should be.
    TIniFile nested(path + "/settings.ini");
    EXPECT_FALSE(nested.WriteString("S", "k", "changed"));
    EXPECT_EQ(Read(path), QByteArray("[S]\nk=v\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"test.ini"}) << "no temporary file left";
}

TEST_F(TIniFixture, AFailedWriteGivesItsReasonReadableInAn8BitLocale)
{
    const QString path = Write("[S]\nk=v\n");
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    auto reasonIn = [&](const char *locale) {
        QString reason;
        if (std::setlocale(LC_ALL, locale))
            IniText::WriteFileAtomically(path + "/song.txt", "text", &reason);
        return reason;
    };
    // The system's own words (a file where the folder should be), as in a UTF-8 locale.
    const QString utf8 = reasonIn("ru_RU.UTF-8");
    int tried = 0;
    const char *eightBit[] = {"ru_RU.KOI8-R", "ru_RU.CP1251"};
    for (const char *locale : eightBit) {
        const QString reason = reasonIn(locale);
        if (utf8.isEmpty() || reason.isEmpty())
            continue;
        ++tried;
        EXPECT_EQ(reason, utf8) << locale;
        EXPECT_FALSE(reason.contains(QChar::ReplacementCharacter)) << locale;
    }
    std::setlocale(LC_ALL, saved.c_str());
    if (tried == 0)
        GTEST_SKIP() << "the Russian locales are not generated here";
}

TEST_F(TIniFixture, AFileWithTheLongestNameIsWrittenAndReplaced)
{
    // 255 bytes is the most a name may have; the temporary beside it must still fit.
    const QString names[] = {QString(251, u's') + ".txt", QString(125, u'\u0430') + ".txt", QString(239, u's') + ".txt"};
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        QString error;
        EXPECT_TRUE(IniText::WriteFileAtomically(path, "new\n", &error)) << error.toStdString();
        EXPECT_TRUE(IniText::WriteFileAtomically(path, "replaced\n", &error)) << error.toStdString();
        EXPECT_EQ(Read(path), "replaced\n");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{name}) << "no temporary file left";
        QFile::remove(path);
    }
}

} // namespace

// What a file holds at the moment its bytes are synced, the last moment before it takes the name.
namespace {
mode_t SyncedMode = 0;
ino_t SyncedFolder = 0;
}
extern "C" int fsync(int fd)
{
    struct stat st;
    // The folder is synced after the rename; only the file's own sync tells its mode.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        SyncedMode = st.st_mode & 07777;
    else if (S_ISDIR(st.st_mode))
        SyncedFolder = st.st_ino;
    return int(::syscall(SYS_fsync, fd));
}

// A file system without Unix permissions (FAT) refuses a change of them.
namespace {
bool RefuseChmod = false;
}
extern "C" int fchmod(int fd, mode_t mode)
{
    if (RefuseChmod) {
        errno = EPERM;
        return -1;
    }
    return int(::syscall(SYS_fchmod, fd, mode));
}

namespace {

// The new name is on the disk only once the folder is: a save reported as done must survive a
// power cut.
TEST_F(TIniFixture, ASaveSyncsTheFolderThatHoldsTheNewName)
{
    const QString path = Write("[S]\nkey=1\n");
    struct stat folder;
    ASSERT_EQ(::stat(QFile::encodeName(QFileInfo(path).path()).constData(), &folder), 0);
    SyncedFolder = 0;
    ASSERT_TRUE(IniText::WriteFileAtomically(path, "[S]\nkey=2\n"));
    EXPECT_EQ(SyncedFolder, folder.st_ino);
}

TEST_F(TIniFixture, APrivateFileIsNotOpenToOthersWhileItIsReplaced)
{
    const QString path = Write("[S]\nsecret=1\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0);
    SyncedMode = 0;
    ASSERT_TRUE(IniText::WriteFileAtomically(path, "[S]\nsecret=2\n"));
    EXPECT_EQ(SyncedMode, 0600u) << "the temporary, while it held the new bytes";
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    RefuseChmod = true;
    const bool saved = IniText::WriteFileAtomically(path, "[S]\nsecret=3\n");
    RefuseChmod = false;
    EXPECT_TRUE(saved) << "where permissions cannot be set, the file is saved as it comes";
    EXPECT_EQ(Read(path), "[S]\nsecret=3\n");
}

TEST_F(TIniFixture, AReplacedFileKeepsItsOwnerAndGroup)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a file to another user";
    // Another user's song saved by root, and a song kept with a band's group.
    struct { uid_t owner; gid_t group; mode_t mode; } cases[] = {{12345, 23456, 0600}, {0, 23456, 0660}};
    for (const auto &c : cases) {
        const QString path = Write("old\n");
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), c.owner, c.group), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), c.mode), 0);
        ASSERT_TRUE(IniText::WriteFileAtomically(path, "new\n"));
        struct stat st;
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
        EXPECT_EQ(st.st_uid, c.owner);
        EXPECT_EQ(st.st_gid, c.group);
        EXPECT_EQ(st.st_mode & 07777, c.mode);
        EXPECT_EQ(Read(path), "new\n");
    }
}

TEST_F(TIniFixture, APipeOrADeviceIsNeitherReadNorWrittenOver)
{
    // A pipe would wait for a writer for ever, a device would fill the memory.
    const QString pipe = dir.filePath("pipe.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString zero = dir.filePath("zero.ini");
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    for (const QString &path : {pipe, zero}) {
        TIniFile file(path);
        EXPECT_EQ(file.ReadString("S", "k", "default"), "default");
        EXPECT_FALSE(file.WriteString("S", "k", "v"));
        EXPECT_FALSE(file.EraseSection("S"));
        EXPECT_FALSE(IniText::ReadFileBytes(path).has_value());
    }
    EXPECT_FALSE(QFileInfo(pipe).isFile());
    EXPECT_TRUE(QFileInfo(zero).isSymLink());
}

TEST_F(TIniFixture, AReplacedFileKeepsItsAccessListAndTags)
{
    // An access list that lets user 12345 read the song besides its owner, and a file manager's tag.
    const char acl[] = "\x02\0\0\0"                             // version 2
                       "\x01\0\x06\0\xff\xff\xff\xff"             // owner rw
                       "\x02\0\x04\0\x39\x30\0\0"                 // user 12345 r
                       "\x04\0\x04\0\xff\xff\xff\xff"             // group r
                       "\x10\0\x04\0\xff\xff\xff\xff"             // mask r
                       "\x20\0\0\0\xff\xff\xff\xff";              // others nothing
    struct { const char *name; QByteArray value; } cases[] = {
        {"system.posix_acl_access", QByteArray(acl, sizeof acl - 1)},
        {"user.xdg.tags", "chorus,capo 2"},
    };
    for (const auto &c : cases) {
        const QString path = Write("old\n");
        const QByteArray name = QFile::encodeName(path);
        if (::setxattr(name.constData(), c.name, c.value.constData(), size_t(c.value.size()), 0) != 0)
            continue; // a file system without them
        ASSERT_TRUE(IniText::WriteFileAtomically(path, "new\n"));
        char kept[256] = {};
        const ssize_t size = ::getxattr(name.constData(), c.name, kept, sizeof kept);
        EXPECT_EQ(QByteArray(kept, int(qMax<ssize_t>(size, 0))), c.value) << c.name;
        EXPECT_EQ(Read(path), "new\n");
    }
}

TEST_F(TIniFixture, APipeOrADeviceIsNotReplacedByAFile)
{
    // A device of our own, never the system's: a save over it must not be tried on /dev/null.
    struct { const char *name; mode_t type; } cases[] = {{"pipe.txt", S_IFIFO}, {"null.txt", S_IFCHR}};
    for (const auto &c : cases) {
        const QString path = dir.filePath(c.name);
        if (::mknod(QFile::encodeName(path).constData(), c.type | 0666, c.type == S_IFCHR ? makedev(1, 3) : 0) != 0)
            continue; // a device needs root
        const QString link = dir.filePath(QStringLiteral("link-") + c.name);
        ASSERT_TRUE(QFile::link(path, link));
        for (const QString &name : {path, link}) {
            QString error;
            EXPECT_FALSE(IniText::WriteFileAtomically(name, "song\n", &error)) << c.name;
            EXPECT_FALSE(error.isEmpty());
            struct stat st;
            ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
            EXPECT_EQ(st.st_mode & S_IFMT, c.type) << c.name;
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).filter(".vxtmp-"), QStringList())
        << "no temporary file left";
}

} // namespace

namespace {

TEST(IniFullDisk, EveryWriterKeepsTheOldFileAndSaysItFailed)
{
    TestSupport::TSmallDisk disk;
    if (!disk.mounted)
        GTEST_SKIP() << "needs root to mount a small tmpfs that can be filled";
    const QString path = disk.dir.filePath("settings.ini");
    const QByteArray old = "[POSITION]\nTop=1\n" + QByteArray(3000, 'k') + "\n";
    ASSERT_TRUE(IniText::WriteFileAtomically(path, old));
    disk.Fill();

    QString error;
    EXPECT_FALSE(IniText::WriteFileAtomically(path, QByteArray(3000, 'n'), &error));
    EXPECT_FALSE(error.isEmpty());
    TIniFile ini(path);
    EXPECT_FALSE(ini.WriteString("POSITION", "Top", "2"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
    EXPECT_EQ(QDir(disk.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"filler", "settings.ini"}));
}

// A stick with its lock switch on, or mounted read-only: the reason must point there, not at
// the file's permissions, which the user may well have.
TEST(IniReadOnlyDisk, ASaveOverAFileGivesTheSameReasonAsANewOne)
{
    TestSupport::TSmallDisk disk;
    if (!disk.mounted)
        GTEST_SKIP() << "needs root to mount a tmpfs";
    const QString path = disk.dir.filePath("song.txt");
    ASSERT_TRUE(IniText::WriteFileAtomically(path, "old\n"));
    ASSERT_EQ(::system(("mount -o remount,ro " + disk.dir.path().toStdString()).c_str()), 0);
    QString overOld, asNew;
    EXPECT_FALSE(IniText::WriteFileAtomically(path, "new\n", &overOld));
    EXPECT_FALSE(IniText::WriteFileAtomically(disk.dir.filePath("other.txt"), "new\n", &asNew));
    EXPECT_EQ(overOld, asNew);
    EXPECT_FALSE(asNew.isEmpty());
    EXPECT_EQ(TestSupport::ReadFile(path), "old\n");
}

TEST(IniTemporaries, OnlyOldTemporariesOfOurFilesAreRemoved)
{
    QTemporaryDir dir;
    const QDateTime hourAgo = QDateTime::currentDateTimeUtc().addSecs(-3600);
    struct { const char *name; bool old; bool removed; } cases[] = {
        {"settings.ini.vxtmp-aB3xY9", true, true},
        {"settings.ini.vxtmp-aB3xY0", false, false}, // perhaps another copy saving right now
        {"settings.ini.vxtmp-aB3x", true, false},
        {"settings.ini.vxtmp-bak123", true, true},
        // The user's own copies, whatever their names look like.
        {"settings.ini.bak123", true, false},
        {"settings.ini.201905", true, false},
        {"settings.ini.Backup", true, false},
        {"settings.ini.aB3xY9", true, false},
        {"other.ini.vxtmp-aB3xY9", true, false},
        {"settings.ini", true, false},
    };
    for (const auto &c : cases) {
        QFile file(dir.filePath(c.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        if (c.old) {
            ASSERT_TRUE(file.setFileTime(hourAgo.toLocalTime(), QFileDevice::FileModificationTime));
        }
    }
    EXPECT_EQ(IniText::RemoveStaleTemporaries(dir.path(), {"settings.ini"}), 2);
    for (const auto &c : cases)
        EXPECT_EQ(QFileInfo::exists(dir.filePath(c.name)), !c.removed) << c.name;
}

} // namespace
