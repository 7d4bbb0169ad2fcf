// The main window's notification-area menu, hot key and tray option, offscreen: there is no
// notification area and no display to grab keys on, so hiding minimizes.
#include "TestSupport.h"
#include "app/ui/MainUnit.h"
#include "platform/vcl/Application.h"
#include "toolkit/VxAppHotKey.h"
#include "toolkit/VxTrayIcon.h"

#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

using TestSupport::ReadFile;
using TestSupport::WriteFile;

class TestMainFormTray : public QObject
{
    Q_OBJECT

private slots:
    void init() { TestSupport::UseCapturePort(); }
    void cleanup()
    {
        Application::ResetTermination();
        TestSupport::RestoreDevicesAndBoxes();
    }

    void MenuHoldsOpenAndExit()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        QCOMPARE(form.VxTrayIcon->PopupMenu(), form.PopupMenu);
        QCOMPARE(form.PopupMenu->actions().first(), form.PopUpOpen);
        QCOMPARE(form.PopupMenu->actions().last(), form.PopUpExit);
        form.LangComboBox->setCurrentIndex(0);
        emit form.LangComboBox->activated(0);
        QCOMPARE(form.PopUpOpen->Caption(), QStringLiteral("Открыть"));
        QCOMPARE(form.PopUpExit->Caption(), QStringLiteral("Выход"));
        form.LangComboBox->setCurrentIndex(1);
        emit form.LangComboBox->activated(1);
        QCOMPARE(form.PopUpOpen->Caption(), QStringLiteral("Open"));
        QCOMPARE(form.PopUpExit->Caption(), QStringLiteral("Exit"));
        QVERIFY(form.VxTrayIcon->Active());
        QCOMPARE(form.VxAppHotKey->HotKey(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F10));
    }

    void OpenAndTheHotKeyRestoreAMinimizedWindow()
    {
        QTemporaryDir dir;
        {
            TMainForm form(dir.path());
            form.show();
            form.VxTrayIcon->HideApplication();
            QVERIFY(form.isVisible());
            QVERIFY(form.isMinimized());
            form.PopUpOpen->trigger();
            QVERIFY(form.isVisible());
            QVERIFY(!form.isMinimized());

            form.showMinimized();
            form.VxAppHotKey->FireHotKey();
            QVERIFY(!form.isMinimized());
            QVERIFY(!Application::Terminated());
        }
        // "/min" leaves the window minimized, not hidden away, and main() must not show it.
        TMainForm hidden(dir.path(), {QStringLiteral("/MIN")});
        QVERIFY(hidden.StartsHidden());
        QVERIFY(hidden.isVisible());
        QTRY_VERIFY(hidden.isMinimized());
        hidden.PopUpOpenClick();
        QVERIFY(!hidden.isMinimized());
    }

    // A message box minimized on its own (one shown while the window was still being built) would
    // leave the window it holds blocked, with nothing on screen to answer.
    void OpenAndTheHotKeyBringBackAMinimizedModalWindow()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        form.show();
        QWidget box(&form, Qt::Dialog);
        box.setWindowModality(Qt::ApplicationModal);
        box.show();
        const std::function<void()> restores[] = {[&] { form.PopUpOpen->trigger(); },
                                                  [&] { form.VxAppHotKey->FireHotKey(); }};
        for (const auto &restore : restores) {
            box.showMinimized();
            restore();
            QVERIFY(!form.isMinimized());
            QVERIFY(box.isVisible());
            QVERIFY(!box.isMinimized());
        }
    }

    void ExitEndsTheProgramAndKeepsTheSettings()
    {
        QTemporaryDir dir;
        TMainForm form(dir.path());
        form.show();
        form.OptionsFlats->SetChecked(false);
        form.PopUpExit->trigger();
        QVERIFY(Application::Terminated());
        QCOMPARE(Application::ExitCode(), 0);
        QVERIFY(!form.isVisible());
        QVERIFY(ReadFile(dir.filePath(QStringLiteral("veltrasomin_settings.ini"))).contains("OptionsFlats=0"));
    }

    void TrayOptionSwitchesTheIcon()
    {
        QTemporaryDir dir;
        {
            TMainForm form(dir.path());
            form.OptionsTrayIcon->SetChecked(false);
            QVERIFY(!form.VxTrayIcon->Active());
            form.OptionsTrayIcon->SetChecked(true);
            QVERIFY(form.VxTrayIcon->Active());
            form.OptionsTrayIcon->SetChecked(false);
            form.close();
        }
        TMainForm again(dir.path());
        QVERIFY(!again.OptionsTrayIcon->Checked());
        QVERIFY(!again.VxTrayIcon->Active());
    }

    void GlobalShortcutSurvivesARestart()
    {
        const struct { const char *stored; const char *written; QKeySequence key; } cases[] = {
            {"Ctrl+Alt+F10", "Ctrl+Alt+F10", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F10)},
            {"Shift+Ctrl+K", "Ctrl+Shift+K", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K)},
            {"", "", QKeySequence()},
            {"Ctrl+Nonsense", "", QKeySequence()},
        };
        for (const auto &c : cases) {
            QTemporaryDir dir;
            const QString file = dir.filePath(QStringLiteral("veltrasomin_settings.ini"));
            QVERIFY(WriteFile(file, QByteArray("[SHORTCUTS]\r\nGlobalShortcut=") + c.stored + "\r\n"));
            {
                TMainForm form(dir.path());
                QCOMPARE(form.VxAppHotKey->HotKey(), c.key);
                form.close();
            }
            QVERIFY2(ReadFile(file).contains(QByteArray("\nGlobalShortcut=") + c.written + "\r\n"), c.stored);
            TMainForm again(dir.path());
            QCOMPARE(again.VxAppHotKey->HotKey(), c.key);
        }

        // A key changed while the program runs is the one written.
        QTemporaryDir dir;
        {
            TMainForm form(dir.path());
            form.VxAppHotKey->SetHotKey(QKeySequence(Qt::META | Qt::Key_F9));
            form.close();
        }
        QVERIFY(ReadFile(dir.filePath(QStringLiteral("veltrasomin_settings.ini"))).contains("\nGlobalShortcut=Meta+F9\n"));
    }
};

QTEST_MAIN(TestMainFormTray)
#include "TestMainFormTray.moc"
