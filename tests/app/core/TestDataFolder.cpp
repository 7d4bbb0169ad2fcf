#include "app/core/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

TEST(DataFolder, UsesTheProgramFolderWhenWritableElseTheUserDataFolder)
{
    QTemporaryDir root;
    const QString program = root.filePath("program");
    const QString data = root.filePath("data");
    QDir().mkpath(program);
    const auto readOnly = [](const QString &) { return false; };

    EXPECT_EQ(DataFolder::ChooseDataFolder(program, data, root.path()), program + "/");
    EXPECT_EQ(DataFolder::ChooseDataFolder(program + "/", data, root.path()), program + "/");

    EXPECT_EQ(DataFolder::ChooseDataFolder(program, data, root.path(), readOnly), data + "/vexo-veltrasomin/");
    EXPECT_TRUE(QDir(data + "/vexo-veltrasomin").exists()) << "created on first start";
    EXPECT_EQ(DataFolder::ChooseDataFolder(program, QString(), root.path(), readOnly),
              root.path() + "/.local/share/vexo-veltrasomin/");
    EXPECT_TRUE(QDir(root.path() + "/.local/share/vexo-veltrasomin").exists());
    // A relative one would move the files with the folder the program is started from.
    EXPECT_EQ(DataFolder::ChooseDataFolder(program, "relative/data", root.path(), readOnly),
              root.path() + "/.local/share/vexo-veltrasomin/");
}

TEST(DataFolder, TellsWritableFolders)
{
    QTemporaryDir root;
    EXPECT_FALSE(DataFolder::IsWritableFolder(root.filePath("absent")));
    EXPECT_FALSE(DataFolder::IsWritableFolder(QString()));
    EXPECT_TRUE(DataFolder::IsWritableFolder(root.path()));
    EXPECT_EQ(DataFolder::ChooseDataFolder(root.filePath("absent"), root.filePath("xdg"), root.path()),
              root.filePath("xdg") + "/vexo-veltrasomin/");

    QFile::setPermissions(root.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool writable = DataFolder::IsWritableFolder(root.path());
    QFile::setPermissions(root.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // Root may write anywhere, and so may keep its files beside the program.
    EXPECT_EQ(writable, ::geteuid() == 0);
}

TEST(DataFolder, WithoutAHomeVariableTheUsersOwnHomeIsUsed)
{
    const QByteArray saved = qgetenv("HOME");
    const QString own = QFile::decodeName(::getpwuid(::getuid())->pw_dir);
    const struct {
        const char *home; // nullptr: not set at all
        QString expected;
    } cases[] = {
        {nullptr, own},
        {"", own},
        {"relative/home", own},
        {"/home/guitarist", "/home/guitarist"},
    };
    for (const auto &c : cases) {
        if (c.home)
            qputenv("HOME", c.home);
        else
            qunsetenv("HOME");
        EXPECT_EQ(DataFolder::UserHome(), c.expected) << (c.home ? c.home : "(unset)");
    }
    qputenv("HOME", saved);
}

TEST(DataFolder, AnInstalledProgramKeepsItsFilesInTheUsersDataFolderEvenWhereItMayWrite)
{
    QTemporaryDir root;
    const QString data = root.filePath("data");
    const QString own = data + "/vexo-veltrasomin/";
    QDir().mkpath(root.filePath("used/bin"));
    QFile(root.filePath("used/bin/user_chords.ini")).open(QIODevice::WriteOnly);
    const auto writable = [](const QString &) { return true; };
    const struct {
        QString program;
        QString expected;
    } cases[] = {
        {"/usr/local/bin", own},
        {"/usr/games", own},
        {"/opt/vexo", own},
        {root.filePath("staging/usr/bin"), own},
        {root.filePath("Программы гитариста/bin/"), own},
        {root.filePath("portable"), root.filePath("portable") + "/"},
        {root.filePath("used/bin"), root.filePath("used/bin") + "/"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DataFolder::ChooseDataFolder(c.program, data, root.path(), writable).toStdString(),
                  c.expected.toStdString())
            << c.program.toStdString();
}
