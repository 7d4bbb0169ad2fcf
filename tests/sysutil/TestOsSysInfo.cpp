#include "sysutil/OsSysInfo.h"

#include "VxVersion.h"

#include <QFileInfo>
#include <gtest/gtest.h>

TEST(OsSysInfo, AlignsToGranularity)
{
    struct
    {
        qint64 value;
        bool up;
        qint64 expected;
    } cases[] = {
        {0, false, 0},
        {0, true, 0},
        {65536, true, 65536},
        {65537, false, 65536},
        {65537, true, 131072},
        {70000, false, 65536},
        {70000, true, 131072},
        {1, false, 0},
        {0x7FFFFFFFFFFFFFFFLL, true, 0x7FFFFFFFFFFF0000LL},
    };
    ASSERT_EQ(AllocationGranularity(), 65536u);
    for (const auto &c : cases) {
        qint64 value = c.value;
        AlignToAllocationGranularity(value, c.up);
        EXPECT_EQ(value, c.expected) << c.value << (c.up ? " up" : " down");
    }
}

TEST(OsSysInfo, MachineFiguresAreSensible)
{
    EXPECT_GE(ProcessorCount(), 1u);
    EXPECT_GE(PageSize(), 4096u);
    EXPECT_EQ(PageSize() & (PageSize() - 1), 0u);
    TSystemInfo info;
    EXPECT_TRUE(ReadNativeSystemInfo(info));
    EXPECT_EQ(info.AllocationGranularity, 65536u);
    EXPECT_EQ(info.NumberOfProcessors, ProcessorCount());
}

TEST(OsSysInfo, ClassifiesWindowsVersions)
{
    struct
    {
        TWindowsVersionFacts facts;
        TWindowsVersion expected;
    } cases[] = {
        {{}, wvUnknown},
        {{1, 4, 0, " C ", 0, false, 0, 0}, wvWin95OSR2},
        {{1, 4, 0, "A", 0, false, 0, 0}, wvWin95},
        {{1, 4, 10, "A", 0, false, 0, 0}, wvWin98SE},
        {{1, 4, 10, "", 0, false, 0, 0}, wvWin98},
        {{1, 4, 10, "A", 0x0004005A, false, 0, 0}, wvWinME},
        {{1, 4, 90, "", 0, false, 0, 0}, wvWinME},
        {{2, 3, 51, "", 0, false, 0, 0}, wvWinNT351},
        {{2, 3, 2, "", 0, false, 0, 0}, wvUnknown},
        {{2, 4, 0, "", 0, false, 0, 0}, wvWinNT4},
        {{2, 5, 2, "", 0, true, 9, 1}, wvWin2003R2},
        {{2, 5, 2, "", 0, false, 0, 1}, wvWin2003},
        {{2, 5, 2, "", 0, false, 9, 1}, wvWinXP64},
        {{2, 5, 2, "", 0, false, 9, 3}, wvWin2003},
        {{2, 6, 0, "", 0, false, 9, 1}, wvWinVista},
        {{2, 6, 1, "", 0, false, 9, 3}, wvWinServer2008R2},
        {{2, 10, 0, "", 0, false, 9, 1}, wvUnknown},
    };
    for (const auto &c : cases)
        EXPECT_EQ(DetectWindowsVersion(c.facts), c.expected) << int(c.expected);
    EXPECT_EQ(WindowsVersion(), wvUnknown);
}

TEST(OsSysInfo, EarlyNTVersionsRaiseTheirFamilyFlags)
{
    const TWindowsVersionFlags nt351 = WindowsVersionFlags(wvWinNT351);
    EXPECT_TRUE(nt351.WinNT3 && nt351.Version[wvWinNT35] && nt351.Version[wvWinNT351]);
    EXPECT_FALSE(nt351.Version[wvWinNT31]);
    const TWindowsVersionFlags xp = WindowsVersionFlags(wvWinXP);
    EXPECT_FALSE(xp.WinNT3);
    EXPECT_EQ(std::count(xp.Version.begin(), xp.Version.end(), true), 1);
}

TEST(OsSysInfo, ModulePathIsTheRunningExecutable)
{
    const QString path = ModulePathOf(0);
    EXPECT_TRUE(QFileInfo(path).isAbsolute() && path.endsWith("TestOsSysInfo"))
        << path.toStdString();
    EXPECT_EQ(ModulePathOf(HInstance()), path);
    EXPECT_EQ(ModulePathOf(1), QString());
}

TEST(OsSysInfo, FixedVersionComesFromTheProjectVersion)
{
    TVSFixedFileInfo info;
    ASSERT_TRUE(FixedVersionInfoFromText("1.4.5.593", info));
    EXPECT_EQ(info.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info.dwFileVersionMS, 0x00010004u);
    EXPECT_EQ(info.dwFileVersionLS, 0x00050251u);
    EXPECT_FALSE(FixedVersionInfoFromText("1.x", info));
    EXPECT_FALSE(FixedVersionInfoFromText("1.2.3.4.5", info));
    EXPECT_FALSE(FixedVersionInfoFromText("70000.1", info));

    TVSFixedFileInfo own;
    ASSERT_TRUE(ReadFixedVersionInfo(ModulePathOf(0), own));
    TVSFixedFileInfo expected;
    FixedVersionInfoFromText(VX_FILE_VERSION, expected);
    EXPECT_EQ(own.dwFileVersionLS, expected.dwFileVersionLS);
    EXPECT_FALSE(ReadFixedVersionInfo("/bin/sh", own));
}
