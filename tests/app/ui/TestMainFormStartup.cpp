// The real main window, started offscreen on a temporary data folder.
#include "TestSupport.h"
#include "app/ui/ChordDiagram.h"
#include "app/ui/MainUnit.h"
#include "app/ui/PngPicture.h"
#include "platform/desktop/WarmUp.h"
#include "platform/vcl/Application.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using TestSupport::ReadFile;
using TestSupport::WriteFile;

struct TBox
{
    QString text;
    QString caption;
    int flags;
};



QByteArray Resource(const QString &name)
{
    return ReadFile(QStringLiteral(":/") + name);
}

// Every text, choice, list and font a user could see or the program reads back, by object name.
QStringList WindowState(const TMainForm &form)
{
    static const QStringList placement{"x", "y", "width", "height", "pos", "geometry", "frameGeometry", "normalGeometry"};
    // Qt's own parts (a tab bar's scroll buttons) take Qt's texts in the language installed when
    // they are made: later pages made after a Russian start have them in Russian, which is right.
    static const QStringList qtParts{"ScrollLeftButton", "ScrollRightButton"};
    QList<const QObject *> objects{&form};
    for (const QObject *child : form.findChildren<QObject *>())
        if (!child->objectName().isEmpty() && !qtParts.contains(child->objectName()))
            objects.append(child);
    QStringList state;
    for (const QObject *object : objects) {
        const QString name = object->objectName();
        const QMetaObject *meta = object->metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            const QMetaProperty property = meta->property(i);
            const QVariant value = property.read(object);
            if (placement.contains(QLatin1String(property.name())) || !value.canConvert<QString>())
                continue;
            state.append(name + '.' + property.name() + '=' + value.toString());
        }
        if (const auto *combo = qobject_cast<const QComboBox *>(object))
            for (int i = 0; i < combo->count(); ++i)
                state.append(name + ".item=" + combo->itemText(i));
        if (const auto *table = qobject_cast<const QTableWidget *>(object))
            for (int row = 0; row < table->rowCount(); ++row)
                for (int column = 0; column < table->columnCount(); ++column)
                    if (const QTableWidgetItem *item = table->item(row, column))
                        state.append(name + ".cell=" + item->text());
        if (const auto *tabs = qobject_cast<const QTabWidget *>(object))
            for (int i = 0; i < tabs->count(); ++i)
                state.append(name + ".tab=" + tabs->tabText(i));
    }
    state.sort();
    return state;
}

} // namespace

class TestMainFormStartup : public QObject
{
    Q_OBJECT
    QList<TBox> FBoxes;

private slots:
    void init()
    {
        FBoxes.clear();
        Application::ResetTermination();
        Application::SetMessageBoxHook([this](const QString &text, const QString &caption, int flags) {
            FBoxes.append({text, caption, flags});
            return int(Application::IDOK);
        });
    }

    void WritesDefaultFilesAndShowsTheFirstFingering()
    {
        QTemporaryDir dir;
        {
            TMainForm form(dir.path());
            QVERIFY(!Application::Terminated());
            QVERIFY(FBoxes.isEmpty());
            QVERIFY(form.Caption().startsWith(QStringLiteral("Vexo Veltrasomin ")));
            QVERIFY(form.Caption().size() > QStringLiteral("Vexo Veltrasomin ").size());
            QCOMPARE(form.State().dataFolder, dir.path() + "/");
            QCOMPARE(form.State().currentChordType, QStringLiteral("maj"));
            QCOMPARE(form.State().schemes.first(), QStringLiteral("0001000203xx"));
            QCOMPARE(form.State().currentScheme12, QStringLiteral("0001000203xx"));
            QCOMPARE(form.State().currentScheme, 1);
            QVERIFY(!form.ButtonBack->isEnabled());
            QCOMPARE(form.State().schemeCount, 4);
            QVERIFY(form.ButtonNext->isEnabled());
            QCOMPARE(form.ChordType->Text(), QStringLiteral("maj"));
            QCOMPARE(form.State().previousTransposerStep, 11);
            // The system's language brings its notation: an English start reads B as si.
            QCOMPARE(form.LangComboBox->ItemIndex(), 1);
            QCOMPARE(form.EastWestRG->ItemIndex(), 1);
            form.close();
        }
        QCOMPARE(ReadFile(dir.filePath("veltrasomin_chords.ini")), Resource("veltrasomin_chords.ini"));
        QCOMPARE(ReadFile(dir.filePath("user_chords.ini")), Resource("user_chords.ini"));
        const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        for (const QString &name : left)
            QVERIFY2(name.endsWith(QStringLiteral(".ini")), qPrintable(name + " left behind"));
    }

    void ReplacesAnOutdatedBaseAndKeepsTheUserFile()
    {
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath("veltrasomin_chords.ini"), "[C]\nmaj=1111111111xx\n[Version]\nNumber=1.4.4\n"));
        const QByteArray user = "; mine\n[C]\nmaj=0001000203x0\n";
        QVERIFY(WriteFile(dir.filePath("user_chords.ini"), user));
        TMainForm form(dir.path());
        QCOMPARE(ReadFile(dir.filePath("veltrasomin_chords.ini")), Resource("veltrasomin_chords.ini"));
        QCOMPARE(ReadFile(dir.filePath("user_chords.ini")), user);
        QCOMPARE(form.State().schemes.first(), QStringLiteral("0001000203xx"));
        QCOMPARE(form.State().schemes.last(), QStringLiteral("0001000203x0"));
    }

    void KeepsACurrentBaseAndStepsThroughItsFingerings()
    {
        QTemporaryDir dir;
        WriteFile(dir.filePath("veltrasomin_chords.ini"),
                  "[C]\nmaj=0001000203xx 0305050503xx 080809101008\n[Version]\nNumber=1.4.5\n");
        TMainForm form(dir.path());
        QCOMPARE(form.State().schemeCount, 3);
        QVERIFY(form.ButtonNext->isEnabled());
        form.ButtonNextClick();
        QCOMPARE(form.State().currentScheme12, QStringLiteral("0305050503xx"));
        QVERIFY(form.ButtonBack->isEnabled());
        form.ButtonNextClick();
        QCOMPARE(form.State().currentScheme12, QStringLiteral("080809101008"));
        QVERIFY(!form.ButtonNext->isEnabled());
        form.ButtonBackClick();
        form.ButtonBackClick();
        QCOMPARE(form.State().currentScheme12, QStringLiteral("0001000203xx"));
        QVERIFY(!form.ButtonBack->isEnabled());
        QVERIFY(form.ButtonNext->isEnabled());
    }

    void AddsUserChordTypesOnce()
    {
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath("user_chords.ini"), "; types\n[C]\nmaj9-5=0001000203xx\nMAJ=0001000203xx\nm7b9/Db=1\n"));
        TMainForm form(dir.path());
        const QStringList items = form.ChordType->Items();
        QCOMPARE(items.count(QStringLiteral("maj9-5")), 1);
        QCOMPARE(items.count(QStringLiteral("m7b9")), 1);
        QVERIFY(!items.contains(QStringLiteral("MAJ")));
        QCOMPARE(form.ChordType->ItemIndex(), 0);
    }

    void AUserTypeLongerThanWhatCanBeTypedIsShownWhole()
    {
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath("user_chords.ini"), "[C]\nmaj7add11add13x9=0001000203xx\n"));
        TMainForm form(dir.path());
        form.ChordType->SetItemIndex(form.ChordType->count() - 1);
        QCOMPARE(form.ChordType->Text(), QStringLiteral("maj7add11add13x9"));
        QCOMPARE(form.State().currentScheme12, QStringLiteral("0001000203xx"));
        form.ChordType->lineEdit()->selectAll();
        QTest::keyClicks(form.ChordType->lineEdit(), QStringLiteral("maj7add11add13x9"));
        QCOMPARE(form.ChordType->Text(), QStringLiteral("maj7add11add13x"));
    }

    void ReportsAUserFileWithoutHeader()
    {
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath("user_chords.ini"), "only comments\n"));
        TMainForm form(dir.path());
        QVERIFY(!Application::Terminated());
        QCOMPARE(FBoxes.size(), 1);
        QVERIFY(FBoxes.first().text.contains(QStringLiteral("veltrasomin_chords.ini")));
        QCOMPARE(FBoxes.first().flags, int(Application::MB_ICONERROR));
    }

    void ALogoutWhileAMessageOfTheStartWaitsEndsTheStart()
    {
        // The session manager's logout asks the application to quit while the message waits; the
        // toolkit's own handling, which would only end the message's wait, is left out here.
        struct TSwallowQuit : QObject
        {
            bool eventFilter(QObject *watched, QEvent *event) override
            {
                return event->type() == QEvent::Quit && watched == qApp;
            }
        } toolkit;
        qApp->installEventFilter(&toolkit);
        Application::SetMessageBoxHook([](const QString &, const QString &, int) {
            QEvent quit(QEvent::Quit);
            QCoreApplication::sendEvent(qApp, &quit);
            return int(Application::IDOK);
        });
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath("user_chords.ini"), "only comments\n"));
        TMainForm form(dir.path());
        qApp->removeEventFilter(&toolkit);
        QVERIFY(Application::Terminated());
        QCOMPARE(Application::ExitCode(), 0);
    }

    void DataFilesThatAreNoPlainFilesNeitherHangNorFillTheMemory()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), dir.filePath("user_chords.ini")));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("veltrasomin_settings.ini")).constData(), 0600), 0);
        TMainForm form(dir.path());
        QVERIFY(!Application::Terminated());
        QCOMPARE(FBoxes.size(), 1);
        QVERIFY(FBoxes.first().text.contains(QStringLiteral("veltrasomin_chords.ini")));
        QCOMPARE(form.State().schemes.first(), QStringLiteral("0001000203xx"));
    }

    void AUserFileThatMayNotBeReadAddsNoTypesAndNoMessage()
    {
        if (::geteuid() == 0)
            QSKIP("root may read every file");
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath("user_chords.ini"), "[C]\nm7b9=x32333xxxxxx\n"));
        QVERIFY(QFile::setPermissions(dir.filePath("user_chords.ini"), QFile::WriteOwner));
        TMainForm form(dir.path());
        QVERIFY(!Application::Terminated());
        QCOMPARE(FBoxes.size(), 0);
        QVERIFY(form.ChordType->findText(QStringLiteral("m7b9")) < 0);
        QCOMPARE(form.State().schemes.first(), QStringLiteral("0001000203xx"));
        QCOMPARE(QFileInfo(dir.filePath("user_chords.ini")).size(), qint64(22));
    }

    void EndsAfterAMalformedScheme()
    {
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath("veltrasomin_chords.ini"), "[C]\nmaj=0001000203x\n[Version]\nNumber=1.4.5\n"));
        TMainForm form(dir.path());
        QVERIFY(Application::Terminated());
        QVERIFY(Application::ExitCode() != 0);
        QCOMPARE(FBoxes.size(), 1);
        QVERIFY(FBoxes.first().text.contains(QStringLiteral("0001000203x")));
        QVERIFY2(form.State().currentScheme12.isEmpty(), "a malformed scheme is never drawn");
    }

    void EndsWhenTheBaseCannotBeWritten()
    {
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath("plain"), "a file, not a folder"));
        TMainForm form(dir.filePath("plain/data"));
        QVERIFY(Application::Terminated());
        QCOMPARE(Application::ExitCode(), 1);
        QCOMPARE(FBoxes.size(), 1);
        QCOMPARE(FBoxes.first().caption, form.Ids(1));
        QCOMPARE(FBoxes.first().text, form.Ids(0));
        QCOMPARE(FBoxes.first().flags, int(Application::MB_ICONERROR));
    }

    void KeepsWhateverStandsWhereTheUserFileGoes()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("user_chords.ini/blocked")));
        TMainForm form(dir.path());
        QVERIFY(!Application::Terminated());
        QCOMPARE(FBoxes.size(), 0);
        QVERIFY(!form.State().userFile);
        QCOMPARE(form.State().schemes.first(), QStringLiteral("0001000203xx"));
    }

    void EndsWhenTheBaseIsAFolder()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("veltrasomin_chords.ini"));
        TMainForm form(dir.path());
        QVERIFY(Application::Terminated());
        QCOMPARE(FBoxes.size(), 1);
        QCOMPARE(FBoxes.first().text, form.Ids(0));
        // Events still queued before the loop ends find no chords rather than a missing base.
        form.ChordTypeChange();
        QCOMPARE(form.State().schemes, QStringList{QStringLiteral("xxxxxxxxxxxx")});
    }

    void ChordsChangedAfterCloseFindNothing()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        form.close();
        form.ChordType->SetText(QStringLiteral("m7"));
        form.ChordTypeChange();
        QCOMPARE(form.State().schemes, QStringList{QStringLiteral("xxxxxxxxxxxx")});
    }

    void StartsInEnglishWithFlatsOnTheTransposerPage()
    {
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath("veltrasomin_settings.ini"),
                          "[OPTIONS]\nLangComboBox=1\nOptionsFlats=1\nEastWestRG=0\nActivePage=2\n"));
        // What a save cut short by a kill left behind.
        const QString stale = dir.filePath("veltrasomin_settings.ini.vxtmp-Qx81Zb");
        QVERIFY(WriteFile(stale, "[OPT"));
        QFile staleFile(stale);
        QVERIFY(staleFile.open(QIODevice::ReadWrite));
        QVERIFY(staleFile.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        staleFile.close();

        TMainForm form(dir.path());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.PageControl->currentWidget(), form.MiscTab);
        QStringList keys;
        for (int i = 0; i < form.SrcComboBox->count(); ++i)
            keys.append(form.SrcComboBox->itemText(i));
        QCOMPARE(keys.join(QLatin1Char('|')),
                 QStringLiteral("C (do)|Db|D (re)|Eb|E (mi)|F (fa)|Gb|G (sol)|Ab|A (la)|B|H (si)"));
        QCOMPARE(form.Caption(), QStringLiteral("si = H   |   si flat = B"));
        QVERIFY(!form.Caption().startsWith(QStringLiteral("Vexo")));
        QVERIFY(!QFileInfo::exists(stale));
        QVERIFY(FBoxes.isEmpty());
    }

    // The window that leaves its later pages until it has painted ends as one that built them at
    // once, in either language and notation, with the transposer's own options.
    void LaterPagesEndAsIfBuiltAtOnce_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<bool>("startsWithAll");
        QTest::newRow("first start") << QByteArray() << false;
        QTest::newRow("Russian") << QByteArray("[OPTIONS]\nLangComboBox=0\nEastWestRG=0\n") << false;
        QTest::newRow("English, west, flats, options page")
            << QByteArray("[OPTIONS]\nLangComboBox=1\nEastWestRG=1\nOptionsFlats=1\nActivePage=3\n") << false;
        QTest::newRow("English, east, song font, higher chords")
            << QByteArray("[OPTIONS]\nLangComboBox=1\nEastWestRG=0\nOptionsFlats=0\nFontName=DejaVu Sans Mono\n"
                          "FontSize=14\nPopUpChordNormal=0\nPopUpChordHigher=1\n")
            << false;
        QTest::newRow("English on the transposer") << QByteArray("[OPTIONS]\nLangComboBox=1\nActivePage=2\n") << true;
        QTest::newRow("Russian on the tuner") << QByteArray("[OPTIONS]\nLangComboBox=0\nActivePage=1\n") << true;
    }

    void LaterPagesEndAsIfBuiltAtOnce()
    {
        QFETCH(QByteArray, settings);
        QFETCH(bool, startsWithAll);
        QTemporaryDir allDir;
        QTemporaryDir laterDir;
        for (const QTemporaryDir *dir : {&allDir, &laterDir})
            if (!settings.isEmpty())
                QVERIFY(WriteFile(dir->filePath("veltrasomin_settings.ini"), settings));
        TMainForm all(allDir.path());
        TMainForm later(laterDir.path(), {}, TMainForm::LaterPagesAfterShow);
        QCOMPARE(later.LaterPagesBuilt(), startsWithAll);
        QCOMPARE(later.SrcComboBox != nullptr, startsWithAll);
        QCOMPARE(later.PageControl->count(), 5);
        later.BuildLaterPages();
        QVERIFY(later.LaterPagesBuilt());
        const QStringList expected = WindowState(all);
        const QStringList got = WindowState(later);
        QStringList differences;
        for (const QString &line : expected)
            if (!got.contains(line))
                differences.append("missing " + line);
        for (const QString &line : got)
            if (!expected.contains(line))
                differences.append("extra " + line);
        QVERIFY2(differences.isEmpty(), qPrintable(differences.mid(0, 20).join('\n')));
        QCOMPARE(later.State().previousTransposerStep, all.State().previousTransposerStep);
        QCOMPARE(later.State().schemes, all.State().schemes);
        // A language chosen afterwards reaches the later pages too.
        for (TMainForm *form : {&all, &later}) {
            form->LangComboBox->SetItemIndex(1 - form->LangComboBox->ItemIndex());
            form->LangComboBoxChange();
        }
        QCOMPARE(WindowState(later), WindowState(all));
        QVERIFY(FBoxes.isEmpty());
    }

    void LaterPagesAreBuiltOnceTheWindowHasPaintedOrWhenChosen()
    {
        QTemporaryDir dir;
        TMainForm shown(dir.path(), {}, TMainForm::LaterPagesAfterShow);
        shown.show();
        shown.BuildLaterPagesAfterFirstPaint();
        QVERIFY(!shown.LaterPagesBuilt());
        QVERIFY(QTest::qWaitForWindowExposed(&shown));
        QTRY_VERIFY(shown.LaterPagesBuilt());
        QVERIFY(shown.SrcComboBox->count() > 0);

        TMainForm chosen(dir.path(), {}, TMainForm::LaterPagesAfterShow);
        chosen.PageControl->setCurrentWidget(chosen.HelpTab);
        QVERIFY(chosen.LaterPagesBuilt());
        QVERIFY(!chosen.HelpMemo->toPlainText().isEmpty());

        // The notation changed first: the chord page follows it at once.
        TMainForm notation(dir.path(), {}, TMainForm::LaterPagesAfterShow);
        auto bassItems = [&notation] {
            QStringList items;
            for (int i = 0; i < notation.Bass->count(); ++i)
                items.append(notation.Bass->itemText(i));
            return items;
        };
        notation.EastWestRG->SetItemIndex(0);
        QVERIFY(bassItems().contains(QStringLiteral("/H")));
        notation.EastWestRG->SetItemIndex(1);
        QVERIFY(!bassItems().contains(QStringLiteral("/H")));
        QVERIFY(!notation.LaterPagesBuilt());

        // A language chosen first: the pages come in that language.
        QTemporaryDir russianDir;
        QVERIFY(WriteFile(russianDir.filePath("veltrasomin_settings.ini"), "[OPTIONS]\nLangComboBox=0\n"));
        TMainForm switched(russianDir.path(), {}, TMainForm::LaterPagesAfterShow);
        switched.LangComboBox->SetItemIndex(1);
        switched.LangComboBoxChange();
        QVERIFY(switched.LaterPagesBuilt());
        QCOMPARE(switched.SpeedButtonDefault->Caption(), QStringLiteral("Reset"));
    }

    // A limit on processes or memory leaves no thread for the work done ahead at the start: the
    // start does without, or does it itself.
    void StartsWithNoThreadToSpare()
    {
        const pid_t child = ::fork();
        if (child == 0) {
            // The child ends here whatever happens, not in the test framework's crash report.
            std::signal(SIGABRT, SIG_DFL);
            try {
                TestSupport::NoThreadCanStart();
                { const TWarmUp fontConfig(WarmUp::FontConfig); }
                TMainForm::PrefetchPictures();
                TMainForm::PrefetchChordBase();
                const QImage dot = PngPicture::Read(TCanvasImage::PicturePath(QStringLiteral("Nota"), 1.0));
                ::_exit(dot.isNull() ? 1 : 0);
            } catch (...) {
                ::_exit(2);
            }
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    void StartsHiddenOnlyForAFirstMinArgument()
    {
        QTemporaryDir dir;
        QVERIFY(TMainForm(dir.path(), {QStringLiteral("/min")}).StartsHidden());
        QVERIFY(!TMainForm(dir.path(), {QStringLiteral("x"), QStringLiteral("/MIN")}).StartsHidden());
    }
};

QTEST_MAIN(TestMainFormStartup)
#include "TestMainFormStartup.moc"
