#include "sysutil/OsBase.h"
#include "sysutil/OsResources.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

TEST(OsBase, Win32ErrorPutsSystemTextThenMessageVerbatim)
{
    const QString system = QString::fromLocal8Bit(std::strerror(EACCES));
    struct
    {
        QString resource;
        QString expected;
    } cases[] = {
        {QString::fromLatin1(RsOsCreateEvent),
         "Win32: " + system + " (13)\r\nFailed to create event"},
        {"100% full, %s %d %1", "Win32: " + system + " (13)\r\n100% full, %s %d %1"},
        {"", "Win32: " + system + " (13)\r\n"},
    };
    for (const auto &c : cases) {
        const EOsEventError e(EACCES, c.resource);
        EXPECT_EQ(e.Message(), c.expected);
        EXPECT_EQ(e.LastError(), 13u);
        EXPECT_EQ(e.LastErrorMsg(), system);
    }
}

TEST(OsBase, Win32ErrorTakesErrnoAtTheCall)
{
    errno = ENOENT;
    try {
        throw EOsMutexError(QString::fromLatin1(RsOsCreateMutex));
    } catch (const EOsWin32Error &e) {
        EXPECT_EQ(e.LastError(), quint32(ENOENT));
        EXPECT_TRUE(e.Message().endsWith("(2)\r\nFailed to create mutex")) << e.what();
    }
}

TEST(OsBase, ErrorsKeepNonLatinTexts)
{
    const QString text = QString::fromUtf8("Имя \"x\"");
    EXPECT_EQ(ESharedMemError(text).Message(), text);
}

TEST(OsBase, MoveCharsCopiesInsideBothTexts)
{
    struct
    {
        QString source;
        qsizetype from;
        QString dest;
        qsizetype to;
        qsizetype count;
        QString expected;
    } cases[] = {
        {"abcdef", 1, "012345", 2, 3, "01bcd5"},
        {"abcdef", 4, "012345", 0, 5, "ef2345"}, // source runs out
        {"abcdef", 0, "012345", 4, 5, "0123ab"}, // destination runs out
        {"abcdef", 6, "012345", 0, 1, "012345"},
        {"abcdef", -1, "012345", 0, 1, "012345"},
        {"abcdef", 0, "012345", 0, 0, "012345"},
    };
    for (const auto &c : cases) {
        QString dest = c.dest;
        const QString shared = dest; // must stay untouched
        MoveCharsBetweenTexts(c.source, c.from, dest, c.to, c.count);
        EXPECT_EQ(dest, c.expected) << c.source.toStdString() << " " << c.from;
        EXPECT_EQ(shared, c.dest);
    }
}

TEST(OsBase, Int64SplitsIntoHalvesAndJoinsBack)
{
    struct
    {
        qint64 value;
        quint32 low;
        quint32 high;
    } cases[] = {
        {0, 0, 0},
        {0x123456789ABCDEF0LL, 0x9ABCDEF0u, 0x12345678u},
        {-1, 0xFFFFFFFFu, 0xFFFFFFFFu},
        {-4294967296LL, 0, 0xFFFFFFFFu},
    };
    for (const auto &c : cases) {
        quint32 low = 1, high = 1;
        SplitInt64(c.value, low, high);
        EXPECT_EQ(low, c.low);
        EXPECT_EQ(high, c.high);
        EXPECT_EQ(JoinInt64(c.low, c.high), c.value);
    }
}

TEST(OsBase, AnsiReplacementIsQuestionMark)
{
    EXPECT_EQ(AnsiReplacementChar(), '?');
}
