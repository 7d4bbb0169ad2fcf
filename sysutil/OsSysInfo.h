#pragma once
// Facts about the machine, gathered once and read-only afterwards.
#include <QString>
#include <QtGlobal>
#include <array>

// A loaded module (the executable or a shared library); 0 stands for the executable.
using TModuleHandle = quintptr;

// The module this library is linked into.
TModuleHandle HInstance();

quint32 ProcessorCount();
// Views of a mapping start at multiples of this; kept at the Windows value so that offsets
// come out the same everywhere.
quint32 AllocationGranularity();
quint32 PageSize();

enum TWindowsVersion {
    wvUnknown,
    wvWin95,
    wvWin95OSR2,
    wvWin98,
    wvWin98SE,
    wvWinME,
    wvWinNT31,
    wvWinNT35,
    wvWinNT351,
    wvWinNT4,
    wvWin2000,
    wvWinXP,
    wvWin2003,
    wvWinXP64,
    wvWin2003R2,
    wvWinVista,
    wvWinServer2008,
    wvWin7,
    wvWinServer2008R2,
};
inline constexpr int WindowsVersionCount = wvWinServer2008R2 + 1;

// What the classification looks at. On this system there is no Windows, so every value is 0.
struct TWindowsVersionFacts
{
    quint32 PlatformId = 0; // 1: Windows 9x, 2: NT
    quint32 MajorVersion = 0;
    quint32 MinorVersion = 0;
    QString ServicePack;
    quint32 KernelVersion = 0; // product version (high word major, low word minor) of the kernel
    bool ServerR2 = false;
    quint16 NativeArchitecture = 0; // 0: x86
    quint8 ProductType = 0;         // 1: workstation
};

TWindowsVersion DetectWindowsVersion(const TWindowsVersionFacts &facts);

// One flag per version; the early NT versions also raise the flags of their family.
struct TWindowsVersionFlags
{
    std::array<bool, WindowsVersionCount> Version{};
    bool WinNT3 = false;
};
TWindowsVersionFlags WindowsVersionFlags(TWindowsVersion version);

bool IsWinNT();
quint32 KernelVersion();
TWindowsVersion WindowsVersion();
const TWindowsVersionFlags &WindowsVersionFlagsOfSystem();

struct TSystemInfo
{
    quint16 ProcessorArchitecture = 0;
    quint32 PageSize = 0;
    quint32 NumberOfProcessors = 0;
    quint32 AllocationGranularity = 0;
};
// Fills Info with this machine's figures; true when they are the native ones (always here).
bool ReadNativeSystemInfo(TSystemInfo &Info);

// Leaves a multiple of the allocation granularity alone, else rounds down, or up when Up.
void AlignToAllocationGranularity(qint64 &Value, bool Up);

// The file a module was loaded from; empty when the handle names no module.
QString ModulePathOf(TModuleHandle Module);

// The 52-byte fixed part of a version resource.
struct TVSFixedFileInfo
{
    quint32 dwSignature = 0;
    quint32 dwStrucVersion = 0;
    quint32 dwFileVersionMS = 0;
    quint32 dwFileVersionLS = 0;
    quint32 dwProductVersionMS = 0;
    quint32 dwProductVersionLS = 0;
    quint32 dwFileFlagsMask = 0;
    quint32 dwFileFlags = 0;
    quint32 dwFileOS = 0;
    quint32 dwFileType = 0;
    quint32 dwFileSubtype = 0;
    quint32 dwFileDateMS = 0;
    quint32 dwFileDateLS = 0;
};
static_assert(sizeof(TVSFixedFileInfo) == 52);

// Only this program's own executable carries version information: the project's version.
bool ReadFixedVersionInfo(const QString &FileName, TVSFixedFileInfo &Info);
// The version info built from a dotted version text "a.b.c.d"; false when it is not one.
bool FixedVersionInfoFromText(const QString &version, TVSFixedFileInfo &Info);
