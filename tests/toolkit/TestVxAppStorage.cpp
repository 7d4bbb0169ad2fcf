// The storage framework over a back end held in memory, and the INI file back end.
#include "toolkit/VxAppStorage.h"
#include "toolkit/VxGraphics.h"
#include "toolkit/VxTranslateString.h"

#include <QCoreApplication>
#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Values by absolute path, the test's stand-in for a file.
class TMemoryStorage : public TVxCustomAppStorage
{
public:
    using TVxCustomAppStorage::TVxCustomAppStorage;
    QMap<QString, QString> Values;

protected:
    bool DoIsFolder(const QString &path, bool) const override
    {
        for (auto it = Values.begin(); it != Values.end(); ++it)
            if (it.key().startsWith(path + QLatin1Char('\\')))
                return true;
        return false;
    }
    bool DoValueStored(const QString &path) const override { return Values.contains(path); }
    bool DoPathExists(const QString &path) const override { return DoValueStored(path) || DoIsFolder(path, false); }
    int DoReadInteger(const QString &path, int d) const override
    {
        bool ok = false;
        const int v = Values.value(path).toInt(&ok);
        return ok ? v : d;
    }
    void DoWriteInteger(const QString &path, int v) override { Values[path] = QString::number(v); }
    double DoReadFloat(const QString &path, double d) const override { return Values.value(path, QString::number(d)).toDouble(); }
    void DoWriteFloat(const QString &path, double v) override { Values[path] = QString::number(v, 'g', 17); }
    QString DoReadString(const QString &path, const QString &d) const override { return Values.value(path, d); }
    void DoWriteString(const QString &path, const QString &v) override { Values[path] = v; }
    QByteArray DoReadBinary(const QString &path) const override { return Values.value(path).toLatin1(); }
    void DoWriteBinary(const QString &path, const QByteArray &v) override { Values[path] = QString::fromLatin1(v); }
    void DoDeleteValue(const QString &path) override { Values.remove(path); }
    void DoDeleteSubTree(const QString &path) override
    {
        for (const QString &k : Values.keys())
            if (k.startsWith(path + QLatin1Char('\\')))
                Values.remove(k);
    }
    void DoGetStoredValues(const QString &, QStringList &names, bool) const override { names = Values.keys(); }
};

class TStorageTest : public ::testing::Test
{
protected:
    int argc = 1;
    char name[8] = "test";
    char *argv[1] = {name};
    QCoreApplication app{argc, argv};
};

} // namespace

TEST(AppStoragePaths, NormalisesAndJoins)
{
    const struct {
        QStringList parts;
        QString expected;
    } cases[] = {
        {{"A", "B"}, "A\\B"},
        {{"A\\B", "\\C"}, "C"},            // an absolute element starts anew
        {{"\\A", "B", "\\C\\D", "E"}, "C\\D\\E"},
        {{"A\\\\B\\", ".\\C"}, "A\\B\\C"}, // empty and "." components go
        {{"A\\B\\C", ".."}, "A\\B"},
        {{"A\\B\\C", "...\\D"}, "A\\D"},    // n dots climb n - 1
        {{"A", "....."}, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TVxCustomAppStorage::ConcatPaths(c.parts), c.expected) << c.parts.join('|').toStdString();

    QString key, value;
    TVxCustomAppStorage::SplitKeyPath(QStringLiteral("\\A\\B\\Name"), key, value);
    EXPECT_EQ(key, QStringLiteral("\\A\\B"));
    EXPECT_EQ(value, QStringLiteral("Name"));
}

TEST_F(TStorageTest, SubStoragesServeTheirPartOfTheTree)
{
    TMemoryStorage main, sub, deeper;
    main.SetPath(QStringLiteral("Options"));
    EXPECT_EQ(main.GetAbsPath(QStringLiteral("..\\Window\\Left")), QStringLiteral("\\Window\\Left"));
    main.SetPath(QStringLiteral("\\"));
    main.AddSubStorage(QStringLiteral("\\Sub\\"), &sub);
    main.AddSubStorage(QStringLiteral("Deep\\Er"), &deeper);
    main.WriteString(QStringLiteral("Sub\\Name"), QStringLiteral("one"));
    main.WriteString(QStringLiteral("deep\\er\\x\\Name"), QStringLiteral("two"));
    main.WriteString(QStringLiteral("Subway\\Name"), QStringLiteral("three")); // no prefix match
    EXPECT_EQ(sub.Values, (QMap<QString, QString>{{"\\Name", "one"}}));
    EXPECT_EQ(deeper.Values, (QMap<QString, QString>{{"\\x\\Name", "two"}}));
    EXPECT_EQ(main.Values, (QMap<QString, QString>{{"\\Subway\\Name", "three"}}));
    EXPECT_EQ(main.ReadString(QStringLiteral("Deep\\Er\\x\\Name")), QStringLiteral("two"));
    EXPECT_THROW(main.ReadString(QStringLiteral("Sub")), EVxAppStorageError); // the root itself is no value

    const struct {
        QString root;
        const char *error;
    } refused[] = {
        {"sub", "'sub' is not a unique root path"},
        {"Sub\\Other", "'Sub\\Other' is not a unique root path"}, // beneath another root
    };
    for (const auto &c : refused) {
        try {
            main.AddSubStorage(c.root, nullptr);
            ADD_FAILURE() << c.error;
        } catch (const EVxAppStorageError &e) {
            EXPECT_EQ(e.Message(), QString::fromUtf8(c.error));
        }
    }
    try {
        sub.AddSubStorage(QStringLiteral("Back"), &main);
        ADD_FAILURE();
    } catch (const EVxAppStorageError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Circular reference of storages"));
    }

    // A storage that goes away takes its items along; the tree is then served by the owner.
    {
        TMemoryStorage gone;
        main.AddSubStorage(QStringLiteral("Gone"), &gone);
        EXPECT_EQ(main.SubStorages().size(), 3u);
    }
    EXPECT_EQ(main.SubStorages().size(), 2u);
    main.WriteInteger(QStringLiteral("Gone\\N"), 7);
    EXPECT_EQ(main.Values.value(QStringLiteral("\\Gone\\N")), QStringLiteral("7"));
}

TEST_F(TStorageTest, TypedValuesFollowTheOptions)
{
    TMemoryStorage s;
    auto *o = s.StorageOptions();
    s.WriteBoolean(QStringLiteral("B"), true);
    EXPECT_EQ(s.Values.value(QStringLiteral("\\B")), QStringLiteral("TRUE"));
    const struct {
        const char *stored;
        bool expected;
    } booleans[] = {{"yes", true}, {"n", false}, {"Y", true}, {"2", true}, {"0", false}};
    for (const auto &c : booleans) {
        s.Values[QStringLiteral("\\B")] = QString::fromUtf8(c.stored);
        EXPECT_EQ(s.ReadBoolean(QStringLiteral("B"), !c.expected), c.expected) << c.stored;
    }
    s.Values[QStringLiteral("\\B")] = QStringLiteral("maybe"); // neither word nor number: the default
    EXPECT_TRUE(s.ReadBoolean(QStringLiteral("B"), true));
    EXPECT_TRUE(s.ReadBoolean(QStringLiteral("Missing"), true));
    o->SetBooleanStringTrueValues(QString()); // no word for true: booleans go back to numbers
    EXPECT_FALSE(o->BooleanAsString());
    s.WriteBoolean(QStringLiteral("B"), true);
    EXPECT_EQ(s.Values.value(QStringLiteral("\\B")), QStringLiteral("1"));

    const PTypeInfo orders = EnumTypeInfo<Qt::SortOrder>();
    s.WriteEnumeration(QStringLiteral("E"), orders, Qt::DescendingOrder);
    EXPECT_EQ(s.Values.value(QStringLiteral("\\E")), QStringLiteral("DescendingOrder"));
    EXPECT_EQ(s.ReadEnumeration(QStringLiteral("E"), orders, Qt::AscendingOrder), Qt::DescendingOrder);
    s.Values[QStringLiteral("\\E")] = QStringLiteral("Sideways");
    EXPECT_EQ(s.ReadEnumeration(QStringLiteral("E"), orders, Qt::AscendingOrder), Qt::AscendingOrder);
    EXPECT_THROW(s.ReadEnumeration(QStringLiteral("E"), TypeInfoOf(QMetaType::fromType<QString>()), 0),
                 EVxAppStorageError);

    const PTypeInfo days = SetTypeInfo<Qt::DayOfWeek>(); // Monday = 1 .. Sunday = 7
    TOsBitSet value;
    SetValueFromText(days, value, QStringLiteral("Monday, Wednesday"));
    s.WriteSet(QStringLiteral("S"), days, value);
    EXPECT_EQ(s.Values.value(QStringLiteral("\\S")), QString::number(value.front()));
    o->FSetAsStr = true;
    s.WriteSet(QStringLiteral("S"), days, value);
    EXPECT_EQ(s.Values.value(QStringLiteral("\\S")), QStringLiteral("[Monday, Wednesday]"));
    EXPECT_EQ(s.ReadSet(QStringLiteral("S"), days, {}), value);
    s.Values[QStringLiteral("\\S")] = QStringLiteral("[Monday,Someday]");
    try {
        s.ReadSet(QStringLiteral("S"), days, {});
        ADD_FAILURE();
    } catch (const EVxAppStorageError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Unknown identifier 'Someday'."));
    }
    try {
        s.WriteSet(QStringLiteral("S"), orders, value); // not a set at all
        ADD_FAILURE();
    } catch (const EVxAppStorageError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Unknown base type for given set"));
    }

    o->FFloatAsString = true;
    s.WriteFloat(QStringLiteral("F"), 0.1);
    EXPECT_EQ(s.ReadFloat(QStringLiteral("F")), 0.1);
    s.Values[QStringLiteral("\\F")] = QStringLiteral("abc");
    EXPECT_THROW(s.ReadFloat(QStringLiteral("F")), EVxAppStorageError);
    o->FDefaultIfReadConvertError = true;
    EXPECT_EQ(s.ReadFloat(QStringLiteral("F"), 2.5), 2.5);

    const QDateTime moment(QDate(2026, 12, 8), QTime(21, 58, 30));
    s.WriteDateTime(QStringLiteral("D"), moment);
    EXPECT_EQ(s.ReadDateTime(QStringLiteral("D"), {}), moment);
    TVxTranslateString engine;
    s.SetTranslateStringEngine(&engine);
    o->FUseTranslateStringEngineDateTimeFormats = true;
    s.WriteDateTime(QStringLiteral("D"), moment);
    EXPECT_EQ(s.Values.value(QStringLiteral("\\D")), QStringLiteral("08_12_2026 21_58_30"));
    EXPECT_EQ(s.ReadDateTime(QStringLiteral("D"), {}), moment);

    s.SetReadOnly(true);
    s.WriteInteger(QStringLiteral("I"), 1);
    EXPECT_FALSE(s.Values.contains(QStringLiteral("\\I")));
}

TEST_F(TStorageTest, MinutesAfterAnHourInTheEngineFormatsStayMinutes)
{
    const struct {
        const char *date;
        const char *time;
        int seconds;
        const char *stored;
    } cases[] = {
        {"dd.mm.yyyy", "hh:mm:ss", 30, "08.12.2026 21:58:30"},
        {"mm/dd/yyyy", "h:m", 0, "12/08/2026 21:58"},
        {"yyyy-mm-dd", "hh_nn_ss", 30, "2026-12-08 21_58_30"},
    };
    for (const auto &c : cases) {
        TMemoryStorage s;
        TVxTranslateString engine;
        engine.SetDateFormat(QString::fromUtf8(c.date));
        engine.SetTimeFormat(QString::fromUtf8(c.time));
        s.SetTranslateStringEngine(&engine);
        s.StorageOptions()->FUseTranslateStringEngineDateTimeFormats = true;
        const QDateTime moment(QDate(2026, 12, 8), QTime(21, 58, c.seconds));
        s.WriteDateTime(QStringLiteral("D"), moment);
        EXPECT_EQ(s.Values.value(QStringLiteral("\\D")).toStdString(), c.stored);
        EXPECT_EQ(s.ReadDateTime(QStringLiteral("D"), {}), moment) << c.time;
    }
}

TEST_F(TStorageTest, EncryptedValuesPassTheHandlersAndBase64)
{
    TMemoryStorage s;
    QObject::connect(&s, &TVxCustomAppStorage::OnEncryptPropertyValue, [](QString &v) { std::reverse(v.begin(), v.end()); });
    QObject::connect(&s, &TVxCustomAppStorage::OnDecryptPropertyValue, [](QString &v) { std::reverse(v.begin(), v.end()); });
    s.WriteString(QStringLiteral("Plain"), QStringLiteral("abc"));
    s.EnablePropertyValueCrypt();
    s.WriteString(QStringLiteral("Secret"), QStringLiteral("abc"));
    EXPECT_EQ(s.Values.value(QStringLiteral("\\Plain")), QStringLiteral("abc"));
    EXPECT_EQ(s.Values.value(QStringLiteral("\\Secret")), QStringLiteral("Y2Jh")); // "cba"
    EXPECT_EQ(s.ReadString(QStringLiteral("Secret")), QStringLiteral("abc"));
    s.DisablePropertyValueCrypt();
    EXPECT_EQ(s.ReadString(QStringLiteral("Secret")), QStringLiteral("Y2Jh"));
}

TEST(AppStorageNames, ItemAndCharacterNames)
{
    EXPECT_EQ(TVxCustomAppStorage::GetCharName(QLatin1Char('!')), QStringLiteral("Char_!"));
    EXPECT_EQ(TVxCustomAppStorage::GetCharName(QLatin1Char('z')), QStringLiteral("Char_z"));
    EXPECT_EQ(TVxCustomAppStorage::GetCharName(QLatin1Char(' ')), QStringLiteral("Char#32"));
    EXPECT_EQ(TVxCustomAppStorage::GetCharName(QLatin1Char('{')), QStringLiteral("Char#123"));
    EXPECT_EQ(TVxCustomAppStorage::GetIntName(-4), QStringLiteral("Int_-4"));
    TMemoryStorage s;
    EXPECT_EQ(s.ItemNameIndexPath(QStringLiteral("Item"), 3), QStringLiteral("Item3"));
    s.StorageOptions()->FUseOldItemNameFormat = false;
    EXPECT_EQ(s.ItemNameIndexPath(QStringLiteral("Item"), 3), QStringLiteral("Item[3]"));

    TVxTranslateString engine;
    EXPECT_EQ(engine.LeftDelimiter(), QStringLiteral("%"));
    EXPECT_EQ(engine.RightDelimiter(), QStringLiteral("%"));
    EXPECT_EQ(engine.DateTimeFormat(), QStringLiteral("dd_mm_yyyy hh_nn_ss"));
}

TEST_F(TStorageTest, IniFileBackEndKeepsEveryKindOfValue)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("storage.ini"));
    {
        TVxAppIniFileStorage s(file);
        s.WriteString(QStringLiteral("Window\\Caption"), QStringLiteral("Вексо"));
        s.WriteInteger(QStringLiteral("Window\\Pos\\Left"), -12);
        s.WriteBinary(QStringLiteral("Blob"), QByteArray(100, '\x01'));
        s.WriteBoolean(QStringLiteral("Window\\Visible"), false);
        s.WriteInteger(QStringLiteral("List\\Count"), 2);
        EXPECT_TRUE(s.LastWriteSucceeded());
    }
    TVxAppIniFileStorage s(file);
    EXPECT_EQ(s.ReadString(QStringLiteral("Window\\Caption")), QStringLiteral("Вексо"));
    EXPECT_EQ(s.ReadInteger(QStringLiteral("\\Window\\Pos\\Left")), -12);
    EXPECT_EQ(s.ReadBinary(QStringLiteral("Blob")), QByteArray(100, '\x01'));
    EXPECT_FALSE(s.ReadBoolean(QStringLiteral("Window\\Visible"), true));
    EXPECT_TRUE(s.IsFolder(QStringLiteral("Window")));
    EXPECT_FALSE(s.IsFolder(QStringLiteral("List"))); // a list is a value
    EXPECT_EQ(s.ReadListCount(QStringLiteral("List")), 2);
    QStringList names;
    s.GetStoredValues(QStringLiteral("Window"), names, true);
    EXPECT_EQ(names, QStringList({"Caption", "Visible", "Pos\\Left"}));

    s.DeleteValue(QStringLiteral("Window\\Caption"));
    EXPECT_FALSE(s.ValueStored(QStringLiteral("Window\\Caption")));
    s.DeleteSubTree(QStringLiteral("Window"));
    EXPECT_FALSE(s.PathExists(QStringLiteral("Window\\Pos\\Left")));
    EXPECT_TRUE(s.ValueStored(QStringLiteral("Blob")));
}

TEST(IconListUpdate, NestedUpdatesAnnounceOneChange)
{
    TCustomImageList list;
    TChangeLink link;
    int changes = 0;
    link.OnChange = [&] { ++changes; };
    list.RegisterChanges(&link);
    list.BeginUpdate();
    list.BeginUpdate();
    list.Change();
    list.EndUpdate();
    EXPECT_EQ(changes, 0);
    list.EndUpdate();
    EXPECT_EQ(changes, 1);
    list.EndUpdate(); // unbalanced: nothing
    EXPECT_EQ(changes, 1);
    list.UnRegisterChanges(&link);
}
