// The tray icon where the desktop has no notification area (offscreen): hiding minimizes, and
// the icon's clicks and the restore bring the window back.
#include "toolkit/VxTrayIcon.h"

#include <QMenu>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QtTest>

class TestVxTrayIcon : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable()); }

    void HidingWithoutANotificationAreaMinimizes()
    {
        QWidget form;
        TVxTrayIcon tray(QStringLiteral("VxTrayIcon"), &form);
        tray.SetVisibility(tvVisibleTaskBar | tvAutoHide | tvAutoHideIcon | tvRestoreClick);
        tray.SetActive(true);
        form.show();
        QVERIFY(tray.ApplicationVisible());
        QVERIFY(!tray.IconShown());

        tray.HideApplication();
        QVERIFY(form.isVisible()); // never stranded without an icon to click
        QVERIFY(form.isMinimized());
        QVERIFY(!tray.ApplicationVisible());
        QVERIFY(!tray.IconShown());

        tray.ShowApplication();
        QVERIFY(form.isVisible());
        QVERIFY(!form.isMinimized());
        QVERIFY(tray.ApplicationVisible());
        QVERIFY(tray.Visibility() & tvVisibleTaskBar);

        // Inactive, hiding minimizes as well; a window never shown is shown minimized.
        QWidget unshown;
        TVxTrayIcon idle(QStringLiteral("VxTrayIcon"), &unshown);
        idle.HideApplication();
        QVERIFY(unshown.isVisible());
        QVERIFY(unshown.isMinimized());
    }

    void ClicksRestoreOrMinimizeAsTheVisibilityAsks()
    {
        QWidget form;
        QMenu menu;
        QAction *open = menu.addAction(QStringLiteral("Open"));
        QSignalSpy opened(open, &QAction::triggered);
        TVxTrayIcon tray(QStringLiteral("VxTrayIcon"), &form);
        tray.SetPopupMenu(&menu);
        tray.SetVisibility(tvRestoreClick | tvRestoreDbClick);
        form.showMinimized();

        tray.Click();
        QVERIFY(!form.isMinimized());
        tray.Click(); // a visible window stays as it is without tvMinimizeClick
        QVERIFY(!form.isMinimized());

        tray.SetVisibility(tvMinimizeClick | tvRestoreDbClick);
        tray.Click();
        QVERIFY(form.isMinimized());
        menu.setDefaultAction(open);
        tray.DblClick(); // runs the menu's default command, then restores
        QCOMPARE(opened.count(), 1);
        QVERIFY(!form.isMinimized());

        // A connected double-click handler replaces the window's own reaction.
        form.showMinimized();
        QSignalSpy dbl(&tray, &TVxTrayIcon::OnDblClick);
        connect(&tray, &TVxTrayIcon::OnDblClick, this, [] {});
        tray.DblClick();
        QCOMPARE(dbl.count(), 1);
        QCOMPARE(opened.count(), 1);
        QVERIFY(form.isMinimized());
    }

    void PublishesActiveAndHintByName()
    {
        QWidget form;
        TVxTrayIcon tray(QStringLiteral("VxTrayIcon"), &form);
        tray.SetHint(QStringLiteral("Short|Long text"));
        QCOMPARE(tray.Hint(), QStringLiteral("Short|Long text"));
        QCOMPARE(tray.property("Hint").toString(), QStringLiteral("Short|Long text"));
        QVERIFY(tray.setProperty("Active", true));
        QVERIFY(tray.Active());
    }
};

QTEST_MAIN(TestVxTrayIcon)
#include "TestVxTrayIcon.moc"
