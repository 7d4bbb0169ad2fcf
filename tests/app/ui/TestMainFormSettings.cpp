// Every option of the real main window survives a close and a new start on the same data folder.
#include "TestSupport.h"
#include "app/ui/MainUnit.h"
#include "app/ui/UnitPreview.h"
#include "platform/midiout/CaptureDevice.h"
#include "platform/midiout/MidiOut.h"

#include <QAction>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using TestSupport::ReadFile;
using TestSupport::WriteFile;

// The controls of the settings file's keys; the window's own place is checked apart.
const char *const OptionControls[] = {
    "VolumeTrackBar", "DurationTrackBar", "LangComboBox", "InstList", "DeviceList", "EastWestRG",
    "OptionsFlats", "OptionsShowNotes", "OptionsShowHints", "OptionsSaveBMP", "OptionsTrayIcon",
    "OptionsCheckText", "OptionsShowChordName", "OptionsAlwaysOnTop", "RightHand", "LeftHand",
    "PageControl", "MemoTransp", "PopUpChordNormal", "PopUpChordHigher",
};

QObject *Find(const TMainForm &form, const char *name)
{
    return form.findChild<QObject *>(QLatin1String(name));
}

// One option's state as text, so that all of them compare alike.
QString State(const TMainForm &form, const char *name)
{
    QObject *control = Find(form, name);
    if (auto *box = qobject_cast<QCheckBox *>(control))
        return box->isChecked() ? QStringLiteral("checked") : QStringLiteral("clear");
    if (auto *item = qobject_cast<QAction *>(control))
        return item->isChecked() ? QStringLiteral("checked") : QStringLiteral("clear");
    if (auto *list = qobject_cast<QComboBox *>(control))
        return QString::number(list->currentIndex());
    if (auto *group = qobject_cast<TRadioGroup *>(control))
        return QString::number(group->ItemIndex());
    if (auto *bar = qobject_cast<QSlider *>(control))
        return QString::number(bar->value());
    if (auto *pages = qobject_cast<QTabWidget *>(control))
        return QString::number(pages->currentIndex());
    if (auto *widget = qobject_cast<QWidget *>(control))
        return widget->font().family() + QLatin1Char('/') + QString::number(widget->font().pointSize());
    return QStringLiteral("missing");
}

// Moves one option away from where it stands.
void Change(TMainForm &form, const char *name)
{
    QObject *control = Find(form, name);
    if (auto *box = qobject_cast<QCheckBox *>(control))
        box->setChecked(!box->isChecked());
    else if (auto *item = qobject_cast<QAction *>(control))
        item->setChecked(!item->isChecked());
    else if (auto *list = qobject_cast<QComboBox *>(control))
        list->setCurrentIndex(list->currentIndex() == list->count() - 1 ? 0 : list->count() - 1);
    else if (auto *group = qobject_cast<TRadioGroup *>(control))
        group->SetItemIndex(1 - group->ItemIndex());
    else if (auto *bar = qobject_cast<QSlider *>(control))
        bar->setValue(bar->value() == 33 ? 34 : 33);
    else if (auto *pages = qobject_cast<QTabWidget *>(control))
        pages->setCurrentIndex(2);
    else if (auto *widget = qobject_cast<QWidget *>(control)) {
        QFont font = widget->font();
        font.setFamily(QStringLiteral("DejaVu Sans Mono"));
        font.setPointSize(17);
        widget->setFont(font);
    }
}



} // namespace

class TestMainFormSettings : public QObject
{
    Q_OBJECT

private slots:
    // A second device, so that the device choice has somewhere to move.
    void init() { MidiOut::SetDevices({std::make_shared<TCaptureDevice>(QStringLiteral("Test Port"))}); }
    void cleanup() { MidiOut::ResetDevices(); }

    void EveryOptionSurvivesARestart()
    {
        QTemporaryDir dir;
        QStringList designed, chosen;
        {
            TMainForm form(dir.path());
            form.show();
            for (const char *name : OptionControls) {
                QVERIFY2(Find(form, name), name);
                designed.append(State(form, name));
            }
            // The hand and octave pairs are radio items: choosing the second clears the first.
            for (const char *name : OptionControls)
                if (qstrcmp(name, "RightHand") != 0 && qstrcmp(name, "PopUpChordNormal") != 0)
                    Change(form, name);
            form.setGeometry(QRect(QPoint(137, 91), form.size()));
            for (const char *name : OptionControls)
                chosen.append(State(form, name));
            QVERIFY(form.close());
        }
        for (int i = 0; i < designed.size(); ++i)
            QVERIFY2(designed[i] != chosen[i], OptionControls[i]);
        const QString settings = QString::fromUtf8(ReadFile(dir.filePath("veltrasomin_settings.ini")));
        QVERIFY(settings.startsWith(QStringLiteral("[POSITION]\nTop=91\nLeft=137\n")));
        QVERIFY(settings.contains(QStringLiteral("\n[SHORTCUTS]\nGlobalShortcut=Ctrl+Shift+F10\n")));

        TMainForm again(dir.path());
        for (int i = 0; i < chosen.size(); ++i)
            QCOMPARE(State(again, OptionControls[i]), chosen[i]);
        QCOMPARE(again.geometry().topLeft(), QPoint(137, 91));
        QVERIFY(again.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    void TheWindowComesBackWhereItWasAndStaysPutOnTop()
    {
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath("veltrasomin_settings.ini"), "[POSITION]\nTop=200\nLeft=300\n"));
        QList<QRect> places;
        for (int run = 0; run < 3; ++run) {
            TMainForm form(dir.path());
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            places.append(form.geometry());
            if (run == 0) {
                // Always on top makes the window anew; its size and place stay.
                for (const bool onTop : {true, false}) {
                    form.OptionsAlwaysOnTop->SetChecked(onTop);
                    QVERIFY(QTest::qWaitForWindowExposed(&form));
                    QCOMPARE(form.geometry(), places.first());
                }
            }
            QVERIFY(form.close());
            // The file holds the place of the window's inside, which the window manager never moves.
            QVERIFY(QString::fromUtf8(ReadFile(dir.filePath("veltrasomin_settings.ini")))
                        .startsWith(QStringLiteral("[POSITION]\nTop=%1\nLeft=%2\n").arg(places[0].y()).arg(places[0].x())));
        }
        QCOMPARE(places[0].topLeft(), QPoint(300, 200));
        QCOMPARE(places[1], places[0]);
        QCOMPARE(places[2], places[0]);
    }

    void AFileWithOnlyTheNotationStartsWestern()
    {
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath("veltrasomin_settings.ini"), "[OPTIONS]\r\nEastWestRG=1\r\n"));
        QStringList designed;
        {
            QTemporaryDir plain; // an empty file: the form as designed, no language from the system
            QVERIFY(WriteFile(plain.filePath("veltrasomin_settings.ini"), ""));
            TMainForm form(plain.path());
            for (const char *name : OptionControls)
                designed.append(State(form, name));
        }
        TMainForm form(dir.path());
        // Without a stored place the window is left for the desktop to place, as on a first
        // start, instead of going to the corner with its title bar above the screen.
        QVERIFY(!form.testAttribute(Qt::WA_Moved));
        QCOMPARE(form.EastWestRG->ItemIndex(), 1);
        QCOMPARE(form.findChild<TEdit *>("EditStr2")->Text(), QStringLiteral("B4"));
        QVERIFY(form.TuningsList->Text().endsWith(QStringLiteral("EADGBE")));
        for (int i = 0; i < designed.size(); ++i)
            if (qstrcmp(OptionControls[i], "EastWestRG") != 0)
                QVERIFY2(State(form, OptionControls[i]) == designed[i], OptionControls[i]);
    }

    void HalfAPlaceOrOneThatIsNoNumberIsLeftToTheDesktop()
    {
        // The corner that a missing or unreadable value stands for would put the title bar above
        // the screen.
        for (const char *stored : {"[POSITION]\nLeft=300\n", "[POSITION]\nTop=1OO\nLeft=300\n",
                                   "[POSITION]\nTop=100\nLeft=3OO\n"}) {
            QTemporaryDir dir;
            QVERIFY(WriteFile(dir.filePath("veltrasomin_settings.ini"), stored));
            TMainForm form(dir.path());
            QVERIFY2(!form.testAttribute(Qt::WA_Moved), stored);
        }
    }

    void APlaceOnAMonitorThatIsGoneBringsTheWholeWindowAndItsTitleBarOnScreen()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const struct {
            const char *stored;
        } cases[] = {
            {"[POSITION]\nTop=300\nLeft=5000\n"},   // right of the screen
            {"[POSITION]\nTop=5000\nLeft=100\n"},   // below it
            {"[POSITION]\nTop=-5000\nLeft=100\n"},  // above it
            {"[POSITION]\nTop=3\nLeft=100\n"},      // its title bar above the screen
        };
        for (const auto &c : cases) {
            QTemporaryDir dir;
            QVERIFY(WriteFile(dir.filePath("veltrasomin_settings.ini"), c.stored));
            TMainForm form(dir.path());
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            // The stored place is the inside's; the desktop draws its title bar above it.
            QVERIFY2(screen.contains(form.geometry().adjusted(0, -20, 0, 0)), c.stored);
        }
    }

    void ADamagedFileStartsAsDesignedAndIsMended()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("veltrasomin_settings.ini");
        const char raw[] = "\x00\x01[OPTIONS\nVolume_Pos=999\nInstList=-4\nActivePage=77\nFontSize=0\n"
                           "RightHand=0\nLeftHand=0\nOptionsShowHints=zero\n\xFF\xFE\xFD";
        const QByteArray damaged(raw, sizeof(raw) - 1);
        QVERIFY(WriteFile(path, damaged));
        QStringList designed;
        {
            QTemporaryDir plain; // an empty file: the form as designed, no language from the system
            QVERIFY(WriteFile(plain.filePath("veltrasomin_settings.ini"), ""));
            TMainForm form(plain.path());
            for (const char *name : OptionControls)
                designed.append(State(form, name));
        }
        {
            TMainForm form(dir.path());
            for (int i = 0; i < designed.size(); ++i)
                QVERIFY2(State(form, OptionControls[i]) == designed[i], OptionControls[i]);
            form.show();
            form.close();
        }
        const QByteArray mended = ReadFile(path);
        // What could not be read stays for the user to see; the keys follow it.
        QVERIFY(mended.startsWith(damaged));
        QVERIFY(mended.contains("\n[POSITION]\n"));
        QVERIFY(mended.contains("\nOptionsShowHints=1\n"));
    }

    void AWindowNeverOnScreenLeavesItsPlaceToTheDesktop()
    {
        // As one started hidden in the notification area ("/MIN") and ended from there, or by a
        // logout: the corner it was never shown at is no place of the user's.
        QTemporaryDir dir;
        TMainForm(dir.path()).close();
        QVERIFY(!ReadFile(dir.filePath("veltrasomin_settings.ini")).contains("[POSITION]"));
        TMainForm again(dir.path());
        QVERIFY(!again.testAttribute(Qt::WA_Moved));
    }

    void ALogoutWithThePreviewOpenKeepsTheStoredPlace()
    {
        // A session manager's logout asks the application to quit, and the toolkit then closes
        // the windows in an order of its own. This filter, run after the program's own, closes
        // them in the unlucky one: the preview first.
        struct TToolkitClose : QObject
        {
            TMainForm *form = nullptr;
            bool eventFilter(QObject *watched, QEvent *event) override
            {
                if (event->type() != QEvent::Quit || watched != qApp || !form)
                    return false;
                if (form->FormPreview)
                    form->FormPreview->close();
                if (form->isVisible())
                    form->close();
                return true;
            }
        } toolkit;
        qApp->installEventFilter(&toolkit);
        QTemporaryDir dir;
        QVERIFY(WriteFile(dir.filePath("veltrasomin_settings.ini"), "[POSITION]\nTop=200\nLeft=300\n"));
        TMainForm form(dir.path());
        toolkit.form = &form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        // The window goes up to make room for the preview below it.
        form.PopUpPreviewClick();
        QVERIFY(form.FormPreview);
        QVERIFY(form.geometry().top() < 200);
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(qApp, &quit);
        qApp->removeEventFilter(&toolkit);
        QVERIFY(!form.isVisible());
        QVERIFY(ReadFile(dir.filePath("veltrasomin_settings.ini")).startsWith("[POSITION]\nTop=200\nLeft=300\n"));
    }
};

QTEST_MAIN(TestMainFormSettings)
#include "TestMainFormSettings.moc"
