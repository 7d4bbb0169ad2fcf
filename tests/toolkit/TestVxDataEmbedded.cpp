#include "toolkit/VxDataEmbedded.h"
#include "toolkit/VxStringHolder.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(VxDataEmbedded, StoredFormIsCountThenBytes)
{
    TVxDataEmbedded data("VxDataEmbed", nullptr);
    EXPECT_TRUE(data.WriteEmbeddedBinary().isEmpty()) << "an empty block is not stored";
    data.SetData(QByteArray("\x7f", 1));
    EXPECT_EQ(data.WriteEmbeddedBinary(), QByteArray("\x01\x00\x00\x00\x7f", 5));

    TVxDataEmbedded read("copy", nullptr);
    EXPECT_TRUE(read.ReadEmbeddedBinary(QByteArray("\x03\x00\x00\x00" "abc", 7)));
    EXPECT_EQ(read.Bytes(), QByteArray("abc"));
    struct { QByteArray stored; } damaged[] = {{QByteArray("\x05\x00\x00\x00" "ab", 6)}, {QByteArray("\x01\x00", 2)},
                                               {QByteArray("\xff\xff\xff\xff" "ab", 6)}};
    for (const auto &d : damaged) {
        EXPECT_FALSE(read.ReadEmbeddedBinary(d.stored));
        EXPECT_EQ(read.Size(), 0);
    }
}

TEST(VxDataEmbedded, DataIsTheSameStreamAtZeroAndTakesTheRestOfASource)
{
    TVxDataEmbedded data("VxDataEmbed", nullptr);
    QSignalSpy changes(&data, &TVxDataEmbedded::OnChange);
    QBuffer source;
    source.setData("0123456789");
    source.open(QIODevice::ReadOnly);
    source.seek(6);
    data.SetData(&source);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(data.Bytes(), QByteArray("6789"));
    QBuffer &first = data.Data();
    first.seek(3);
    QBuffer &second = data.Data();
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(second.pos(), 0);
}

TEST(VxDataEmbedded, SavesWholeBlockAndReportsUnwritablePath)
{
    QTemporaryDir dir;
    TVxDataEmbedded data("VxDataEmbed", nullptr);
    QSignalSpy saving(&data, &TVxDataEmbedded::OnSaving);
    QSignalSpy saved(&data, &TVxDataEmbedded::OnSaved);
    data.SetData(QByteArray("[C]\nmaj=0001000203xx\n"));
    data.Data().seek(5);
    data.DataSaveToFile(dir.filePath("base.ini"));
    QFile file(dir.filePath("base.ini"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[C]\nmaj=0001000203xx\n"));
    try {
        data.DataSaveToFile(dir.filePath("missing/folder/base.ini"));
        ADD_FAILURE() << "a file in a missing folder cannot be created";
    } catch (const EFCreateError &e) {
        // The reason is the system's, not an unopened file's "Unknown error".
        EXPECT_EQ(e.Message().toStdString(), ("Cannot create file \"" + dir.filePath("missing/folder/base.ini") +
                                              "\". No such file or directory").toStdString());
    }
    EXPECT_EQ(saving.count(), 2);
    EXPECT_EQ(saved.count(), 1);
}

TEST(VxStringHolder, NamesAreUniqueIgnoringCase)
{
    TVxMultiStringHolder holder("VxMultiString", nullptr);
    holder.LoadFromText("[SovietList]\nfirst\nsecond\n[WestList]\nthird\n");
    EXPECT_EQ(holder.GetStringsByName("sovietlist"), QStringList({"first", "second"}));
    EXPECT_EQ(holder.GetStringsByName("WESTLIST"), QStringList{"third"});
    try {
        holder.GetStringsByName("Missing");
        FAIL() << "an unknown name must raise";
    } catch (const EVxMultiStringHolderException &e) {
        EXPECT_EQ(e.Message(), "No item found with name \"Missing\"");
    }

    auto &a = holder.MultipleStrings().Add();
    a.SetName("  A\t");
    EXPECT_EQ(a.Name(), "A");
    auto &b = holder.MultipleStrings().Add();
    EXPECT_THROW(b.SetName("a"), EVxException);
    EXPECT_EQ(b.Name(), "");
    EXPECT_EQ(b.GetDisplayName(), "(unnamed)");
    EXPECT_THROW(a.SetName("A"), EVxException) << "the item's own name counts too";
    EXPECT_EQ(a.Name(), "A");
    auto &c = holder.MultipleStrings().Add();
    EXPECT_NO_THROW(c.SetName(" "));
    EXPECT_NO_THROW(b.SetName(""));
}
