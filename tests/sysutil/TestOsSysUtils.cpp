#include "sysutil/OsSysUtils.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

TEST(OsSysUtils, BitSetsSetAndTestByIndex)
{
    TOsBitSet bits;
    for (int index : {0, 31, 32, 70, -1})
        SetBitInSet(bits, index);
    const TOsBitSet expected{0x80000001u, 0x00000001u, 0x00000040u};
    EXPECT_EQ(bits, expected);
    struct
    {
        int index;
        bool set;
    } cases[] = {{0, true}, {1, false}, {31, true}, {32, true}, {70, true}, {71, false},
                 {1000, false}, {-1, false}};
    for (const auto &c : cases)
        EXPECT_EQ(TestBitInSet(bits, c.index), c.set) << c.index;
}

TEST(OsSysUtils, GuidIsLowerCaseInBraces)
{
    const QUuid guid(0x00000114, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
    EXPECT_EQ(GuidAsText(guid), "{00000114-0000-0000-c000-000000000046}");
    const QUuid mixed(0xDEADBEEF, 0xABCD, 0x0F0F, 0xFF, 0x01, 0xA2, 0x03, 0xB4, 0x05, 0xC6, 0x07);
    EXPECT_EQ(GuidAsText(mixed), "{deadbeef-abcd-0f0f-ff01-a203b405c607}");
}

TEST(OsSysUtils, ReleasingALibraryForgetsIt)
{
    void *none = nullptr;
    ReleaseLibraryHandle(none);
    EXPECT_EQ(none, nullptr);
    // A library nothing else here loads: once released it is gone from the process.
    const char *const name = "libBrokenLocale.so.1";
    void *library = dlopen(name, RTLD_NOW);
    ASSERT_NE(library, nullptr) << dlerror();
    ReleaseLibraryHandle(library);
    EXPECT_EQ(library, nullptr);
    EXPECT_EQ(dlopen(name, RTLD_NOW | RTLD_NOLOAD), nullptr);
    char bytes[4] = {1, 2, 3, 4};
    ZeroFillMemory(bytes, 3);
    ZeroFillMemory(bytes, -1);
    EXPECT_EQ(bytes[2], 0);
    EXPECT_EQ(bytes[3], 4);
}
