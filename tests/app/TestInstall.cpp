// The program as a packager installs it: into a prefix, or into a staging folder for a package.
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Install, PutsTheProgramIntoThePrefixsBinFolder)
{
    QTemporaryDir root;
    const QString prefix = root.filePath("Программы гитариста");
    const struct {
        QString prefix;
        QString destDir; // empty: none
        QString expected;
    } cases[] = {
        {prefix, QString(), prefix + "/bin/veltrasomin"},
        {"/usr", root.filePath("stage"), root.filePath("stage/usr/bin/veltrasomin")},
    };
    for (const auto &c : cases) {
        QProcess install;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!c.destDir.isEmpty())
            environment.insert("DESTDIR", c.destDir);
        install.setProcessEnvironment(environment);
        // The component's own list of installed files, so a packager's install_manifest.txt stays.
        install.start("cmake", {"--install", VX_BINARY_DIR, "--prefix", c.prefix, "--component", "Unspecified"});
        ASSERT_TRUE(install.waitForFinished(120000));
        EXPECT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
        const QFileInfo program(c.expected);
        EXPECT_TRUE(program.isFile() && program.isExecutable()) << c.expected.toStdString();
    }
}
