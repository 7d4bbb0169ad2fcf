#include "sysutil/OsUnitVersioning.h"

#include "OsUnitRecords.h"
#include "sysutil/OsBase.h"
#include "sysutil/OsStrings.h"

#include <algorithm>
#include <mutex>

void TUnitVersioningModule::Add(PUnitVersionInfo Info)
{
    FItems.push_back(std::make_unique<TUnitVersion>(Info));
}

int TUnitVersioningModule::IndexOfInfo(PUnitVersionInfo Info) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i]->Info() == Info)
            return int(i);
    return -1;
}

void TUnitVersioning::Add(TModuleHandle Instance, PUnitVersionInfo Info)
{
    for (const auto &module : FModules) {
        if (module->Instance() == Instance) {
            if (module->IndexOfInfo(Info) < 0)
                module->Add(Info);
            return;
        }
    }
    FModules.push_back(std::make_unique<TUnitVersioningModule>(Instance));
    FModules.back()->Add(Info);
}

void TUnitVersioning::UnregisterModule(TModuleHandle Instance)
{
    for (auto it = FModules.rbegin(); it != FModules.rend(); ++it) {
        if ((*it)->Instance() == Instance) {
            FModules.erase(std::next(it).base());
            break;
        }
    }
    for (const auto &provider : FProviders)
        provider->ReleaseModuleUnitVersioningInfo(Instance);
}

void TUnitVersioning::RegisterProvider(std::unique_ptr<TCustomUnitVersioningProvider> Provider)
{
    FProviders.push_back(std::move(Provider));
}

void TUnitVersioning::ValidateModules()
{
    for (size_t i = FModules.size(); i-- > 0;)
        if (ModulePathOf(FModules[i]->Instance()).isEmpty())
            FModules.erase(FModules.begin() + std::ptrdiff_t(i));
}

namespace {

// The catalogue lives in the process, created on first use, so that start-up order never
// matters and nothing outlives the process.
struct TProcessCatalogue
{
    std::mutex Lock;
    std::unique_ptr<TUnitVersioning> Registry;
    bool Finalized = false;
};

TProcessCatalogue &Catalogue()
{
    static TProcessCatalogue catalogue;
    return catalogue;
}

TUnitVersioning *RegistryLocked(TProcessCatalogue &catalogue)
{
    if (catalogue.Finalized)
        return nullptr;
    if (!catalogue.Registry)
        catalogue.Registry = std::make_unique<TUnitVersioning>();
    return catalogue.Registry.get();
}

} // namespace

TUnitVersioning *ProcessUnitVersioning()
{
    TProcessCatalogue &catalogue = Catalogue();
    std::lock_guard guard(catalogue.Lock);
    return RegistryLocked(catalogue);
}

void EnterUnitVersionRecord(TModuleHandle Instance, PUnitVersionInfo Info)
{
    TProcessCatalogue &catalogue = Catalogue();
    std::lock_guard guard(catalogue.Lock);
    if (TUnitVersioning *registry = RegistryLocked(catalogue))
        registry->Add(Instance, Info);
}

void RemoveModuleUnitVersionRecords(TModuleHandle Instance)
{
    TProcessCatalogue &catalogue = Catalogue();
    std::lock_guard guard(catalogue.Lock);
    if (TUnitVersioning *registry = RegistryLocked(catalogue))
        registry->UnregisterModule(Instance);
}

void FinalizeUnitVersioning()
{
    TProcessCatalogue &catalogue = Catalogue();
    std::lock_guard guard(catalogue.Lock);
    catalogue.Finalized = true;
    try {
        catalogue.Registry.reset();
    } catch (...) {
        // The process is ending; a failing provider must not stop it.
    }
}

const std::vector<TUtilityUnit> &UtilityUnits()
{
    static const std::vector<TUtilityUnit> units = [] {
        std::vector<TUtilityUnit> list;
        for (const TUtilityUnitRecord &record : UtilityUnitRecords) {
            TUnitVersionInfo info;
            info.RCSfile = QString::fromLatin1(record.RCSfile);
            info.Revision = QString::fromLatin1(record.Revision);
            info.Date = QString::fromLatin1(record.Date);
            info.LogPath = QString::fromLatin1(record.LogPath);
            list.push_back({QString::fromLatin1(record.Name), info});
        }
        return list;
    }();
    return units;
}

namespace {

int &UtilityUnitsNesting()
{
    static int nesting = 0;
    return nesting;
}

// The work some units do before entering their record. The 64K-character Unicode tables are built
// at their first use instead: filling them took longer than the rest of the start-up's logic.
void StartUnit(const QString &name)
{
    if (name == QLatin1String("OsAnsiStrings") || name == QLatin1String("OsStrings"))
        AnsiCharTypes();
    else if (name == QLatin1String("OsSysInfo"))
        WindowsVersionFlagsOfSystem();
    else if (name == QLatin1String("OsBase"))
        AnsiReplacementChar();
}

} // namespace

void InitializeUtilityUnits()
{
    if (UtilityUnitsNesting()++ != 0)
        return;
    for (const TUtilityUnit &unit : UtilityUnits()) {
        StartUnit(unit.Name);
        EnterUnitVersionRecord(HInstance(), &unit.Info);
    }
}

void FinalizeUtilityUnits()
{
    if (UtilityUnitsNesting() == 0 || --UtilityUnitsNesting() != 0)
        return;
    const std::vector<TUtilityUnit> &units = UtilityUnits();
    for (auto it = units.rbegin(); it != units.rend(); ++it) {
        // The first unit to end takes the whole module entry with it; the others find none.
        RemoveModuleUnitVersionRecords(HInstance());
        if (it->Name == QLatin1String("OsUnitVersioning"))
            FinalizeUnitVersioning();
    }
}
