#include "lang/lcComp.h"
#include "LangLines.h"

#include <QLocale>
#include <QObject>
#include <gtest/gtest.h>

namespace {

using LangLines::D;
using LangLines::Line;

class TTestForm : public QObject
{
};

QByteArray Utf16(const QString &text)
{
    QByteArray bytes;
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

} // namespace

TEST(lcStream, WritesUnicodeSectionsAndReadsThemBackByteForByte)
{
    QObject owner;
    TlcLang lang(&owner);
    lang.SetNumOfLanguages(2);
    lang.Captions() = {Line({"MainTab", "Аккорды", "Chords"})};
    lang.Strings() = {Line({"IDS_1", "Ошибка\r\nвторая строка", "Error"})};
    lang.DlgsCaptions().clear();
    const QByteArray data = lang.WriteTranslationData();

    EXPECT_TRUE(data.startsWith(Utf16("stCaptions_Unicode\r\nMainTab\x01")));
    EXPECT_TRUE(data.contains(Utf16("stHints_Unicode\r\nstDisplayLabels_Unicode\r\n")));
    EXPECT_TRUE(data.contains(Utf16(QString("Ошибка") + QChar(25) + QChar(26) + "вторая")));
    EXPECT_FALSE(data.contains(Utf16("stListView_TreeView_Items")));
    EXPECT_TRUE(data.endsWith(Utf16("stCharSets_Unicode\r\n")));

    QObject otherOwner;
    TlcLang reader(&otherOwner);
    reader.SetNumOfLanguages(2);
    reader.ReadTranslationData(data);
    EXPECT_EQ(reader.Strings().first(), Line({"IDS_1", "Ошибка\r\nвторая строка", "Error"}));
    EXPECT_TRUE(reader.DlgsCaptions().isEmpty());
    EXPECT_EQ(reader.WriteTranslationData(), data);
}

TEST(lcStream, ReadsLegacyEightBitDataPerLanguageCodePage)
{
    QObject owner;
    TlcLang lang(&owner);
    lang.SetNumOfLanguages(2);
    lang.CharSets() = {Line({"QObject", "RUSSIAN_CHARSET", "GREEK_CHARSET"})};
    // "Да" in Windows-1251, "Ναι" in Windows-1253; no suffix on the headers.
    QByteArray data = "stCharSets\r\nQObject\x01RUSSIAN_CHARSET\x01GREEK_CHARSET\x01\r\n"
                      "stStrings\r\nIDS_7\x01\xc4\xe0\x01\xcd\xe1\xe9\x01\r\n"
                      "stFonts\r\nMemo\x01\xc0rial\x01x\x01\r\n";
    lang.ReadTranslationData(data);
    EXPECT_EQ(lang.Strings().first(), Line({"IDS_7", "Да", "Ναι"}));
    // Fonts keep the system code page.
    EXPECT_EQ(lang.Fonts().first(), Line({"Memo", "Аrial", "x"}));
    EXPECT_EQ(lang.EncodeLine(lang.Strings().first()), QByteArray("IDS_7\x01\xc4\xe0\x01\xcd\xe1\xe9\x01"));

    // A single byte is no data: nothing is cleared.
    lang.ReadTranslationData("s");
    EXPECT_EQ(lang.Strings().size(), 1);
}

TEST(lcStream, EightBitOrEmptyDataLeavesTheTextsOfOtherListsAsTheyWere)
{
    const struct
    {
        QByteArray data;
        bool inherited;
        QStringList strings;
    } cases[] = {
        {"", false, {Line({"IDS_1", "Да", "Yes"})}},
        {"stHints\r\nLabel1\x01\xc4\xe0\x01No\x01\r\n", false, {Line({"IDS_1", "Да", "Yes"})}},
        {"stStrings\r\nIDS_2\x01\xc4\xe0\x01No\x01\r\n", true, {Line({"IDS_1", "Да", "Yes"}), Line({"IDS_2", "Да", "No"})}},
    };
    for (const auto &c : cases) {
        QObject owner;
        TlcLang lang(&owner);
        lang.SetNumOfLanguages(2);
        lang.SetIsInheritedOwner(c.inherited);
        lang.Strings() = {Line({"IDS_1", "Да", "Yes"})};
        lang.ReadTranslationData(c.data);
        EXPECT_EQ(lang.Strings(), c.strings) << c.data.toStdString();
    }
}

TEST(lcStream, OwnerLineGoesFirstAndInheritedDataMerges)
{
    TTestForm form;
    TlcLang lang(&form);
    lang.SetNumOfLanguages(2);
    const QString ownerClass = lang.OwnerClassName();
    QString text = "stCaptions_Unicode\r\nA\x01" "a\x01\x01\r\n" + ownerClass + "\x01T\x01\x01\r\n";
    text.replace('\x01', D);
    lang.ReadTranslationData(Utf16(text));
    EXPECT_EQ(lang.Captions().first(), Line({ownerClass, "T", ""}));

    lang.SetIsInheritedOwner(true);
    QString more = "stCaptions_Unicode\r\nA\x01\x01" "b\x01\r\n";
    more.replace('\x01', D);
    lang.ReadTranslationData(Utf16(more));
    EXPECT_EQ(lang.Captions(), QStringList({Line({ownerClass, "T", ""}), Line({"A", "a", "b"})}));
    // In the designer the data read is the whole list, inherited form or not.
    lang.SetDesigning(true);
    lang.ReadTranslationData(Utf16(more));
    EXPECT_EQ(lang.Captions(), QStringList({Line({"A", "", "b"})}));
}

TEST(lcStrings, SortedLookupFindsKeysIgnoringCaseAndFallsBack)
{
    QObject owner;
    TlcLang lang(&owner);
    lang.SetNumOfLanguages(2);
    lang.Strings() = {Line({"IDS_259", "Файл", "File"}), Line({"IDS_10", "десять", "ten"}),
                      Line({"IDS_100", "сто", ""}), Line({"IDS_1", "Ошибка", "Error"}), Line({"IDS_5", "пять"}),
                      QString("IDS_6") + D + "шесть"};
    lang.RebuildStringsCollections();
    lang.SetActiveLanguage(2);
    const struct
    {
        const char *key;
        const char *expected;
    } cases[] = {
        {"IDS_1", "Error"},   {"ids_1", "Error"}, {"IDS_10", "ten"}, {"IDS_100", "сто"},
        {"IDS_259", "File"},  {"IDS_5", "пять"},  {"IDS_6", ""},     {"IDS_2", ""},     {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(lang.GetTextOrDefault(c.key), QString::fromUtf8(c.expected)) << c.key;
    EXPECT_EQ(lang.GetText("IDS_100"), "");
    lang.SetTranslateType(ttGetDefault);
    EXPECT_EQ(lang.GetText("IDS_100"), "сто");

    // A missing key raises only when the component is told to; one that is there never does.
    EXPECT_EQ(lang.GetTextOrDefault("IDS_404"), "");
    lang.SetDoRaiseExceptions(true);
    EXPECT_EQ(lang.GetTextOrDefault("IDS_1"), "Error");
    for (QStringList *list : {&lang.Strings(), &lang.Captions()})
        try {
            lang.GetTextFromList(list, "IDS_404", true);
            ADD_FAILURE() << "no error for a missing key";
        } catch (const ELanguageError &e) {
            EXPECT_EQ(e.Message(), "String identifier \"IDS_404\" not found!");
        }
}

TEST(lcStrings, NeighbourCheckFindsTheUpperOfTwo)
{
    QObject owner;
    TlcLang lang(&owner);
    TlcStringsCollection collection(&lang);
    for (const char *key : {"IDS_10", "IDS_101"}) {
        TlcStringsCollectionItem &item = collection.Add();
        item.Identifier = key;
        item.Values = {QString(key) + "!"};
    }
    collection.Sort(true);
    EXPECT_EQ(collection.GetValue("IDS_101", 1), "IDS_101!");
    EXPECT_EQ(collection.GetValue("IDS_10", 1), "IDS_10!");
    EXPECT_EQ(collection.GetValue("IDS_100", 1), "");
    EXPECT_EQ(collection.GetValue("IDS_10", 2), "");
    EXPECT_EQ(collection.IndexOf("ids_101"), 1);
}

TEST(lcStrings, DefaultLanguageFillsEmptyTextsAndActiveLanguageStays)
{
    QObject owner;
    TlcLang lang(&owner);
    lang.SetNumOfLanguages(2);
    lang.Strings() = {Line({"IDS_1", "", "Error"}), Line({"IDS_2", "Два", ""})};
    lang.RebuildStringsCollections();
    lang.SetUseDefaultLanguage(true);
    lang.SetDefaultLanguage(2);
    EXPECT_EQ(lang.GetTextOrDefault("IDS_1"), "Error");
    EXPECT_EQ(lang.ActiveLanguage(), 1);
    EXPECT_EQ(lang.GetDelimitedItemOrDefault(lang.Strings().first(), 1), "Error");
    lang.SetDefaultLanguage(3);
    lang.SetDefaultLanguage(0);
    EXPECT_EQ(lang.DefaultLanguage(), 2);
}

TEST(lcStrings, EscapesDecode)
{
    const struct
    {
        QString in;
        QString out;
    } cases[] = {
        {"\\x41\\n", "A\n"},  {"\\q", "\\q"},     {"end\\", "end\\"}, {"\\101\\t", "A\t"},
        {"\\x", "\\x"},       {"\\\\\\\"", "\\\""}, {"\\xg", "\\xg"},   {"\\x4a1", "J1"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(lcText::DecodeEscapes(c.in), c.out) << c.in.toStdString();
}

TEST(lcComp, LanguageCountAndActiveLanguageStayInRange)
{
    TTestForm form;
    TlcLang lang(&form);
    EXPECT_THROW({ TlcLang second(&form); }, std::runtime_error);
    EXPECT_THROW(lang.SetNumOfLanguages(0), ELanguageError);
    EXPECT_EQ(lang.NumOfLanguages(), 1);
    lang.SetNumOfLanguages(3);
    EXPECT_EQ(lang.LangNames(), QStringList({"Language N1", "Language N2", "Language N3"}));
    lang.Strings() = {Line({"A", "1", "2", "3"}), QString("B") + D + "1" + D};
    lang.SetActiveLanguage(3);
    try {
        lang.SetActiveLanguage(4);
        FAIL() << "no error";
    } catch (const ELanguageError &error) {
        EXPECT_EQ(error.Message(), lang.OwnerClassName() + ": 4 - is not a valid property value!\rValue must be within [1..3]!");
    }
    lang.SetNumOfLanguages(2);
    EXPECT_EQ(lang.Strings(), QStringList({Line({"A", "1", "2"}), QString("B") + D + "1" + D + D}));
    EXPECT_EQ(lang.ActiveLanguage(), 2);
    EXPECT_EQ(lang.LangNames().size(), 2);
    EXPECT_THROW(lang.SetLanguage("Klingon"), ELanguageError);
    lang.SetLanguage("language n1");
    EXPECT_EQ(lang.ActiveLanguage(), 1);
    EXPECT_THROW(lang.SetResourceLanguageIndex(3), ELanguageError);
    QObject other;
    TlcLang empty(&other);
    empty.SetLangNames({});
    EXPECT_EQ(empty.NumOfLanguages(), 1);
    EXPECT_EQ(empty.ActiveLanguage(), 1);

    bool asked = false;
    lang.OnLanguageChanging = [&](QObject *, int, bool &allow) {
        asked = true;
        allow = false;
    };
    lang.SetActiveLanguage(2);
    EXPECT_TRUE(asked);
    EXPECT_EQ(lang.ActiveLanguage(), 1);

    // Borrowed dialog texts and locales leave a designed form none of its own; a running one keeps them.
    lang.Locales() = {Line({"Decimal Separator", ",", "."})};
    lang.SetOptions(loUseExtCommonStrings);
    EXPECT_EQ(lang.DlgsCaptions().size(), 15);
    EXPECT_EQ(lang.Locales().size(), 1);
    lang.SetOptions(0);
    lang.SetDesigning(true);
    lang.SetOptions(loUseExtCommonStrings);
    EXPECT_TRUE(lang.DlgsCaptions().isEmpty());
    EXPECT_TRUE(lang.Locales().isEmpty());
}

TEST(lcComp, LocalesTakeTheSeparatorsOfTheUsersDateAndTimeFormats)
{
    struct
    {
        QLocale locale;
        QString dateSeparator, timeSeparator;
    } cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), "/", ":"},
        {QLocale(QLocale::German, QLocale::Germany), ".", ":"},
        {QLocale(QLocale::Finnish, QLocale::Finland), ".", "."},
    };
    const QLocale saved;
    for (const auto &c : cases) {
        QLocale::setDefault(c.locale);
        QObject owner;
        TlcLang lang(&owner);
        lang.SetChangeLocales(true);
        const std::string name = c.locale.name().toStdString();
        EXPECT_EQ(lang.Locales().value(3), Line({"Date Separator", c.dateSeparator})) << name;
        EXPECT_EQ(lang.Locales().value(6), Line({"Time Separator", c.timeSeparator})) << name;
    }
    QLocale::setDefault(saved);
}

TEST(lcComp, TranslationsAreSetIntoShortLinesWithoutLoss)
{
    QObject owner;
    TlcLang lang(&owner);
    lang.SetNumOfLanguages(3);
    const struct
    {
        QString line;
        int language;
        QString expected;
    } cases[] = {
        {Line({"K", "a"}), 2, Line({"K", "a", "new"})},
        {Line({"K", "a", "b"}), 2, Line({"K", "a", "new"})},
        {QString("K") + D + "a", 2, Line({"K", "a", "new"})},
        {QString("K") + D + "a" + D + "old", 2, Line({"K", "a", "new"})},
        {Line({"K"}), 3, Line({"K", "", "", "new"})},
        {Line({"K", "a", "b", "c"}), 1, Line({"K", "new", "b", "c"})},
    };
    for (const auto &c : cases) {
        QStringList list = {c.line};
        lang.SetTranslation(list, "new", c.language, "k");
        EXPECT_EQ(list.first(), c.expected) << c.line.toStdString();
    }
    QStringList padded = {Line({"IDS_1", "Text"}), Line({"IDS_2", "A", "B", "C"})};
    lang.PadLines(padded);
    EXPECT_EQ(padded, QStringList({Line({"IDS_1", "Text", "", ""}), Line({"IDS_2", "A", "B", "C"})}));
}

TEST(lcComp, MergeKeepsOldTextsWhereNewOnesAreEmpty)
{
    const QChar tab('\t');
    EXPECT_EQ(lcText::MergeLines("K\ta\t\t", "K\t\tb\tc\t", tab), "K\ta\tb\tc\t");
    EXPECT_EQ(lcText::MergeLines(Line({"K", "a", ""}), Line({"X", "", "b"}), D), Line({"K", "a", "b"}));
    Q_UNUSED(tab);
}

TEST(lcComp, CharSetsComeFromTheOwnersLine)
{
    TTestForm form;
    TlcLang lang(&form);
    lang.SetNumOfLanguages(2);
    lang.CharSets() = {Line({lang.OwnerClassName(), "RUSSIAN_CHARSET", ""})};
    EXPECT_EQ(lang.GetCharSetOfLanguage(1), 204);
    EXPECT_EQ(lang.GetCharSetOfLanguage(2), 1);
    lang.CharSets() = {Line({lang.OwnerClassName(), "russian_charset", "GREEK_CHARSET"})};
    EXPECT_EQ(lang.GetCharSetOfLanguage(1), 1);
    EXPECT_EQ(lang.GetCharSetOfLanguage(2), 161);
    EXPECT_EQ(lcCharSets::StringToWideWithCharSet("\xcf\xf0\xe8", 204), "При");
    EXPECT_EQ(lcCharSets::WideToStringWithCharSet("При", 204), QByteArray("\xcf\xf0\xe8"));
}

TEST(lcComp, CommaTextRoundTrips)
{
    const struct
    {
        QStringList items;
        QString text;
    } cases[] = {
        {{"H - си, B - си бемоль", "B"}, "\"H - си, B - си бемоль\",B"},
        {{"a\"b", ""}, "\"a\"\"b\","},
        {{""}, "\"\""},
        {{"x", "y"}, "x,y"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(lcText::CommaText(c.items), c.text);
        EXPECT_EQ(lcText::FromCommaText(c.text), c.items) << c.text.toStdString();
    }
    // Unquoted blanks split items, as the class library reads comma text.
    EXPECT_EQ(lcText::FromCommaText("a b, c"), QStringList({"a", "b", "c"}));
}

TEST(lcComp, CommaTextReadsNulAndControlCharactersAsBlanks)
{
    const struct
    {
        QStringView text;
        QStringList items;
    } cases[] = {
        {QStringView(u"a\0b", 3), {"a", "b"}},
        {QStringView(u"\0", 1), {}},
        {QStringView(u"x,\0", 3), {"x"}},
        {QStringView(u"\x1f\"q\"\0,", 6), {"q", ""}},
        {QStringView(u"\"a\0b\"", 5), {QStringView(u"a\0b", 3).toString()}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(lcText::FromCommaText(c.text.toString()), c.items);
}

TEST(lcComp, TestModeTextHelpers)
{
    EXPECT_EQ(lcText::ExpandText("abc", '*', 100), "a*b*c*");
    EXPECT_EQ(lcText::ExpandText("abc", '*', 50), "abc*");
    EXPECT_EQ(lcText::ExpandText("5%", '*', 100), "5%");
    EXPECT_EQ(lcText::ExpandText("", '*', 100), "");
    EXPECT_EQ(lcText::InvertCase("Ab1Я"), "aB1я");
    EXPECT_EQ(lcText::DeleteLanguageColumn(Line({"K", "a", "b", "c"}), 2, D), Line({"K", "a", "c"}));
    EXPECT_EQ(lcText::MoveLanguageColumn(Line({"K", "a", "b", "c"}), 3, 1, D), Line({"K", "c", "a", "b"}));
}
