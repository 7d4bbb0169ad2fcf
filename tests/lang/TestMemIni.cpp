#include "lang/MemIni.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QStringList WrittenBack(const QStringList &text)
{
    TlcMemIniFile ini;
    ini.SetStrings(text);
    QStringList out;
    ini.GetStrings(out);
    return out;
}

} // namespace

TEST(MemIni, WritesSectionsAndKeysSortedAndDropsWhatIsNoKey)
{
    const struct
    {
        const char *name;
        QStringList text;
        QStringList written;
    } cases[] = {
        {"blanks around = kept", {"[S]", "a = b"}, {"[S]", "a = b", ""}},
        {"second = belongs to the value", {"[S]", "k=v=w"}, {"[S]", "k=v=w", ""}},
        {"no = gains one", {"[S]", "bare"}, {"[S]", "bare=", ""}},
        {"comments, empty lines, keys before a header vanish", {"lost=1", "[S]", "", ";note", "k=v"}, {"[S]", "k=v", ""}},
        {"indented header is a key", {"[S]", " [T]"}, {"[S]", " [T]=", ""}},
        {"half brackets are keys", {"[S]", "[T", "U]"}, {"[S]", "[T=", "U]=", ""}},
        {"empty section name", {"[]", "k=v"}, {"[]", "k=v", ""}},
        {"sections sorted", {"[b]", "x=1", "[a]", "y=2"}, {"[a]", "y=2", "", "[b]", "x=1", ""}},
        {"keys sorted, duplicates latest first", {"[S]", "z=1", "k=first", "k=second"}, {"[S]", "k=second", "k=first", "z=1", ""}},
        {"repeated section in other case is ignored with its keys", {"[Main]", "k=1", "[MAIN]", "k=2", "j=3"}, {"[Main]", "k=1", ""}},
        {"equal keys in any case, latest first, among others", {"[S]", "b=1", "K=1", "a=1", "k=2", "B=2", "K=3"},
         {"[S]", "a=1", "B=2", "b=1", "K=3", "k=2", "K=1", ""}},
        {"a repeated section's keys do not join the first", {"[b]", "x=1", "[a]", "[B]", "x=2", "[A]", "y=3", "[b]"},
         {"[a]", "", "[b]", "x=1", ""}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(WrittenBack(c.text), c.written) << c.name;
}

TEST(MemIni, ReadsLatestDuplicateAndWritesOverIt)
{
    TlcMemIniFile ini;
    ini.SetStrings({"[S]", "k=old", "k=new", "[T]", "e="});
    EXPECT_EQ(ini.ReadString("s", "K", "d"), "new");
    EXPECT_EQ(ini.ReadString("T", "e", "d"), "");
    EXPECT_EQ(ini.ReadString("T", "missing", "d"), "d");
    EXPECT_EQ(ini.ReadString("none", "k", "d"), "d");

    ini.WriteString("S", "k", "third");
    QStringList keys, values;
    ini.ReadSection("S", keys);
    ini.ReadSectionValues("S", values);
    EXPECT_EQ(keys, QStringList({"k", "k"}));
    EXPECT_EQ(values, QStringList({"third", "old"}));

    ini.WriteString("New", "a=b", "c");
    EXPECT_EQ(ini.ReadString("New", "a", ""), "b=c");
    ini.DeleteKey("S", "k");
    EXPECT_EQ(ini.ReadString("S", "k", ""), "old");
    ini.EraseSection("S");
    EXPECT_FALSE(ini.SectionExists("S"));
    QStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections, QStringList({"New", "T"}));
}

TEST(MemIni, SectionValuesFollowKeyOrder)
{
    TlcMemIniFile ini;
    ini.SetStrings({"[S]", "c=3", "b=2", "a=1"});
    QStringList keys, values;
    ini.ReadSection("S", keys);
    ini.ReadSectionValues("S", values);
    EXPECT_EQ(keys, QStringList({"a", "b", "c"}));
    EXPECT_EQ(values, QStringList({"1", "2", "3"}));
}

TEST(MemIni, TypedReadsFallBackToDefault)
{
    TlcMemIniFile ini;
    ini.SetStrings({"[S]", "hex=0x1F", "HEX=0X1f", "x=0x", "dollar=$1f", "all=0xFFFFFFFF", "short=0X9", "word=abc", "one=1", "two=2", "zero=0", "yes=yes",
                    "date=no date"});
    const struct
    {
        const char *key;
        int expected;
    } integers[] = {{"hex", 31}, {"x", -7}, {"dollar", 31}, {"all", -1}, {"short", 9}, {"word", -7}, {"one", 1}, {"missing", -7}};
    for (const auto &c : integers)
        EXPECT_EQ(ini.ReadInteger("S", c.key, -7), c.expected) << c.key;
    EXPECT_TRUE(ini.ReadBool("S", "two", false));
    EXPECT_FALSE(ini.ReadBool("S", "zero", true));
    EXPECT_TRUE(ini.ReadBool("S", "yes", true));
    EXPECT_FALSE(ini.ReadBool("S", "yes", false));
    const QDate fallback(2001, 2, 3);
    EXPECT_EQ(ini.ReadDate("S", "date", fallback), fallback);
    EXPECT_EQ(ini.ReadFloat("S", "word", 2.5), 2.5);

    ini.WriteBool("S", "flag", true);
    ini.WriteInteger("S", "n", -12);
    EXPECT_EQ(ini.ReadString("S", "flag", ""), "1");
    EXPECT_EQ(ini.ReadInteger("S", "n", 0), -12);
    ini.WriteDate("S", "d", fallback);
    EXPECT_EQ(ini.ReadDate("S", "d", QDate()), fallback);
}

TEST(MemIni, FileRoundTripAndStream)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("t.ini");
    {
        TlcMemIniFile missing(name);
        QStringList sections;
        missing.ReadSections(sections);
        EXPECT_TRUE(sections.isEmpty());
        missing.WriteString("Язык", "Ключ", "Значение");
        ASSERT_TRUE(missing.UpdateFile());
    }
    TlcMemIniFile again(name);
    EXPECT_EQ(again.ReadString("язык", "ключ", ""), "Значение");

    QByteArray bytes("[A]\r\nk=v\r\n");
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    again.ReadFromStream(buffer);
    EXPECT_EQ(again.ReadString("A", "k", ""), "v");
    EXPECT_EQ(again.ReadString("Язык", "Ключ", "gone"), "gone");
}

TEST(MemIni, DelimitedItemNeedsItsClosingDelimiter)
{
    const QChar d(char16_t(1));
    const QString line = QString("IDS_1") + d + "Ошибка" + d + "Error" + d;
    const struct
    {
        QString s;
        int n;
        QString expected;
    } cases[] = {
        {line, 0, "IDS_1"}, {line, 1, "Ошибка"},        {line, 2, "Error"}, {line, 3, ""},
        {line, -1, ""},     {QString("k") + d + "open", 1, ""}, {"", 0, ""},     {QString(d) + d, 1, ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(GetDelimitedItem(c.s, d, c.n), c.expected) << c.n;
}

TEST(MemIni, LinesEndAtCarriageReturnLineFeedOrEitherAlone)
{
    for (const QByteArray &text : {QByteArray("[A]\r\nk=v\r\n"), QByteArray("[A]\nk=v\n"), QByteArray("[A]\rk=v\r"),
                                   QByteArray("[A]\n\rk=v")}) {
        QByteArray bytes = text;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        TlcMemIniFile ini;
        ini.ReadFromStream(buffer);
        EXPECT_EQ(ini.ReadString("A", "k", "missing"), "v") << text.toStdString();
    }
}

TEST(MemIni, DatesAndTimesReadBackInTheLocaleTheyWereWrittenIn)
{
    const QDateTime moment(QDate(2026, 12, 9), QTime(13, 14, 15));
    const QDateTime midnight(QDate(2026, 12, 9), QTime(0, 0));
    for (const QLocale &locale : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::Russian, QLocale::Russia)}) {
        QLocale::setDefault(locale);
        TlcMemIniFile ini;
        ini.WriteDate("S", "d", moment.date());
        ini.WriteTime("S", "t", moment.time());
        ini.WriteDateTime("S", "dt", moment);
        ini.WriteDateTime("S", "midnight", midnight);
        const std::string name = locale.name().toStdString();
        EXPECT_EQ(ini.ReadDate("S", "d", QDate()).toString(Qt::ISODate).toStdString(), "2026-12-09") << name;
        EXPECT_EQ(ini.ReadTime("S", "t", QTime()).toString(Qt::ISODate).toStdString(), "13:14:15") << name;
        EXPECT_EQ(ini.ReadDateTime("S", "dt", QDateTime()).toString(Qt::ISODate).toStdString(), "2026-12-09T13:14:15") << name;
        EXPECT_EQ(ini.ReadDateTime("S", "midnight", QDateTime()).toString(Qt::ISODate).toStdString(), "2026-12-09T00:00:00") << name;
    }
    QLocale::setDefault(QLocale::c());
}

TEST(MemIni, FloatsAreWrittenWithoutGroupsAndReadBackInTheirLocale)
{
    struct
    {
        QLocale locale;
        QString written; // 1234.5
    } cases[] = {
        {QLocale::c(), "1234.5"},
        {QLocale(QLocale::English, QLocale::UnitedStates), "1234.5"},
        {QLocale(QLocale::German, QLocale::Germany), "1234,5"},
        {QLocale(QLocale::Russian, QLocale::Russia), "1234,5"},
        {QLocale(QLocale::Estonian, QLocale::Estonia), "1234,5"},
        {QLocale(QLocale::Arabic, QLocale::Egypt), u"1234\u066B5"_qs},
    };
    const QLocale saved;
    for (const auto &c : cases) {
        QLocale::setDefault(c.locale);
        TlcMemIniFile ini;
        ini.WriteFloat("S", "f", 1234.5);
        ini.WriteFloat("S", "big", 1e20);
        ini.WriteFloat("S", "small", -0.000125);
        const std::string name = c.locale.name().toStdString();
        EXPECT_EQ(ini.ReadString("S", "f", QString()), c.written) << name;
        EXPECT_EQ(ini.ReadFloat("S", "f", 0), 1234.5) << name;
        EXPECT_EQ(ini.ReadFloat("S", "big", 0), 1e20) << name;
        EXPECT_EQ(ini.ReadFloat("S", "small", 0), -0.000125) << name;
    }
    QLocale::setDefault(saved);
}

TEST(MemIni, AFileThatCannotBeReadIsNeverWrittenOver)
{
    QTemporaryDir dir;
    const QString large = dir.filePath("large.ini");
    {
        QFile file(large);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.write("[S]\nk=v\n") == 8 && file.resize(65 * 1024 * 1024));
    }
    const QString pipe = dir.filePath("pipe.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString zero = dir.filePath("zero.ini");
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    for (const QString &path : {large, pipe, zero}) {
        TlcMemIniFile ini(path);
        ini.WriteString("S", "k", "new");
        EXPECT_FALSE(ini.UpdateFile()) << path.toStdString();
    }
    EXPECT_EQ(QFileInfo(large).size(), 65 * 1024 * 1024);
    EXPECT_FALSE(QFileInfo(pipe).isFile());
    EXPECT_TRUE(QFileInfo(zero).isSymLink());
}
