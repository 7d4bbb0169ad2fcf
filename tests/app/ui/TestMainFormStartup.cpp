// The real main window, started offscreen on a temporary data folder.
#include "TestSupport.h"
#include "app/ui/MainUnit.h"
#include "platform/vcl/Application.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
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
            QCOMPARE(form.ButtonNext->isEnabled(), form.State().schemeCount > 1);
            QCOMPARE(form.ChordType->Text(), QStringLiteral("maj"));
            QCOMPARE(form.State().previousTransposerStep, 11);
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
        const QString stale = dir.filePath("veltrasomin_settings.ini.Qx81Zb");
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
        QCOMPARE(form.Caption(), form.Ids(208));
        QVERIFY(!form.Caption().startsWith(QStringLiteral("Vexo")));
        QVERIFY(!QFileInfo::exists(stale));
        QVERIFY(FBoxes.isEmpty());
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
