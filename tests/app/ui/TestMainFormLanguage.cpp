// The real main window switching its language at run time, offscreen on a temporary data folder.
#include "app/ui/MainUnit.h"
#include "app/ui/UnitPreview.h"
#include "LangLines.h"
#include "TestSupport.h"
#include "lang/MemIni.h"
#include "lang/lcComp.h"
#include "lang/lcLangCombo.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Properties.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using LangLines::D;
using LangLines::Line;

void ChooseInLanguageBox(TMainForm &form, int index)
{
    form.LangComboBox->setCurrentIndex(index);
    emit form.LangComboBox->activated(index);
}

} // namespace

class TestMainFormLanguage : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Application::ResetTermination();
        Application::SetMessageBoxHook([](const QString &, const QString &, int) { return int(Application::IDOK); });
    }

    // A name is written one pixel below its row's top; the row must hold it whole.
    void LanguageRowsHoldTheirNamesUnderALargeFont()
    {
        const int pointSizes[] = {9, 20, 32};
        const TestSupport::TAppFontSize fontSize;
        for (const int pointSize : pointSizes) {
            fontSize.Set(pointSize);
            QTemporaryDir dir;
            TMainForm form(dir.path());
            auto *box = static_cast<TlcLangCombo *>(form.LangComboBox);
            for (int i = 0; i < box->LanguageInfos()->Count(); ++i) {
                QFont names = box->font();
                names.setFamily(box->LanguageInfos()->Items(i)->FontName());
                QVERIFY2(box->MeasureItem(i) >= 1 + QFontMetrics(names).height(), qPrintable(QString::number(pointSize)));
                QVERIFY(box->MeasureItem(i) >= 18);
            }
        }
    }

    void CarriedDataReadsBackByteForByteAndHoldsBothLanguages()
    {
        QFile file(QStringLiteral(":/lang/MainForm.TranslationData"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        QObject owner;
        TlcLang lang(&owner);
        lang.SetNumOfLanguages(2);
        lang.ReadTranslationData(data);
        QCOMPARE(lang.WriteTranslationData(), data);
        QVERIFY(lang.Strings().size() >= 14);
        for (int type : {stCaptions, stHints, stMultiLines, stStrings, stOtherStrings})
            for (const QString &line : *lang.GetStringsList(type)) {
                QVERIFY2(!GetDelimitedItem(line, D, 1).isEmpty(), qPrintable(line));
                QVERIFY2(!GetDelimitedItem(line, D, 2).isEmpty(), qPrintable(line));
            }
    }

    void StartsInTheSystemLanguageAndEveryLineFindsItsComponent()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        // The tests run in the C locale: English.
        QCOMPARE(form.lcLang->ActiveLanguage(), 2);
        QCOMPARE(form.LangComboBox->ItemIndex(), 1);
        QCOMPARE(form.MainTab->Caption(), QStringLiteral("Chords"));
        QCOMPARE(form.Ids(1), QStringLiteral("Error"));
        QCOMPARE(form.Ids(49), QStringLiteral("Line "));
        QCOMPARE(form.Ids(9999), QString());
        QVERIFY2(form.lcLang->HoldingList().isEmpty(), qPrintable(form.lcLang->HoldingList().join(" | ")));
        QCOMPARE(form.LangComboBox->Items(), QStringList({QStringLiteral("Русский"), QStringLiteral("English")}));
    }

    void LanguageBoxSwitchesTextsNotationRootsAndQtDialogs()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        form.Root->SetItemIndex(11);
        // An open preview window switches with the main window.
        form.PopUpPreviewClick();
        QVERIFY(form.FormPreview);

        ChooseInLanguageBox(form, 0);
        QCOMPARE(form.lcLang->ActiveLanguage(), 1);
        QCOMPARE(form.lcLang->Language(), QStringLiteral("Russian"));
        QCOMPARE(form.MainTab->Caption(), QStringLiteral("Аккорды"));
        QCOMPARE(form.EastWestRG->Caption(), QStringLiteral("Нотация"));
        QCOMPARE(form.EastWestRG->Items().first(), QStringLiteral("H - си, B - си бемоль"));
        QCOMPARE(form.EastWestRG->ItemIndex(), 0);
        QCOMPARE(form.Root->ItemIndex(), 11);
        QCOMPARE(form.Root->Text(), QStringLiteral("H (си)"));
        QCOMPARE(form.Ids(1), QStringLiteral("Ошибка"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
        QCOMPARE(form.FormPreview->windowTitle(), QStringLiteral("Предпросмотр"));

        ChooseInLanguageBox(form, 1);
        QCOMPARE(form.MainTab->Caption(), QStringLiteral("Chords"));
        QCOMPARE(form.EastWestRG->Items().last(), QStringLiteral("B - si, Bb - si flat"));
        QCOMPARE(form.EastWestRG->ItemIndex(), 1);
        QCOMPARE(form.Root->ItemIndex(), 11);
        QCOMPARE(form.Root->Text(), QStringLiteral("B (si)"));
        QCOMPARE(form.Ids(1), QStringLiteral("Error"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
        QCOMPARE(form.FormPreview->windowTitle(), QStringLiteral("Preview"));
    }

    // Qt's own texts follow the language the settings start in, not only a later change.
    void QtDialogTextsFollowTheStartLanguage()
    {
        const struct
        {
            int language;
            const char *cancel;
        } cases[] = {{0, "Отмена"}, {1, "Cancel"}};
        for (const auto &c : cases) {
            QTemporaryDir dir;
            QFile settings(dir.filePath(QStringLiteral("veltrasomin_settings.ini")));
            QVERIFY(settings.open(QIODevice::WriteOnly));
            settings.write(QByteArray("[OPTIONS]\nLangComboBox=") + QByteArray::number(c.language) + '\n');
            settings.close();
            TMainForm form(dir.path());
            QCOMPARE(form.lcLang->ActiveLanguage(), c.language + 1);
            QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8(c.cancel));
        }
    }

    void ListsKeepTheirSelectionAndHintsFollow()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        form.EastWestRG->SetItemIndex(1);
        form.lcLang->SetStringsList(stHints, {Line({"ButtonNext", "Следующая аппликатура", "Next fingering"})});
        QCOMPARE(form.ButtonNext->Hint(), QStringLiteral("Next fingering"));

        form.lcLang->SetActiveLanguage(1);
        QCOMPARE(form.EastWestRG->Items(),
                 QStringList({QStringLiteral("H - си, B - си бемоль"), QStringLiteral("B - си, Bb - си бемоль")}));
        QCOMPARE(form.EastWestRG->ItemIndex(), 1);
        QCOMPARE(form.ButtonNext->Hint(), QStringLiteral("Следующая аппликатура"));

        // A combo's items are written one by one; the selection stays.
        form.ChordType->SetItemIndex(2);
        const QStringList before = form.ChordType->Items();
        QStringList russian = before;
        russian[0] = QStringLiteral("мажор");
        form.lcLang->SetStringsList(stMultiLines, form.lcLang->MultiLines() +
                                                      QStringList{Line({"ChordType.Items", lcText::CommaText(russian),
                                                                        lcText::CommaText(before)})});
        QCOMPARE(form.ChordType->Items(), russian);
        QCOMPARE(form.ChordType->ItemIndex(), 2);
        form.lcLang->SetActiveLanguage(2);
        QCOMPARE(form.ChordType->Items(), before);
        QCOMPARE(form.ChordType->ItemIndex(), 2);
    }

    void FontsAndCharacterSetsFollowUnlessInherited()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        QFont own = form.ButtonNext->Font();
        own.setFamily(QStringLiteral("DejaVu Sans"));
        form.ButtonNext->SetFont(own);
        const QString inherited = form.OptionsFlats->Font().family();
        form.lcLang->CharSets() = {Line({"ButtonNext", "RUSSIAN_CHARSET", "ANSI_CHARSET"}),
                                   Line({"OptionsFlats", "RUSSIAN_CHARSET", "GREEK_CHARSET"})};
        form.lcLang->SetStringsList(stFonts, {Line({"ButtonNext", "DejaVu Serif", "DejaVu Sans Mono"}),
                                              Line({"OptionsFlats", "DejaVu Serif", "DejaVu Serif"})});
        QCOMPARE(form.ButtonNext->Font().family(), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(VclFont::Charset(form.ButtonNext), 0);
        form.lcLang->SetActiveLanguage(1);
        QCOMPARE(form.ButtonNext->Font().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(VclFont::Charset(form.ButtonNext), 204);
        QCOMPARE(form.OptionsFlats->Font().family(), inherited);
        QCOMPARE(VclFont::Charset(form.OptionsFlats), VclFont::DEFAULT_CHARSET);
    }

    void OnlyPublishedPropertiesAreReachable()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        const struct
        {
            QObject *object;
            const char *name;
            const char *found;
        } cases[] = {
            {form.ButtonNext, "caption", "Caption"}, {form.ButtonNext, "HINT", "Hint"},
            {form.ButtonNext, "font", "Font"},       {form.ButtonNext, "text", ""},
            {form.ButtonNext, "enabled", ""},        {form.ButtonNext, "toolTip", ""},
            {form.ButtonNext, "objectName", ""},     {&form, "windowTitle", ""},
            {&form, "Caption", "Caption"},           {form.EastWestRG, "items", "Items"},
            {form.EastWestRG, "title", ""},          {nullptr, "Caption", ""},
        };
        for (const auto &c : cases) {
            const QMetaProperty property = VclProperties::Find(c.object, QString::fromLatin1(c.name));
            QCOMPARE(QString::fromLatin1(property.isValid() ? property.name() : ""), QString::fromLatin1(c.found));
        }

        const QString tip = form.ButtonNext->toolTip();
        form.lcLang->SetStringsList(stOtherStrings, {Line({"ButtonNext.toolTip", "внутреннее", "inner"}),
                                                     Line({"OptionsFlats.Caption", "Бемоли", "Flats"})});
        QCOMPARE(form.ButtonNext->toolTip(), tip);
        QCOMPARE(form.OptionsFlats->Caption(), QStringLiteral("Flats"));
    }

    void LinesOfMissingComponentsAreSetAside()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        const QString before = form.MainTab->Caption();
        form.lcLang->SetStringsList(stCaptions, form.lcLang->Captions() +
                                                    QStringList{Line({"GoneButton", "Нет", "Gone"}),
                                                                Line({"MainTab", "", ""})});
        QCOMPARE(form.lcLang->HoldingList(), QStringList{Line({"GoneButton", "Нет", "Gone"})});
        // A line without a text in any language is dropped and changes nothing.
        QCOMPARE(form.MainTab->Caption(), before);
        QVERIFY(!form.lcLang->Captions().contains(Line({"MainTab", "", ""})));
    }
};

QTEST_MAIN(TestMainFormLanguage)
#include "TestMainFormLanguage.moc"
