#include "app/core/DataFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

TEST(DataFolder, UsesTheProgramFolderWhenWritableElseTheUserDataFolder)
{
    QTemporaryDir root;
    const QString program = root.filePath("program");
    const QString data = root.filePath("data");
    QDir().mkpath(program);

    EXPECT_EQ(DataFolder::ChooseDataFolder(program, data, root.path()), program + "/");

    QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
    const bool rootUser = ::geteuid() == 0;
    const QString chosen = DataFolder::ChooseDataFolder(program, data, root.path());
    const QString fromHome = DataFolder::ChooseDataFolder(program, QString(), root.path());
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (rootUser)
        GTEST_SKIP() << "root may write into read-only folders";
    EXPECT_EQ(chosen, data + "/vexo-veltrasomin/");
    EXPECT_TRUE(QDir(data + "/vexo-veltrasomin").exists());
    EXPECT_EQ(fromHome, root.path() + "/.local/share/vexo-veltrasomin/");
}

TEST(DataFolder, MissingProgramFolderIsNotWritable)
{
    QTemporaryDir root;
    EXPECT_FALSE(DataFolder::IsWritableFolder(root.filePath("absent")));
    EXPECT_FALSE(DataFolder::IsWritableFolder(QString()));
    EXPECT_TRUE(DataFolder::IsWritableFolder(root.path()));
    EXPECT_EQ(DataFolder::ChooseDataFolder(root.filePath("absent"), root.filePath("xdg"), root.path()),
              root.filePath("xdg") + "/vexo-veltrasomin/");
}
