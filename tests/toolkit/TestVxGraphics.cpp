#include "toolkit/VxGraphics.h"

#include <gtest/gtest.h>

#include <memory>

TEST(VxGraphics, ComponentReferenceFollowsFreeNotification)
{
    QObject owner;
    auto first = std::make_unique<QObject>();
    auto second = std::make_unique<QObject>();
    QObject *field = nullptr;
    EXPECT_TRUE(SwapComponentReference(&owner, first.get(), field));
    EXPECT_FALSE(SwapComponentReference(&owner, first.get(), field));
    EXPECT_FALSE(SwapComponentReference<QObject>(nullptr, second.get(), field));
    EXPECT_TRUE(SwapComponentReference(&owner, second.get(), field));
    first.reset(); // the old reference no longer touches the field
    EXPECT_EQ(field, second.get());
    second.reset();
    EXPECT_EQ(field, nullptr);
}

TEST(VxGraphics, ImageListReferenceMovesChangeLink)
{
    QObject owner;
    TCustomImageList a, b;
    TCustomImageList *field = nullptr;
    int changes = 0;
    TChangeLink link;
    link.OnChange = [&] { ++changes; };
    EXPECT_TRUE(SwapImageListReference(&owner, &a, field, &link));
    a.Change();
    EXPECT_TRUE(SwapImageListReference(&owner, &b, field, &link));
    a.Change();
    b.Change();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(field, &b);
}
