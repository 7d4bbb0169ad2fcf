// The committed chord base is the generator's output, byte for byte.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString Generator = QStringLiteral(VX_BINARY_DIR "/tools/chordgen/chordgen");
const QString CommittedBase = QStringLiteral(VX_SOURCE_DIR "/resources/veltrasomin_chords.ini");

struct TRun
{
    int exitCode = -1;
    QByteArray errors;
};

TRun RunGenerator(const QStringList &arguments)
{
    QProcess process;
    process.start(Generator, arguments);
    TRun run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.errors = process.readAllStandardError();
    return run;
}

QByteArray ReadAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(ChordGenerator, WritesExactlyTheCommittedBase)
{
    ASSERT_TRUE(QFileInfo::exists(Generator)) << "build the chordgen target first";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString output = dir.filePath(QStringLiteral("veltrasomin_chords.ini"));
    const TRun run = RunGenerator({output});
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.isEmpty()) << run.errors.toStdString();

    const QByteArray generated = ReadAll(output);
    const QByteArray committed = ReadAll(CommittedBase);
    ASSERT_FALSE(committed.isEmpty());
    if (generated != committed) {
        qsizetype at = 0;
        while (at < generated.size() && at < committed.size() && generated[at] == committed[at])
            ++at;
        FAIL() << "the committed base differs from the generator's output at byte " << at
               << "; regenerate it with: chordgen resources/veltrasomin_chords.ini";
    }
}

TEST(ChordGenerator, RefusesBadArgumentsWithoutWriting)
{
    ASSERT_TRUE(QFileInfo::exists(Generator));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    const TRun noArguments = RunGenerator({});
    EXPECT_EQ(noArguments.exitCode, 2);
    EXPECT_TRUE(noArguments.errors.contains("usage"));

    const QString unreachable = dir.filePath(QStringLiteral("missing/folder/base.ini"));
    const TRun unwritable = RunGenerator({unreachable});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.errors.contains("cannot write"));
    EXPECT_FALSE(QFileInfo::exists(unreachable));
}
