#include "sysutil/OsUnitVersioning.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

struct TRecordingProvider : TCustomUnitVersioningProvider
{
    explicit TRecordingProvider(std::vector<TModuleHandle> &released) : Released(released) {}
    void ReleaseModuleUnitVersioningInfo(TModuleHandle instance) override
    {
        Released.push_back(instance);
    }
    std::vector<TModuleHandle> &Released;
};

} // namespace

TEST(OsUnitVersioning, KeepsOneEntryPerRecordAndModule)
{
    TUnitVersionInfo a, b;
    TUnitVersioning registry;
    registry.Add(1, &a);
    registry.Add(1, &a);
    registry.Add(1, &b);
    registry.Add(2, &a);
    ASSERT_EQ(registry.ModuleCount(), 2);
    EXPECT_EQ(registry.Modules(0)->Count(), 2);
    EXPECT_EQ(registry.Modules(0)->IndexOfInfo(&b), 1);
    EXPECT_EQ(registry.Modules(1)->IndexOfInfo(&b), -1);
    EXPECT_EQ(registry.Modules(1)->Items(0)->Info(), &a);
}

TEST(OsUnitVersioning, UnregisteringCallsEveryProviderEvenForUnknownModules)
{
    std::vector<TModuleHandle> released;
    TUnitVersionInfo a;
    TUnitVersioning registry;
    registry.RegisterProvider(std::make_unique<TRecordingProvider>(released));
    registry.RegisterProvider(std::make_unique<TRecordingProvider>(released));
    registry.Add(1, &a);
    registry.UnregisterModule(7);
    EXPECT_EQ(registry.ModuleCount(), 1);
    registry.UnregisterModule(1);
    EXPECT_EQ(registry.ModuleCount(), 0);
    EXPECT_EQ(released, (std::vector<TModuleHandle>{7, 7, 1, 1}));
}

TEST(OsUnitVersioning, DropsModulesThatAreGone)
{
    TUnitVersionInfo a;
    TUnitVersioning registry;
    registry.Add(HInstance(), &a);
    registry.Add(1, &a);
    registry.ValidateModules();
    ASSERT_EQ(registry.ModuleCount(), 1);
    EXPECT_EQ(registry.Modules(0)->Instance(), HInstance());
}

TEST(OsUnitVersioning, UtilityUnitsCarryTheirRecords)
{
    const std::vector<TUtilityUnit> &units = UtilityUnits();
    ASSERT_EQ(units.size(), 27u);
    struct
    {
        size_t index;
        const char *name;
        const char *revision;
        const char *logPath;
    } cases[] = {
        {0, "OsResources", "$Revision: 132 $", "OS\\source\\common"},
        {7, "OsRegistry", "$Revision: 122 $", "OS\\source\\windows"},
        {9, "OsShell", "$Revision: 126 $", "OS\\source\\windows"},
        {10, "OsFileUtils", "$Revision: 133 $", "OS\\source\\common"},
        {13, "OsCharsets", "$Revision: 2892 $", "OS\\source\\common"},
        {22, "OsUnitVersioning", "$Revision: 122 $", "OS\\source\\common"},
        {26, "OsAppInst", "$Revision: 132 $", "OS\\source\\windows"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(units[c.index].Name, c.name);
        EXPECT_EQ(units[c.index].Info.Revision, c.revision);
        EXPECT_EQ(units[c.index].Info.LogPath, c.logPath);
    }
    for (const TUtilityUnit &unit : units) {
        EXPECT_TRUE(unit.Info.RCSfile.startsWith("$URL: ") && unit.Info.RCSfile.endsWith(
                        unit.Name + ".pas $")) << unit.Info.RCSfile.toStdString();
        EXPECT_TRUE(QRegularExpression(R"(^\$Date: \d{4}-\d\d-\d\d \d\d:\d\d:\d\d \+0000 \$$)")
                        .match(unit.Info.Date).hasMatch()) << unit.Info.Date.toStdString();
        EXPECT_TRUE(unit.Info.Extra.isEmpty() && unit.Info.Data == nullptr);
    }
}

// Each start-up and end runs in a child process: finalization is for good.
TEST(OsUnitVersioningDeathTest, StartUpEntersEveryRecordAndEndRemovesThem)
{
    EXPECT_EXIT(
        {
            InitializeUtilityUnits();
            InitializeUtilityUnits();
            TUnitVersioning *registry = ProcessUnitVersioning();
            const bool entered = registry && registry->ModuleCount() == 1
                                 && registry->Modules(0)->Count() == 27
                                 && registry->Modules(0)->Instance() == HInstance();
            FinalizeUtilityUnits(); // nested: nothing happens yet
            const bool kept = ProcessUnitVersioning() == registry && registry->ModuleCount() == 1;
            FinalizeUtilityUnits();
            std::exit(entered && kept && ProcessUnitVersioning() == nullptr ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(OsUnitVersioningDeathTest, NothingChangesAfterFinalization)
{
    EXPECT_EXIT(
        {
            static TUnitVersionInfo info;
            EnterUnitVersionRecord(5, &info);
            const bool before = ProcessUnitVersioning() != nullptr;
            FinalizeUnitVersioning();
            EnterUnitVersionRecord(5, &info);
            RemoveModuleUnitVersionRecords(5);
            std::exit(before && ProcessUnitVersioning() == nullptr ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
