// Every text the main window shows for translation has its line in the committed translation text.
#include "app/ui/MainUnit.h"
#include "lang/MemIni.h"
#include "lang/lcComp.h"
#include "platform/vcl/Application.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestMainFormTexts : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Application::ResetTermination();
        Application::SetMessageBoxHook([](const QString &, const QString &, int) { return int(Application::IDOK); });
    }

    void EveryCollectedTextHasATranslationLine()
    {
        QFile tsv(QStringLiteral(VX_SOURCE_DIR "/resources/MainFormTranslations.tsv"));
        QVERIFY(tsv.open(QIODevice::ReadOnly));
        QHash<QString, QSet<QString>> keys; // list name -> keys
        QString section;
        for (const QString &line : QString::fromUtf8(tsv.readAll()).split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1Char('[')))
                section = line.mid(1, line.indexOf(QLatin1Char(']')) - 1);
            else if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
                keys[section].insert(line.section(QLatin1Char('\t'), 0, 0));
        }

        // Texts the window writes itself while it runs: values, numbers, the chord on show, the
        // caption with the version, the lists it fills (devices, instruments, roots by notation,
        // transposition steps, tunings, language names), the song being edited, the help text,
        // loaded per language as a whole, and the songbook, which holds both languages in one text.
        // The Text of an edit, a box or a memo is its content, never a designed text; the language
        // box's fonts are fonts. The help pages' own captions lie under their gradient headers,
        // which carry the translated titles, and are never seen.
        const QStringList ownTexts = {
            "TMainForm",          "VolLabel",          "DurLabel",          "LabelVersionInfo", "Struna1",
            "Struna2",            "Struna3",           "Struna4",           "Struna5",          "Struna6",
            "LabelType",          "IntervalLabel",     "HelpMemo.Lines",    "SongbookMemo.Lines", "LangComboBox.Items",
            "DeviceList.Items",   "InstList.Items",    "SrcComboBox.Items", "DestComboBox.Items", "MemoTransp.Lines",
            "TuningsList.Items",  "Root.Items",        "ChordType.Items",   "Bass.Items",       "HelpPage",
            "HistoryPage",        "SongbookPage",
            "LangComboBox.LanguageInfos[0].FontName", "LangComboBox.LanguageInfos[1].FontName"};
        QTemporaryDir dir;
        TMainForm form(dir.path());
        CollectFormTexts(*form.lcLang);
        QStringList missing;
        for (int type : {stCaptions, stHints, stMultiLines, stOtherStrings, stCollections})
            for (const QString &line : *form.lcLang->GetStringsList(type)) {
                const QString key = GetDelimitedItem(line, QChar(1), 0);
                if (!keys.value(StringsTypeName(type)).contains(key) && !ownTexts.contains(key) &&
                    !(type == stOtherStrings && key.endsWith(QLatin1String(".Text"))))
                    missing.append(StringsTypeName(type) + QLatin1Char(' ') + key + QLatin1Char('=') +
                                   GetDelimitedItem(line, QChar(1), 1).left(40));
            }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
        QVERIFY(form.lcLang->Captions().size() > 40);
    }
};

QTEST_MAIN(TestMainFormTexts)
#include "TestMainFormTexts.moc"
