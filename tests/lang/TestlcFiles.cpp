// Translation text files, LCB images, the import of one language, the dispatcher, extended items
// and the component's upkeep, on in-memory streams and temporary files.
#include "lang/lcComp.h"
#include "TestSupport.h"
#include "lang/lcDispatcher.h"
#include "lang/lcLcb.h"
#include "LangLines.h"
#include "platform/vcl/Properties.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

using LangLines::D;
using LangLines::Line;

class TTestColumn : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Title MEMBER Title)
    Q_PROPERTY(int Width MEMBER Width)
public:
    QString Title;
    int Width = 0;
};

class TTestColumns : public TCollection
{
    Q_OBJECT
public:
    using TCollection::TCollection;
    int Count() const override { return int(Items.size()); }
    QObject *Item(int index) const override { return index >= 0 && index < Count() ? Items[size_t(index)] : nullptr; }
    std::vector<TTestColumn *> Items;
};

class TTestLabel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Caption MEMBER Caption)
    Q_PROPERTY(QString Hint MEMBER Hint)
    Q_PROPERTY(int Width MEMBER Width)
    Q_PROPERTY(double Scale MEMBER Scale)
    Q_PROPERTY(bool Visible MEMBER Visible)
    Q_PROPERTY(QStringList Items MEMBER Items)
    Q_PROPERTY(TTestColumns *Columns READ Columns)
public:
    TTestLabel(const QString &name, QObject *parent) : QObject(parent), FColumns(this)
    {
        setObjectName(name);
        for (int i = 0; i < 2; ++i) {
            FColumns.Items.push_back(new TTestColumn);
            FColumns.Items.back()->setParent(&FColumns);
        }
    }
    TTestColumns *Columns() { return &FColumns; }
    QString Caption, Hint;
    int Width = 0;
    double Scale = 1;
    bool Visible = true;
    QStringList Items;

private:
    TTestColumns FColumns;
};

class TTestForm : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Caption MEMBER Caption)
public:
    explicit TTestForm(const QString &name = QStringLiteral("TestForm"))
    {
        setObjectName(name);
        label = new TTestLabel(QStringLiteral("Label1"), this);
        lang = new TlcLang(this);
        lang->SetLangNames({QStringLiteral("Russian"), QStringLiteral("English")});
    }
    QString Caption;
    TTestLabel *label;
    TlcLang *lang;
};

namespace {

QByteArray Text(const char *utf8)
{
    return QByteArray("\xEF\xBB\xBF") + utf8;
}

struct TBuffer
{
    QByteArray bytes;
    QBuffer buffer{&bytes};
    explicit TBuffer(const QByteArray &data = {}) : bytes(data) { buffer.open(QIODevice::ReadWrite); }
};

using TestSupport::WriteFile;

} // namespace

// Text files -------------------------------------------------------------------------------------

TEST(lcTextFiles, EveryStringTypeSurvivesSaveAndLoad)
{
    TTestForm form;
    TlcLang &lang = *form.lang;
    const QStringList lines[] = {
        {Line({"TTestForm", "Заголовок", "Title"}), Line({"Label1", "Метка", "Label"})},
        {Line({"Label1", "Подсказка", "Hint"})},
        {Line({"Label1", "Поле", "Field"})},
        {Line({"Label1", "Arial", "Tahoma"})},
        {Line({"Label1.Items", "\"раз, два\",три", "one,two"})},
        {Line({"Warning", "Внимание", "Warning"})},
        {Line({"IDS_1", "Первая\r\nвторая", "First\r\nsecond"}), Line({"IDS_2", "", "Only English"})},
        {Line({"Label1.Hint", "Прочее", "Other"})},
        {Line({"Currency String", "р.", "$"})},
        {Line({"Label1.Columns[1].Title", "Колонка", "Column"})},
        {Line({"Label1", "RUSSIAN_CHARSET", "ANSI_CHARSET"})},
    };
    for (int type = 0; type < 11; ++type)
        *lang.GetStringsList(type) = lines[type];
    TBuffer out;
    lang.SaveAllToStream(out.buffer, QStringLiteral("~!@#"));
    const QString text = QString::fromUtf8(out.bytes);
    EXPECT_TRUE(out.bytes.startsWith("\xEF\xBB\xBF"));
    for (const char *expected :
         {"[OPTIONS]\r\nDELIMITER=~!@#\r\nIsUTF8File=0\r\n", "Language_1=Russian\r\nLanguage_2=English\r\n",
          "[Captions]\r\nTTestForm.Label1=Метка~!@#Label~!@#\r\nTTestForm.TTestForm=Заголовок~!@#Title~!@#\r\n",
          "TTestForm.Label1.Columns-1+.Title=Колонка~!@#Column~!@#", "[Multilines]", "[Other]",
          "TTestForm.IDS_1=Первая\x19\x1a" "вторая~!@#First\x19\x1asecond~!@#"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected), Qt::CaseInsensitive)) << expected;

    TTestForm other;
    other.lang->SetLangNames({QStringLiteral("X")});
    out.buffer.seek(0);
    other.lang->LoadAllFromText(out.buffer, true);
    for (int type = 0; type < 11; ++type)
        EXPECT_EQ(*other.lang->GetStringsList(type), lines[type]) << type;
    EXPECT_EQ(other.lang->LangNames(), QStringList({"Russian", "English"}));
    EXPECT_EQ(other.Caption, QString::fromUtf8("Заголовок"));
    other.lang->SetActiveLanguage(2);
    EXPECT_EQ(other.lang->GetTextOrDefault("IDS_2"), "Only English");
}

TEST(lcTextFiles, ValuesKeysAndEncodingsLoadAsLines)
{
    const struct
    {
        QByteArray file;
        QStringList expected;
    } cases[] = {
        {Text("[Strings]\nTTestForm.IDS_1=Hello\n"), {Line({"IDS_1", "Hello"})}},
        {Text("[Strings]\nTTestForm.IDS_1=\n"), {Line({"IDS_1", ""})}},
        {Text("[Strings]\nTTestForm.IDS_1=я\n"), {Line({"IDS_1", "я"})}},
        {Text("[Strings]\nTTestForm.IDS_1=a~!@#b~!@#\nOther.IDS_2=x\nTestForm.IDS_3=y\n"),
         {Line({"IDS_3", "y"}), Line({"IDS_1", "a", "b"})}},
        {Text("[OPTIONS]\nDELIMITER=|\n[Strings]\nTTestForm.IDS_1=a|b|\n"), {Line({"IDS_1", "a", "b"})}},
        {Text("[Strings]\nTTestForm.Skip.x=a\n"), {}},
        {Text("[Strings]\rTTestForm.IDS_1=a\r"), {Line({"IDS_1", "a"})}},
        // No mark and no valid UTF-8: each language in the code page of its own script.
        {"[Language names - for internal use only!]\r\nLanguage_1=Russian\r\nLanguage_2=German\r\n"
         "[Strings]\r\nTTestForm.IDS_1=\xc4\xe0~!@#Gr\xfc\xdf~!@#\r\n",
         {Line({"IDS_1", "Да", "Grüß"})}},
        // The same written with UTF-8 texts: the names stay 8-bit, the texts are UTF-8.
        {"[OPTIONS]\r\nIsUTF8File=1\r\n[Language names - for internal use only!]\r\nLanguage_1=\xd0\xf3\xf1\xf1\xea\xe8\xe9\r\n"
         "Language_2=German\r\n[Strings]\r\nTTestForm.IDS_1=\xd0\x94\xd0\xb0~!@#Gr\xc3\xbc\xc3\x9f~!@#\r\n",
         {Line({"IDS_1", "Да", "Grüß"})}},
        {QByteArray("\xFF\xFE[\0S\0t\0r\0i\0n\0g\0s\0]\0\n\0T\0T\0e\0s\0t\0F\0o\0r\0m\0.\0I\0D\0S\0_\0" "1\0=\0\x14\x04\n\0",
                    58),
         {Line({"IDS_1", "Д"})}},
    };
    for (const auto &c : cases) {
        TTestForm form;
        form.lang->SetDoNotTranslate({"Skip"});
        TBuffer in(c.file);
        form.lang->LoadFromText(stStrings, in.buffer, true);
        EXPECT_EQ(form.lang->Strings(), c.expected) << c.file.toStdString();
    }
}

TEST(lcTextFiles, MergeKeepsKeysTheFileLacksAndSavingKeepsOtherSections)
{
    TTestForm form;
    form.lang->Strings() = {Line({"IDS_1", "старое", "old"}), Line({"IDS_2", "два", "two"})};
    TBuffer in(Text("[Strings]\nTTestForm.IDS_1=новое~!@#new~!@#\n[Mine]\nkeep=1\n"));
    EXPECT_TRUE(form.lang->MergeFromText(stStrings, in.buffer));
    EXPECT_EQ(form.lang->Strings(), QStringList({Line({"IDS_1", "новое", "new"}), Line({"IDS_2", "два", "two"})}));
    EXPECT_FALSE(form.lang->MergeFromText(stListView_TreeView_Items, in.buffer));

    form.lang->Strings() = {Line({"IDS_2", "два", "two"})};
    EXPECT_EQ(form.lang->SaveToText(stStrings, in.buffer, "~!@#"), 1);
    const QString text = QString::fromUtf8(in.bytes);
    EXPECT_TRUE(text.contains("[Mine]\r\nkeep=1")) << text.toStdString();
    EXPECT_TRUE(text.contains("TTestForm.IDS_1=новое~!@#new~!@#")) << text.toStdString();
    EXPECT_TRUE(text.contains("TTestForm.IDS_2=два~!@#two~!@#")) << text.toStdString();

    QTemporaryDir dir;
    EXPECT_EQ(form.lang->SaveToTextFile(stStrings, dir.filePath("no/such/folder/x.txt"), "~!@#"), -1);
    EXPECT_EQ(form.lang->SaveStringsToTextFile(dir.filePath("s.txt"), "~!@#"), 1);
    TTestForm reader;
    EXPECT_EQ(reader.lang->LoadStringsFromTextFile(dir.filePath("s.txt"), true), 1);
    EXPECT_EQ(reader.lang->Strings(), form.lang->Strings());
    EXPECT_EQ(reader.lang->LoadStringsFromTextFile(dir.filePath("missing.txt"), true), -1);
}

TEST(lcTextFiles, SavingDropsTheFormNameKeysOfItsSectionInAnyLetterCase)
{
    for (const char *header : {"[Strings]", "[strings]"}) {
        TTestForm form;
        form.lang->Strings() = {Line({"IDS_1", "новое", "new"})};
        TBuffer file(Text(header) + "\nTestForm.IDS_1=старое~!@#old~!@#\n");
        form.lang->SaveToText(stStrings, file.buffer, "~!@#");
        TTestForm reader;
        reader.lang->LoadFromText(stStrings, file.buffer, true);
        EXPECT_EQ(reader.lang->Strings(), form.lang->Strings()) << header;
    }
}

TEST(lcTextFiles, SavingIntoAnEightBitFileKeepsEveryLanguageOfTheOtherSections)
{
    // Written on Windows: Russian in Windows-1251, German in Windows-1252.
    TBuffer file("[Language names - for internal use only!]\r\nLanguage_1=Russian\r\nLanguage_2=German\r\n"
                 "[Strings]\r\nTTestForm.IDS_1=\xc4\xe0~!@#Gr\xfc\xdf~!@#\r\n"
                 "[Extended]\r\nTTestForm.Label1.Width=\xc4~!@#\xfc~!@#\r\n");
    TTestForm form;
    form.lang->Hints() = {Line({"Label1", "Подсказка", "Hinweis"})};
    form.lang->SaveToText(stHints, file.buffer, "~!@#");
    form.lang->SaveExtendedToText(file.buffer, "~!@#");
    const QString text = QString::fromUtf8(file.bytes);
    EXPECT_TRUE(text.contains("TTestForm.IDS_1=Да~!@#Grüß~!@#")) << text.toStdString();
    EXPECT_TRUE(text.contains("TTestForm.Label1=Подсказка~!@#Hinweis~!@#")) << text.toStdString();
    EXPECT_TRUE(text.contains("TTestForm.Label1.Width=Д~!@#ü~!@#")) << text.toStdString();
}

TEST(lcTextFiles, SavingWithAnotherDelimiterKeepsTheLanguagesOfTheOtherSectionsApart)
{
    const std::function<void(TlcCustomLang &, QIODevice &)> saves[] = {
        [](TlcCustomLang &lang, QIODevice &file) { lang.SaveToText(stHints, file, "~!@#"); },
        [](TlcCustomLang &lang, QIODevice &file) { lang.SaveExtendedToText(file, "~!@#"); },
    };
    for (const auto &save : saves) {
        TBuffer file(Text("[OPTIONS]\nDELIMITER=|\n[Strings]\nTTestForm.IDS_1=Да|Yes|\n"
                          "[Extended]\nTTestForm.Label1.Width=10|12|\n[Mine]\nkeep=a|b\n"));
        TTestForm form;
        save(*form.lang, file.buffer);
        TTestForm reader;
        reader.lang->LoadFromText(stStrings, file.buffer, true);
        reader.lang->LoadExtendedFromText(file.buffer, true);
        EXPECT_EQ(reader.lang->Strings(), QStringList({Line({"IDS_1", "Да", "Yes"})}));
        ASSERT_EQ(reader.lang->ExtendedTranslations().Count(), 1);
        EXPECT_EQ(reader.lang->ExtendedTranslations().Items(0).Values, Line({"10", "12"}));
        EXPECT_TRUE(QString::fromUtf8(file.bytes).contains("keep=a|b"));
    }
}

TEST(lcTextFiles, ExtendedItemsOfAnEightBitFileDecodeInTheFilesLanguages)
{
    TBuffer file("[Language names - for internal use only!]\r\nLanguage_1=German\r\nLanguage_2=Russian\r\n"
                 "[Extended]\r\nTTestForm.Label1.Width=Gr\xfc\xdf~!@#\xc4\xe0~!@#\r\n");
    TTestForm form;
    form.lang->LoadExtendedFromText(file.buffer, true);
    ASSERT_EQ(form.lang->ExtendedTranslations().Count(), 1);
    EXPECT_EQ(form.lang->ExtendedTranslations().Items(0).Values, Line({"Grüß", "Да"}));
}

TEST(lcTextFiles, ExtendedTextsWithLineBreaksSurviveSaveAndLoad)
{
    TTestForm form;
    TlcExtendedItem &item = form.lang->ExtendedTranslations().Add();
    item.SetIdentifier("Label1.Caption");
    item.Values = Line({"строка 1\r\nстрока 2", "line 1\nline 2"});
    TBuffer file;
    form.lang->SaveExtendedToText(file.buffer, "~!@#");
    TTestForm reader;
    reader.lang->LoadExtendedFromText(file.buffer, true);
    ASSERT_EQ(reader.lang->ExtendedTranslations().Count(), 1);
    EXPECT_EQ(reader.lang->ExtendedTranslations().Items(0).Values, item.Values);
}

TEST(lcTextFiles, LoadFromFileTakesColumnsByLanguageName)
{
    QTemporaryDir dir;
    const struct
    {
        const char *names;
        QString expected;
    } cases[] = {
        {"Language_1=Russian\nLanguage_2=English\n", Line({"IDS_1", "A", "B"})},
        {"Language_1=English\nLanguage_2=Russian\n", Line({"IDS_1", "B", "A"})},
        {"Language_1=English\nLanguage_2=German\n", Line({"IDS_1", "", "A"})},
    };
    for (const auto &c : cases) {
        const QString path = WriteFile(dir, "t.txt",
                                       Text("[Language names - for internal use only!]\n") + c.names +
                                           "[Strings]\nTTestForm.IDS_1=A~!@#B~!@#\n");
        TTestForm form;
        form.lang->Strings() = {Line({"IDS_9", "девять", "nine"})};
        EXPECT_TRUE(form.lang->LoadFromFile(stStrings, path));
        EXPECT_EQ(form.lang->Strings(), QStringList({c.expected, Line({"IDS_9", "девять", "nine"})})) << c.names;
        EXPECT_EQ(form.lang->LangNames(), QStringList({"Russian", "English"}));
        EXPECT_EQ(form.lang->GetStringsList(stStrings)->size(), 2);
    }
    TTestForm form;
    EXPECT_FALSE(form.lang->LoadFromFile(stStrings, dir.filePath("none.txt")));
    EXPECT_EQ(form.lang->GetLangNamesFromFile(dir.filePath("t.txt")), QStringList({"English", "German"}));
}

// Import ------------------------------------------------------------------------------------------

TEST(lcImport, AThirdLanguageJoinsAndAnUnknownOneChangesNothing)
{
    QTemporaryDir dir;
    const QString path = WriteFile(
        dir, "de.txt",
        Text("[Language names - for internal use only!]\nLanguage_1=English\nLanguage_2=German\n"
             "[Strings]\nTTestForm.IDS_1=Yes~!@#Ja~!@#\nTTestForm.IDS_3=Three~!@#Drei~!@#\nTestForm.IDS_4=x~!@#y~!@#\n"
             "[Extended]\nTTestForm.Label1.Width=~!@#20~!@#\nTTestForm.Label1.Width_TypeKind=~!@#7~!@#\n"));
    TTestForm form;
    form.lang->Strings() = {Line({"IDS_1", "Да", "Yes"}), Line({"IDS_2", "Нет", "No"})};
    TlcExtendedItem &item = form.lang->ExtendedTranslations().Add();
    item.SetIdentifier("Label1.Width");
    item.Values = Line({"", "10"});
    form.lang->ImportLanguage(path, "German");
    EXPECT_EQ(form.lang->NumOfLanguages(), 3);
    EXPECT_EQ(form.lang->LangNames(), QStringList({"Russian", "English", "German"}));
    EXPECT_EQ(form.lang->Strings(), QStringList({Line({"IDS_1", "Да", "Yes", "Ja"}), Line({"IDS_2", "Нет", "No"}),
                                                 Line({"IDS_3", "", "", "Drei"})}));
    EXPECT_EQ(form.lang->ExtendedTranslations().Count(), 1);
    EXPECT_EQ(item.Values, Line({"", "10", "20"}));

    form.lang->ImportLanguageFromFile(stStrings, path, "English");
    EXPECT_EQ(form.lang->Strings()[1], Line({"IDS_2", "Нет", "No"}));
    EXPECT_EQ(form.lang->Strings()[2], Line({"IDS_3", "", "Three", "Drei"}));

    const QStringList before = form.lang->Strings();
    form.lang->ImportLanguage(path, "Klingon");
    EXPECT_EQ(form.lang->Strings(), before);
    EXPECT_EQ(form.lang->NumOfLanguages(), 3);
    form.lang->SetDoRaiseExceptions(true);
    try {
        form.lang->ImportLanguage(path, "Klingon");
        ADD_FAILURE() << "no exception";
    } catch (const ElcException &e) {
        EXPECT_EQ(e.Message(), "Klingon not found in " + path);
    }
    EXPECT_FALSE(form.lang->Busy());
    EXPECT_EQ(form.lang->Strings(), before);
}

// LCB images --------------------------------------------------------------------------------------

namespace {

QByteArray Short(const QByteArray &text)
{
    return char(text.size()) + text;
}

QByteArray I32(qint32 value)
{
    QByteArray b(4, 0);
    for (int i = 0; i < 4; ++i)
        b[i] = char((quint32(value) >> (8 * i)) & 0xFF);
    return b;
}

QByteArray U16(quint16 value)
{
    return QByteArray(1, char(value & 0xFF)) + char(value >> 8);
}

QByteArray Utf16(const QString &text)
{
    QByteArray bytes;
    for (QChar c : text)
        bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
    return bytes;
}

// A stored localization component: two languages, tab-delimited lines, one extended item.
QByteArray Image(const QByteArray &extraProperties = {}, const QByteArray &children = QByteArray(1, 0))
{
    const QString data = QString::fromUtf8("stCaptions_Unicode\r\nLabel1\tHello\tПривет\t\r\nA\tx\ty\t\r\n"
                                           "TTestForm\tTitle\tЗаголовок\t\r\nstStrings_Unicode\r\nIDS_1\tOne\tОдин\t\r\n");
    const QByteArray values = Utf16(QString(QChar(0x044F)) + QChar(0x044E) + "10\t12\t");
    return "TPF0" + Short("TlcLang") + Short("lcLang") + Short("NumOfLanguages") + '\x02' + '\x02' +
           Short("Unknown") + '\x05' + QByteArray(10, 1) + Short("LangNames.Strings") + '\x01' + '\x06' +
           Short("English") + '\x06' + Short("Russian") + '\0' + Short("Language") + '\x06' + Short("English") +
           Short("StoreAsUTF8") + '\x09' + extraProperties + Short("TranslationData") + '\x0a' +
           I32(int(Utf16(data).size())) + Utf16(data) + Short("ExtendedTranslations") + '\x0e' + '\x01' +
           Short("Identifier") + '\x06' + Short("Label1.Width") + Short("PropertyType") + '\x07' +
           Short("tkInteger") + Short("ValuesEx") + '\x0a' + I32(int(values.size())) + values + '\0' + '\0' + '\0' +
           children;
}

QByteArray LcbFile(const QByteArray &image)
{
    QByteArray file = QByteArray("LCB file: TlcLang binary translation data") + '\0';
    const QByteArray names = "TOtherForm\r\nTTestForm";
    file += U16(2) + U16(quint16(names.size())) + names;
    const qint32 start = qint32(file.size() + 2 + 10 + 4 + 2 + 9 + 4);
    file += U16(10) + "TOtherForm" + I32(0) + U16(9) + "TTestForm" + I32(start);
    return file + image;
}

} // namespace

TEST(lcLcb, AGoodImageFillsTheComponentInItsOwnDelimiter)
{
    TTestForm form;
    form.lang->Captions() = {Line({"Old", "a", "b"})};
    TLCBFileManager manager;
    manager.LoadLCBStream(form.lang, "TTestForm", LcbFile(Image()));
    EXPECT_EQ(form.lang->Captions(), QStringList({Line({"TTestForm", "Title", "Заголовок"}), Line({"Label1", "Hello", "Привет"}),
                                                  Line({"A", "x", "y"})}));
    EXPECT_EQ(form.lang->Strings(), QStringList({Line({"IDS_1", "One", "Один"})}));
    EXPECT_EQ(form.lang->LangNames(), QStringList({"English", "Russian"}));
    EXPECT_TRUE(form.lang->StoreAsUTF8());
    ASSERT_EQ(form.lang->ExtendedTranslations().Count(), 1);
    EXPECT_EQ(form.lang->ExtendedTranslations().Items(0).Values, Line({"10", "12"}));
    EXPECT_EQ(form.lang->ExtendedTranslations().Items(0).PropertyType, tkInteger);
    EXPECT_EQ(manager.NamesBlock(), QStringList({"TOtherForm", "TTestForm"}));

    // No entry for the form: nothing changes.
    TTestForm other;
    manager.LoadLCBStream(other.lang, "TNobody", LcbFile(Image()));
    EXPECT_EQ(other.lang->LangNames(), QStringList({"Russian", "English"}));
}

TEST(lcLcb, EightBitExtendedItemsDecodeLikeTheirLanguages)
{
    // An older writer: 8-bit data in UTF-8, the item's texts as 8-bit bytes either way.
    const QByteArray data = "stStrings\r\nIDS_1\tOne\t" + QString::fromUtf8("Один").toUtf8() + "\t\r\n";
    const QByteArray values = "Hello\t" + QString::fromUtf8("Привет").toUtf8() + "\t";
    const QByteArray properties[] = {Short("Values") + '\x06' + Short(values),
                                     Short("ValuesEx") + '\x0a' + I32(int(values.size())) + values};
    for (const QByteArray &property : properties) {
        const QByteArray image = "TPF0" + Short("TlcLang") + Short("lcLang") + Short("NumOfLanguages") + '\x02' + '\x02' +
                                 Short("StoreAsUTF8") + '\x09' + Short("TranslationData") + '\x0a' +
                                 I32(int(data.size())) + data + Short("ExtendedTranslations") + '\x0e' + '\x01' +
                                 Short("Identifier") + '\x06' + Short("Label1.Caption") + property + QByteArray(4, 0);
        TTestForm form;
        TLCBFileManager().LoadLCBStream(form.lang, "TTestForm", LcbFile(image));
        EXPECT_EQ(form.lang->Strings(), QStringList({Line({"IDS_1", "One", "Один"})}));
        ASSERT_EQ(form.lang->ExtendedTranslations().Count(), 1);
        EXPECT_EQ(form.lang->ExtendedTranslations().Items(0).Values, Line({"Hello", "Привет"})) << property.left(9).toStdString();
    }
}

TEST(lcLcb, DamagedImagesAreRefusedAndLeaveTheComponentWhole)
{
    const QByteArray good = LcbFile(Image());
    QByteArray badHeader = good;
    badHeader[3] = 'x';
    QByteArray noZero = good;
    noZero[41] = 'x';
    QByteArray hugeCount = good.left(42) + U16(65535) + U16(0);
    QByteArray nested = LcbFile(Image(Short("Deep") + QByteArray(5000, '\x01')));
    const QByteArray cases[] = {
        "LC",
        badHeader,
        noZero,
        hugeCount,
        nested,
        LcbFile(Image(Short("Wide") + '\x12' + I32(0x7fffffff))),
        LcbFile(Image(Short("Bin") + '\x0a' + I32(-5))),
        LcbFile(Image(Short("Bad") + '\x63')),
        LcbFile(Image({}, Short("TButton") + Short("Evil") + '\0' + '\0' + '\0')),
    };
    for (const QByteArray &bytes : cases) {
        TTestForm form;
        form.lang->Captions() = {Line({"Old", "a", "b"})};
        TLCBFileManager manager;
        EXPECT_THROW(manager.LoadLCBStream(form.lang, "TTestForm", bytes), ElcException) << bytes.size();
        EXPECT_EQ(form.lang->Captions(), QStringList({Line({"Old", "a", "b"})}));
    }
    for (qsizetype size = 0; size < good.size(); ++size) {
        TTestForm form;
        TLCBFileManager manager;
        EXPECT_THROW(manager.LoadLCBStream(form.lang, "TTestForm", good.left(size)), ElcException) << size;
    }
}

TEST(lcLcb, ListsOfMoreItemsThanAnyFormHasAreRefused)
{
    const auto list = [](int items) { return Short("Many") + '\x01' + QByteArray(items, '\x09') + '\0'; };
    const auto set = [](int names) { return Short("Set") + '\x0b' + Short("a").repeated(names) + '\0'; };
    // The image has one extended item of its own.
    const auto extended = [](int items) { return Short("ExtendedTranslations") + '\x0e' + QByteArray("\x01\0", 2).repeated(items) + '\0'; };
    const struct
    {
        const char *name;
        QByteArray properties;
        bool refused;
    } cases[] = {
        {"a list of 65536 items", list(65536), false},
        {"a list of 65537 items", list(65537), true},
        {"a set of 65536 names", set(65536), false},
        {"a set of 65537 names", set(65537), true},
        {"65536 extended items", extended(65535), false},
        {"65537 extended items", extended(65536), true},
    };
    for (const auto &c : cases) {
        TTestForm form;
        form.lang->Captions() = {Line({"Old", "a", "b"})};
        try {
            TLCBFileManager().LoadLCBStream(form.lang, "TTestForm", LcbFile(Image(c.properties)));
            EXPECT_FALSE(c.refused) << c.name;
        } catch (const ElcException &e) {
            EXPECT_TRUE(c.refused) << c.name;
            EXPECT_EQ(e.Message(), "Unrecognized stream format!") << c.name;
            EXPECT_EQ(form.lang->Captions(), QStringList({Line({"Old", "a", "b"})})) << c.name;
        }
    }
}

TEST(lcLcb, LoadFromFileSwapsColumnsByName)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, "t.lcb", LcbFile(Image()));
    TTestForm form;
    EXPECT_TRUE(form.lang->LoadFromFile(stStrings, path));
    EXPECT_EQ(form.lang->Strings(), QStringList({Line({"IDS_1", "Один", "One"})}));
    EXPECT_EQ(form.lang->GetLangNamesFromFile(path), QStringList({"English", "Russian"}));

    // A component with a delimiter of its own gets the loaded lines in it.
    TTestForm other;
    other.lang->SetLangDelim(2);
    EXPECT_TRUE(other.lang->LoadFromFile(stStrings, path));
    EXPECT_EQ(other.lang->Strings(), QStringList({"IDS_1\x02Один\x02One\x02"}));
}

TEST(lcFiles, APipeADeviceOrAHugeFileIsRefusedNeitherReadNorWrittenOver)
{
    // A pipe would wait for a writer for ever, a device or a huge file would fill the memory.
    QTemporaryDir dir;
    const QString pipe = dir.filePath("pipe.lng");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString zero = dir.filePath("zero.lcb");
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    const QString huge = dir.filePath("huge.lng");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(65 * 1024 * 1024));
    }
    const std::function<void(TlcLang &, const QString &)> loaders[] = {
        [](TlcLang &l, const QString &f) { l.LoadAllFromTextFile(f, true); },
        [](TlcLang &l, const QString &f) { l.LoadStringsFromTextFile(f, true); },
        [](TlcLang &l, const QString &f) { l.LoadExtendedFromFile(f, true); },
        [](TlcLang &l, const QString &f) { l.ImportLanguage(f, "English"); },
        [](TlcLang &l, const QString &f) { TLCBFileManager().LoadLCBFile(&l, "TTestForm", f); },
    };
    for (const QString &path : {huge, pipe, zero}) {
        TTestForm form;
        for (size_t i = 0; i < std::size(loaders); ++i)
            EXPECT_THROW(loaders[i](*form.lang, path), ElcException) << path.toStdString() << " " << i;
        EXPECT_FALSE(form.lang->SaveAllToTextFile(path, "")) << path.toStdString();
        EXPECT_EQ(form.lang->SaveStringsToTextFile(path, ""), -1) << path.toStdString();
    }
    EXPECT_EQ(QFileInfo(huge).size(), 65 * 1024 * 1024);
    EXPECT_FALSE(QFileInfo(pipe).isFile());
    EXPECT_TRUE(QFileInfo(zero).isSymLink());
}

// Dispatcher --------------------------------------------------------------------------------------

TEST(lcDispatcher, TwoFormsSwitchTogetherAfterOneVetoRound)
{
    TTestForm first, second(QStringLiteral("Second"));
    for (TTestForm *form : {&first, &second})
        form->lang->Captions() = {Line({"Label1", "Метка", "Label"})};
    TlcLangDispatcher dispatcher;
    dispatcher.SetLangNames({"Russian", "English"});
    first.lang->SetLangDispatcher(&dispatcher);
    second.lang->SetLangDispatcher(&dispatcher);
    EXPECT_EQ(dispatcher.LinkedCount(), 2);
    int changed = 0;
    dispatcher.OnLanguageChanged = [&](QObject *) { ++changed; };

    bool refuse = true;
    second.lang->OnLanguageChanging = [&](QObject *, int, bool &allow) { allow = !refuse; };
    dispatcher.SetActiveLanguage(2);
    EXPECT_EQ(dispatcher.ActiveLanguage(), 1);
    EXPECT_EQ(first.label->Caption, "");
    EXPECT_EQ(changed, 0);

    refuse = false;
    dispatcher.SetActiveLanguage(2);
    EXPECT_EQ(first.label->Caption, "Label");
    EXPECT_EQ(second.label->Caption, "Label");
    EXPECT_EQ(dispatcher.Language(), "English");
    EXPECT_EQ(second.lang->Language(), "English");
    EXPECT_EQ(changed, 1);

    // A value one component cannot take is refused before anything moves.
    EXPECT_THROW(dispatcher.SetActiveLanguage(3), ELanguageError);
    EXPECT_EQ(dispatcher.ActiveLanguage(), 2);
    EXPECT_THROW(dispatcher.SetNumOfLanguages(0), ELanguageError);
    EXPECT_EQ(dispatcher.NumOfLanguages(), 2);

    dispatcher.SetNumOfLanguages(3);
    EXPECT_EQ(dispatcher.LangNames().last(), "Language N3");
    EXPECT_EQ(first.lang->NumOfLanguages(), 3);
    dispatcher.SetDefaultLanguage(4);
    EXPECT_EQ(dispatcher.DefaultLanguage(), 1);

    second.lang->SetLangDispatcher(nullptr);
    EXPECT_EQ(dispatcher.LinkedCount(), 1);
}

TEST(lcDispatcher, ALanguageBelowOneIsRefusedWithNoComponentLinked)
{
    for (const int value : {0, -3}) {
        TlcLangDispatcher dispatcher;
        dispatcher.SetLangNames({"Russian", "English"});
        EXPECT_THROW(dispatcher.SetActiveLanguage(value), ELanguageError) << value;
        EXPECT_EQ(dispatcher.ActiveLanguage(), 1);
        EXPECT_EQ(dispatcher.Language(), "Russian");
    }
}

TEST(lcDispatcher, AFormWithoutCharacterSetsDecodesOldDataInThoseOfAnotherLinkedForm)
{
    static int argc = 1;
    static char name[] = "test";
    static char *argv[] = {name, nullptr};
    static QApplication *app = QCoreApplication::instance() ? nullptr : new QApplication(argc, argv);
    (void)app;
    TlcLangDispatcher dispatcher;
    dispatcher.SetLangNames({"Russian", "Greek"});
    QWidget mainForm, secondForm;
    TlcLang mainLang(&mainForm), secondLang(&secondForm);
    mainLang.CharSets() = {Line({"QWidget", "RUSSIAN_CHARSET", "GREEK_CHARSET"})};
    mainLang.SetLangDispatcher(&dispatcher);

    // The second form is read as a form is: its dispatcher first, then its 8-bit data.
    secondLang.BeginLoad();
    secondLang.SetLangDispatcher(&dispatcher);
    secondLang.ReadTranslationData("stStrings\r\nIDS_7\x01\xc4\xe0\x01\xcd\xe1\xe9\x01\r\n");
    secondLang.Loaded();
    EXPECT_EQ(secondLang.Strings().first(), Line({"IDS_7", "Да", "Ναι"}));
    EXPECT_EQ(secondLang.GetCharSetOfLanguage(2), 161);
}

TEST(lcDispatcher, LinkingLoadsTheFileAndTestModeShowsUntranslatedTexts)
{
    QTemporaryDir dir;
    TlcLangDispatcher dispatcher;
    dispatcher.FileName = WriteFile(dir, "t.txt",
                                    Text("[Language names - for internal use only!]\nLanguage_1=Russian\nLanguage_2=English\n"
                                         "[Captions]\nTTestForm.Label1=Метка~!@#~!@#\n"
                                         "[Strings]\nTTestForm.IDS_1=Abc~!@#~!@#\n"));
    TTestForm form;
    form.lang->SetLangNames({"X"});
    form.lang->SetLangDispatcher(&dispatcher);
    EXPECT_EQ(dispatcher.LangNames(), QStringList({"Russian", "English"}));
    EXPECT_EQ(form.label->Caption, QString::fromUtf8("Метка"));

    dispatcher.TestModeInfo.Active = true;
    const struct
    {
        TTestModeKind kind;
        int percent;
        const char *label;
        const char *message;
    } cases[] = {
        {tmkFlipCase, 100, "мЕТКА", "aBC"},
        {tmkExpandChars, 100, "М*е*т*к*а*", "A*b*c*"},
        {tmkExpandChars, 50, "Метк*а*", "Abc*"},
        {tmkExpandWidth, 0, "МЕТКА", "ABC"},
    };
    for (const auto &c : cases) {
        dispatcher.TestModeInfo.Kind = c.kind;
        dispatcher.TestModeInfo.ExpandCharsPercent = c.percent;
        dispatcher.TestModeInfo.ExpandWidthPercent = c.percent;
        dispatcher.SetActiveLanguage(1);
        dispatcher.SetActiveLanguage(2);
        EXPECT_EQ(form.label->Caption, QString::fromUtf8(c.label)) << c.kind;
        EXPECT_EQ(form.lang->GetTextOrDefault("IDS_1"), QString::fromUtf8(c.message)) << c.kind;
    }
    dispatcher.TestModeInfo.Kind = tmkExpandWidth;
    dispatcher.TestModeInfo.ExpandWidthPercent = 100;
    EXPECT_GT(form.lang->ApplyTestMode("Abc").size(), 3);
    EXPECT_EQ(form.lang->ApplyTestMode(""), "");
}

// Extended items ----------------------------------------------------------------------------------

TEST(lcExtended, ItemsSetPropertiesByKindAndPath)
{
    TTestForm form;
    form.label->Items = {"a", "b", "c"};
    const struct
    {
        const char *identifier;
        QString values;
    } items[] = {
        {"Label1.Width", Line({"10", "12"})},
        {"Label1.Scale", Line({"1.5", "2.25"})},
        {"Label1.Visible", Line({"True", "False"})},
        {"Label1.Items", Line({"x,y,z,w", "x,y"})},
        {"Label1.Columns[1].Title", Line({"Один", "One"})},
        {"Label1.Columns[5].Title", Line({"Пять", "Five"})},
        {"TTestForm.Caption", Line({"Окно", ""})},
    };
    for (const auto &i : items) {
        TlcExtendedItem &item = form.lang->ExtendedTranslations().Add();
        item.SetIdentifier(i.identifier);
        item.Values = i.values;
        item.PropertyType = form.lang->GetPropertyKind(i.identifier);
    }
    EXPECT_EQ(form.lang->GetPropertyKind("Label1.Width"), tkInteger);
    EXPECT_EQ(form.lang->GetPropertyKind("Label1.Items"), tkClass);
    EXPECT_EQ(form.lang->GetPropertyKind("Label1.Nothing"), tkUnknown);
    EXPECT_TRUE(form.lang->ExtendedTranslations().Find("label1.WIDTH"));

    form.lang->SetActiveLanguage(2);
    EXPECT_EQ(form.label->Width, 12);
    EXPECT_EQ(form.label->Scale, 2.25);
    EXPECT_FALSE(form.label->Visible);
    EXPECT_EQ(form.label->Items, QStringList({"x", "y"}));
    EXPECT_EQ(form.label->Columns()->Items[1]->Title, "One");
    EXPECT_EQ(form.Caption, "");
    form.lang->SetUseDefaultLanguage(true);
    form.lang->SetActiveLanguage(1);
    form.lang->SetActiveLanguage(2);
    EXPECT_EQ(form.Caption, QString::fromUtf8("Окно"));
    form.lang->SetActiveLanguage(1);
    EXPECT_EQ(form.label->Items, QStringList({"x", "y", "z", "w"}));
    EXPECT_EQ(form.label->Width, 10);

    form.lang->SetPropValueText("Label1.Width", "ten");
    EXPECT_EQ(form.label->Width, 10);
    EXPECT_EQ(form.lang->GetPropValueText("Label1.Scale"), "1.5");
    EXPECT_EQ(form.lang->GetPropValueText("Label1.Items"), "x,y,z,w");

    // Items follow a renamed component and go with a removed one.
    form.lang->RenameKeys("Label1", "Label2");
    EXPECT_EQ(form.lang->ExtendedTranslations().Items(0).Identifier(), "Label2.Width");
    form.label->setObjectName("Label2");
    form.lang->Notification(form.label);
    EXPECT_EQ(form.lang->ExtendedTranslations().Count(), 1);

    TBuffer out;
    form.lang->SaveExtendedToText(out.buffer, "~!@#");
    EXPECT_TRUE(QString::fromUtf8(out.bytes).contains("TTestForm.TTestForm.Caption=Окно~!@#~!@#")) << out.bytes.toStdString();
    EXPECT_TRUE(QString::fromUtf8(out.bytes).contains("TTestForm.TTestForm.Caption_TypeKind=tkUString"));
}

TEST(lcExtended, PathsFindTheirComponentInAnyLetterCase)
{
    const struct
    {
        const char *identifier, *text, *readBack;
    } cases[] = {
        {"label1.Width", "12", "Label1.Width"},
        {"LABEL1.Columns[1].Title", "One", "Label1.Columns[1].Title"},
    };
    for (const auto &c : cases) {
        TTestForm form;
        form.lang->SetPropValueText(c.identifier, c.text);
        EXPECT_EQ(form.lang->GetPropValueText(c.readBack), c.text) << c.identifier;
        // Loaded in the designer, the item is bound to that component, not dropped.
        form.lang->SetDesigning(true);
        form.lang->BeginLoad();
        form.lang->ExtendedTranslations().Add().SetIdentifier(c.identifier);
        form.lang->Loaded();
        ASSERT_EQ(form.lang->ExtendedTranslations().Count(), 1) << c.identifier;
        EXPECT_EQ(form.lang->ExtendedTranslations().Items(0).Identifier(), "Label1" + QString(c.identifier).mid(6));
    }
}

// Upkeep ------------------------------------------------------------------------------------------

TEST(lcUpkeep, DialogsTabsRenamesExclusionsAndResourceStrings)
{
    TTestForm form;
    TlcLang &lang = *form.lang;
    lang.BeginLoad();
    lang.SetNeedAllDlgs(true);
    lang.Captions() = {QString("Label1\tМетка\tLabel\t")};
    lang.Loaded();
    EXPECT_EQ(lang.DlgsCaptions().size(), 86);
    EXPECT_EQ(lang.DlgsCaptions()[15], Line({"Open", "&Open"}));
    EXPECT_EQ(lang.DlgsCaptions().last(), Line({"Find", "Find"}));
    EXPECT_EQ(lang.Captions().first(), Line({"Label1", "Метка", "Label"}));
    lang.BeginLoad();
    lang.SetNeedAllDlgs(false);
    lang.Loaded();
    EXPECT_EQ(lang.DlgsCaptions().size(), 15);

    lang.SetSmartExcludeProps({"Label1.Width"});
    EXPECT_TRUE(lang.IsExcludedProperty("Label1", "Width"));
    EXPECT_FALSE(lang.IsExcludedProperty("Label2", "Width"));

    lang.Hints() = {Line({"Label1", "a", "b"})};
    lang.SetDoNotTranslate({"Label1"});
    EXPECT_EQ(lang.Hints().size(), 1); // run time: lines wait
    lang.Notification(form.label);
    EXPECT_TRUE(lang.DoNotTranslate().isEmpty());
    lang.SetDesigning(true);
    lang.SetDoNotTranslate({"!TTestLabel"});
    EXPECT_TRUE(lang.Hints().isEmpty());
    lang.SetDesigning(false);

    lang.Strings() = {Line({"IDS_1", "Файл", "File"})};
    lang.SetHandleResourceStrings(true);
    lang.SetResourceLanguageIndex(2);
    lang.Loaded();
    EXPECT_EQ(lcResourceStrings::Translator(), &lang);
    EXPECT_EQ(lcResourceStrings::LoadResString(7, "File"), QString::fromUtf8("Файл"));
    EXPECT_EQ(lcResourceStrings::LoadResString(7, "Other"), "Other");
    lang.SetActiveLanguage(2);
    EXPECT_EQ(lcResourceStrings::LoadResString(7, "File"), "File");

    lang.Captions() = {Line({"TTestForm", "Окно", "Window"}), Line({"Label1", "x", "y"}), Line({"Label10", "x", "y"})};
    lang.RenameKeys("Label1", "Caption1");
    EXPECT_EQ(lang.Captions()[1], Line({"Caption1", "x", "y"}));
    EXPECT_EQ(lang.Captions()[2], Line({"Label10", "x", "y"}));
    lang.RenameKeys("TestForm", "MainForm");
    EXPECT_EQ(lang.Captions()[0], Line({"TMainForm", "Окно", "Window"}));

    // A component that goes away leaves the filters.
    auto *gone = new TTestLabel("Gone", &form);
    lang.SetDoNotTranslate({"Gone", "Label1"});
    lang.Loaded();
    delete gone;
    EXPECT_EQ(lang.DoNotTranslate(), QStringList({"Label1"}));

    lang.SetChangeLocales(true);
    lang.Locales() = {Line({"Decimal Separator", ",", "."}), Line({"Long Day Names", "a,b,c,d,e,f,g,h", "x"})};
    lang.SetActiveLanguage(1);
    EXPECT_EQ(FormatSettings().DecimalSeparator, QChar(','));
    EXPECT_EQ(FormatSettings().LongDayNames.size(), 7);
}

TEST(lcUpkeep, ResourceStringsAreFoundByTheTextsOfANewResourceLanguage)
{
    TTestForm form;
    TlcLang &lang = *form.lang;
    lang.Strings() = {Line({"IDS_1", "Файл", "File"}), Line({"IDS_2", "Правка", "Edit"})};
    lang.SetHandleResourceStrings(true);
    lang.Loaded();
    lang.SetResourceLanguageIndex(2);
    const struct
    {
        const char *text;
        const char *expected;
    } cases[] = {{"Edit", "Правка"}, {"File", "Файл"}, {"Правка", "Правка"}};
    for (const auto &c : cases)
        EXPECT_EQ(lcResourceStrings::LoadResString(7, QString::fromUtf8(c.text)), QString::fromUtf8(c.expected)) << c.text;
}

TEST(lcUpkeep, ATranslationSetAtRunTimeReachesTheResourceTexts)
{
    TTestForm form;
    TlcLang &lang = *form.lang;
    lang.Strings() = {Line({"IDS_1", "Файл", "File"}), Line({"IDS_2", "Правка", "Edit"})};
    lang.SetHandleResourceStrings(true);
    lang.Loaded();
    lang.SetActiveLanguage(2);
    lang.SetTranslation(lang.Strings(), "Datei", 2, "ids_1");
    lang.SetTranslation(lang.Strings(), "Ящик", 1, "IDS_2");
    const struct
    {
        const char *text;
        const char *expected;
    } cases[] = {{"Файл", "Datei"}, {"Ящик", "Edit"}, {"Правка", "Правка"}};
    for (const auto &c : cases)
        EXPECT_EQ(lcResourceStrings::LoadResString(7, QString::fromUtf8(c.text)), QString::fromUtf8(c.expected)) << c.text;
    EXPECT_EQ(lang.GetTextOrDefault("IDS_1"), "Datei");
}

TEST(lcCollect, DesignTimeCollectionListsShownTexts)
{
    TTestForm form;
    form.Caption = "Окно";
    form.label->Caption = "Метка";
    form.label->Items = {"a", "b"};
    form.label->Columns()->Items[0]->Title = "Колонка";
    auto *separator = new TTestLabel("Skipped", &form);
    separator->Caption = "x";
    form.lang->SetDoNotTranslate({"Skipped"});
    CollectFormTexts(*form.lang);
    EXPECT_EQ(form.lang->Captions(), QStringList({Line({"TTestForm", "Окно", ""}), Line({"Label1", "Метка", ""})}));
    EXPECT_EQ(form.lang->MultiLines(), QStringList({Line({"Label1.Items", "a,b", ""})}));
    EXPECT_EQ(form.lang->Collections(), QStringList({Line({"Label1.Columns[0].Title", "Колонка", ""})}));
}

class TFontMemo : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QFont Font MEMBER Font)
public:
    QFont Font{QStringLiteral("Arial")};
};

class TFontForm : public TTestForm
{
    Q_OBJECT
    Q_PROPERTY(QFont Font MEMBER Font)
public:
    TFontForm()
    {
        auto *memo = new TFontMemo;
        memo->setParent(this);
        memo->setObjectName("Memo1");
    }
    QFont Font{QStringLiteral("Arial")};
};

TEST(lcCollect, TheFormsOwnFontAndCharacterSetAreCollectedFirst)
{
    const QString form = "TFontForm", memo = "Memo1", arial = "Arial";
    const struct
    {
        const char *name;
        QStringList smartExcluded, fontsBefore;
        QStringList fonts, charSets;
    } cases[] = {
        {"collected", {}, {},
         {Line({form, arial, ""}), Line({memo, arial, ""})},
         {Line({form, "RUSSIAN_CHARSET", ""}), Line({memo, "DEFAULT_CHARSET", ""})}},
        {"form's font excluded", {"TFontForm.Font"}, {}, {Line({memo, arial, ""})}, {Line({memo, "DEFAULT_CHARSET", ""})}},
        {"a control's line of the same font stays the control's", {}, {Line({memo, arial, "Tahoma"})},
         {Line({form, arial, ""}), Line({memo, arial, "Tahoma"})},
         {Line({form, "RUSSIAN_CHARSET", ""}), Line({memo, "DEFAULT_CHARSET", ""})}},
    };
    for (const auto &c : cases) {
        TFontForm owner;
        VclFont::SetCharset(&owner, 204);
        owner.lang->SetSmartExcludeProps(c.smartExcluded);
        owner.lang->SetDesigning(true);
        owner.lang->Fonts() = c.fontsBefore;
        owner.lang->UpdateStrings();
        EXPECT_EQ(owner.lang->Fonts(), c.fonts) << c.name;
        EXPECT_EQ(owner.lang->CharSets(), c.charSets) << c.name;
    }
}

class TTestAction : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Caption MEMBER Caption)
    Q_PROPERTY(QString Hint MEMBER Hint)
public:
    QString Caption, Hint;
};

class TActionButton : public TTestLabel
{
    Q_OBJECT
    Q_PROPERTY(QObject *Action MEMBER Action)
public:
    using TTestLabel::TTestLabel;
    QObject *Action = nullptr;
};

TEST(lcActions, ATextIsTheActionsOnlyWhenItIsTheSameLetterForLetter)
{
    TTestAction action;
    action.Caption = "Next";
    action.Hint = "Next chord";
    const struct
    {
        const char *name;
        bool linked;
        const char *caption, *hint;
        int kind;
        bool expected;
    } cases[] = {
        {"no action", false, "Next", "Next chord", 0, false},
        {"same caption", true, "Next", "", 0, true},
        {"caption in other case", true, "next", "", 0, false},
        {"same hint", true, "", "Next chord", 1, true},
        {"other hint", true, "", "Back", 1, false},
        {"not a caption or hint", true, "Next", "Next chord", 2, false},
    };
    for (const auto &c : cases) {
        TActionButton button("Button1", nullptr);
        button.Action = c.linked ? &action : nullptr;
        button.Caption = c.caption;
        button.Hint = c.hint;
        EXPECT_EQ(IsActionLinked(&button, c.kind), c.expected) << c.name;
    }
    EXPECT_FALSE(IsActionLinked(nullptr, 0));
}

TEST(lcActions, ACaptionTakenFromAnActionIsNeitherCollectedNorTranslated)
{
    TTestAction action;
    action.Caption = "Next";
    TTestForm form;
    auto *button = new TActionButton("Button1", &form);
    button->Action = &action;
    button->Caption = "Next";
    form.label->Caption = "Metka";
    form.lang->SetDesigning(true);
    form.lang->UpdateStrings();
    EXPECT_EQ(form.lang->Captions(), QStringList({Line({"Label1", "Metka", ""})}));

    form.lang->SetDesigning(false);
    form.lang->Captions() = {Line({"TTestForm", "", ""}), Line({"Button1", "Next", "Weiter"}),
                             Line({"Label1", "Metka", "Label"})};
    form.lang->SetActiveLanguage(2);
    EXPECT_EQ(button->Caption, "Next");
    EXPECT_EQ(form.label->Caption, "Label");
    EXPECT_EQ(form.lang->Captions(), QStringList({Line({"Label1", "Metka", "Label"})}));
    EXPECT_TRUE(form.lang->HoldingList().filter("Button1").isEmpty());
}

#include "TestlcFiles.moc"
