#pragma once
// The process's catalogue of unit version records, grouped by the module they belong to.
#include "sysutil/OsSysInfo.h"

#include <QString>
#include <memory>
#include <vector>

struct TUnitVersionInfo
{
    QString RCSfile;
    QString Revision;
    QString Date;
    QString LogPath;
    QString Extra;
    void *Data = nullptr;
};
using PUnitVersionInfo = const TUnitVersionInfo *;

// A view of one record; the catalogue never copies records.
class TUnitVersion
{
public:
    explicit TUnitVersion(PUnitVersionInfo Info) : FInfo(Info) {}
    PUnitVersionInfo Info() const { return FInfo; }
    QString RCSfile() const { return FInfo->RCSfile; }
    QString Revision() const { return FInfo->Revision; }
    QString Date() const { return FInfo->Date; }
    QString LogPath() const { return FInfo->LogPath; }
    QString Extra() const { return FInfo->Extra; }
    void *Data() const { return FInfo->Data; }

private:
    PUnitVersionInfo FInfo;
};

class TUnitVersioningModule
{
public:
    explicit TUnitVersioningModule(TModuleHandle AInstance) : FInstance(AInstance) {}
    TModuleHandle Instance() const { return FInstance; }
    int Count() const { return int(FItems.size()); }
    TUnitVersion *Items(int Index) const { return FItems.at(size_t(Index)).get(); }
    void Add(PUnitVersionInfo Info);
    // -1 when the record (by address) is not there.
    int IndexOfInfo(PUnitVersionInfo Info) const;

private:
    TModuleHandle FInstance;
    std::vector<std::unique_ptr<TUnitVersion>> FItems;
};

class TCustomUnitVersioningProvider
{
public:
    virtual ~TCustomUnitVersioningProvider() = default;
    virtual void LoadModuleUnitVersioningInfo(TModuleHandle) {}
    virtual void ReleaseModuleUnitVersioningInfo(TModuleHandle) {}
};

class TUnitVersioning
{
public:
    virtual ~TUnitVersioning() = default;
    virtual void Add(TModuleHandle Instance, PUnitVersionInfo Info);
    virtual void UnregisterModule(TModuleHandle Instance);

    int ModuleCount() const { return int(FModules.size()); }
    TUnitVersioningModule *Modules(int Index) const { return FModules.at(size_t(Index)).get(); }
    void RegisterProvider(std::unique_ptr<TCustomUnitVersioningProvider> Provider);
    // Drops the entries of modules that are no longer loaded.
    void ValidateModules();

private:
    // Declared in this order so that the providers go first when the catalogue is freed.
    std::vector<std::unique_ptr<TUnitVersioningModule>> FModules;
    std::vector<std::unique_ptr<TCustomUnitVersioningProvider>> FProviders;
};

// The process's catalogue; nullptr once it has been finalized.
TUnitVersioning *ProcessUnitVersioning();
void EnterUnitVersionRecord(TModuleHandle Instance, PUnitVersionInfo Info);
void RemoveModuleUnitVersionRecords(TModuleHandle Instance);
// Frees the catalogue for good: later lookups give nullptr and entries change nothing.
void FinalizeUnitVersioning();

// One utility unit: its name and its version record.
struct TUtilityUnit
{
    QString Name;
    TUnitVersionInfo Info;
};
// The utility units in start-up order.
const std::vector<TUtilityUnit> &UtilityUnits();
// Start-up and end of the utility units. Calls nest: only the first start-up does the work,
// and only the end that matches it.
void InitializeUtilityUnits();
void FinalizeUtilityUnits();
