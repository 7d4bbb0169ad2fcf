#include "sysutil/OsSysInfo.h"

#include "VxVersion.h"

#include <QFileInfo>
#include <QStringList>

#include <dlfcn.h>
#include <limits>
#include <unistd.h>

TModuleHandle HInstance()
{
    static const TModuleHandle handle = [] {
        Dl_info info{};
        if (dladdr(reinterpret_cast<const void *>(&HInstance), &info) == 0)
            return TModuleHandle(0);
        return TModuleHandle(info.dli_fbase);
    }();
    return handle;
}

quint32 ProcessorCount()
{
    static const quint32 count = [] {
        const long n = sysconf(_SC_NPROCESSORS_ONLN);
        return n < 1 ? 1u : quint32(n);
    }();
    return count;
}

quint32 AllocationGranularity()
{
    return 65536;
}

quint32 PageSize()
{
    static const quint32 size = [] {
        const long n = sysconf(_SC_PAGESIZE);
        return n < 1 ? 4096u : quint32(n);
    }();
    return size;
}

TWindowsVersion DetectWindowsVersion(const TWindowsVersionFacts &facts)
{
    const QString servicePack = facts.ServicePack.trimmed();
    if (facts.PlatformId == 1) {
        if (facts.MinorVersion < 10)
            return servicePack == QLatin1String("B") || servicePack == QLatin1String("C")
                       ? wvWin95OSR2
                       : wvWin95;
        if (facts.MinorVersion < 90) {
            if (facts.KernelVersion == 0x0004005A)
                return wvWinME;
            return servicePack == QLatin1String("A") || servicePack == QLatin1String("B")
                       ? wvWin98SE
                       : wvWin98;
        }
        return facts.MinorVersion == 90 ? wvWinME : wvUnknown;
    }
    if (facts.PlatformId != 2)
        return wvUnknown;
    const bool workstation = facts.ProductType == 1;
    switch (facts.MajorVersion) {
    case 3:
        switch (facts.MinorVersion) {
        case 1: return wvWinNT31;
        case 5: return wvWinNT35;
        case 51: return wvWinNT351;
        default: return wvUnknown;
        }
    case 4:
        return wvWinNT4;
    case 5:
        switch (facts.MinorVersion) {
        case 0: return wvWin2000;
        case 1: return wvWinXP;
        case 2:
            if (facts.ServerR2)
                return wvWin2003R2;
            if (facts.NativeArchitecture == 0)
                return wvWin2003;
            return workstation ? wvWinXP64 : wvWin2003;
        default: return wvUnknown;
        }
    case 6:
        switch (facts.MinorVersion) {
        case 0: return workstation ? wvWinVista : wvWinServer2008;
        case 1: return workstation ? wvWin7 : wvWinServer2008R2;
        default: return wvUnknown;
        }
    default:
        return wvUnknown;
    }
}

TWindowsVersionFlags WindowsVersionFlags(TWindowsVersion version)
{
    TWindowsVersionFlags flags;
    flags.Version[version] = true;
    switch (version) {
    case wvWinNT31:
        flags.WinNT3 = true;
        break;
    case wvWinNT35:
        flags.WinNT3 = true;
        break;
    case wvWinNT351:
        flags.WinNT3 = true;
        flags.Version[wvWinNT35] = true;
        break;
    default:
        break;
    }
    return flags;
}

bool IsWinNT()
{
    // The rules of the NT family (names, security) are the ones that fit this system.
    return true;
}

quint32 KernelVersion()
{
    return 0; // read only on the 9x family
}

TWindowsVersion WindowsVersion()
{
    static const TWindowsVersion version = DetectWindowsVersion(TWindowsVersionFacts{});
    return version;
}

const TWindowsVersionFlags &WindowsVersionFlagsOfSystem()
{
    static const TWindowsVersionFlags flags = WindowsVersionFlags(WindowsVersion());
    return flags;
}

bool ReadNativeSystemInfo(TSystemInfo &Info)
{
    Info = TSystemInfo{};
#if defined(__x86_64__)
    Info.ProcessorArchitecture = 9;
#elif defined(__aarch64__)
    Info.ProcessorArchitecture = 12;
#elif defined(__i386__)
    Info.ProcessorArchitecture = 0;
#else
    Info.ProcessorArchitecture = 0xFFFF;
#endif
    Info.PageSize = PageSize();
    Info.NumberOfProcessors = ProcessorCount();
    Info.AllocationGranularity = AllocationGranularity();
    return true;
}

void AlignToAllocationGranularity(qint64 &Value, bool Up)
{
    const qint64 granularity = AllocationGranularity();
    if (Value % granularity == 0)
        return;
    qint64 blocks = Value / granularity;
    // Rounding up past the largest multiple would overflow; that offset can never be mapped.
    if (Up && blocks < std::numeric_limits<qint64>::max() / granularity)
        ++blocks;
    Value = blocks * granularity;
}

QString ModulePathOf(TModuleHandle Module)
{
    if (Module == 0 || Module == HInstance()) {
        const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
        if (Module == 0 || !exe.isEmpty())
            return exe;
    }
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void *>(Module), &info) == 0 || info.dli_fname == nullptr
        || TModuleHandle(info.dli_fbase) != Module)
        return QString();
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
}

bool FixedVersionInfoFromText(const QString &version, TVSFixedFileInfo &Info)
{
    const QStringList parts = version.split(QLatin1Char('.'));
    if (parts.size() > 4 || parts.isEmpty())
        return false;
    quint32 numbers[4] = {};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool ok = false;
        const uint n = parts[i].toUInt(&ok);
        if (!ok || n > 0xFFFF)
            return false;
        numbers[i] = n;
    }
    Info = TVSFixedFileInfo{};
    Info.dwSignature = 0xFEEF04BD;
    Info.dwStrucVersion = 0x00010000;
    Info.dwFileVersionMS = numbers[0] << 16 | numbers[1];
    Info.dwFileVersionLS = numbers[2] << 16 | numbers[3];
    Info.dwProductVersionMS = Info.dwFileVersionMS;
    Info.dwProductVersionLS = Info.dwFileVersionLS;
    Info.dwFileFlagsMask = 0x3F;
    Info.dwFileOS = 0x00040004; // VOS_NT_WINDOWS32
    Info.dwFileType = 1;        // VFT_APP
    return true;
}

bool ReadFixedVersionInfo(const QString &FileName, TVSFixedFileInfo &Info)
{
    const QString own = ModulePathOf(0);
    if (own.isEmpty()
        || QFileInfo(FileName).canonicalFilePath() != QFileInfo(own).canonicalFilePath())
        return false;
    return FixedVersionInfoFromText(QString::fromLatin1(VX_FILE_VERSION), Info);
}
