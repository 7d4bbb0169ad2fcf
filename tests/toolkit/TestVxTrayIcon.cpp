// The tray icon where the desktop has no notification area (offscreen): hiding minimizes, and
// the icon's clicks and the restore bring the window back.
#include "platform/desktop/NotifyIcon.h"
#include "toolkit/VxGraphics.h"
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
        QTRY_VERIFY(unshown.isMinimized());
        // Brought back before it was minimized, it stays up.
        QWidget restored;
        TVxTrayIcon early(QStringLiteral("VxTrayIcon"), &restored);
        early.HideApplication();
        early.ShowApplication();
        QCoreApplication::processEvents();
        QVERIFY(restored.isVisible());
        QVERIFY(!restored.isMinimized());
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

    void SingleClickWaitsForAPossibleDoubleClick()
    {
        QWidget form;
        TVxTrayIcon tray(QStringLiteral("VxTrayIcon"), &form);
        tray.SetVisibility(tvRestoreClick | tvRestoreDbClick);
        QSignalSpy clicked(&tray, &TVxTrayIcon::OnClick);
        form.showMinimized();
        tray.MouseClicked(Qt::LeftButton, QPoint());
        QVERIFY(form.isMinimized()); // not yet: a second click may follow
        QTRY_VERIFY_WITH_TIMEOUT(!form.isMinimized(), 5000);
        QCOMPARE(clicked.count(), 1);

        form.showMinimized();
        tray.MouseClicked(Qt::LeftButton, QPoint());
        tray.DblClick(); // restores at once and drops the waiting click
        QVERIFY(!form.isMinimized());
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        QCOMPARE(clicked.count(), 1);
    }

    void AnimationStepsThroughTheIcons()
    {
        const struct {
            int count;
            bool swing;
            QList<int> expected; // from index 0
        } cases[] = {
            {3, false, {1, 2, 0, 1, 2}},
            {3, true, {1, 2, 1, 0, 1}},
            {2, true, {1, 0, 1, 0}},
        };
        for (const auto &c : cases) {
            int index = 0;
            int direction = 1;
            QList<int> seen;
            for (int i = 0; i < c.expected.size(); ++i)
                seen.append(index = TVxTrayIcon::NextIconIndex(index, c.count, c.swing, direction));
            QCOMPARE(seen, c.expected);
        }
        int direction = 1;
        QCOMPARE(TVxTrayIcon::NextIconIndex(-1, 3, false, direction), 0);

        // Without a shown icon (no notification area here) a tick goes back to the first picture.
        QWidget form;
        TCustomImageList icons;
        icons.Images = {QPixmap(16, 16), QPixmap(16, 16), QPixmap(16, 16)};
        TVxTrayIcon tray(QStringLiteral("VxTrayIcon"), &form);
        tray.SetIcons(&icons);
        tray.SetIconIndex(2);
        QSignalSpy animated(&tray, &TVxTrayIcon::OnAnimate);
        tray.Animate();
        QCOMPARE(tray.IconIndex(), 0);
        QCOMPARE(animated.count(), 0);
    }

    void MouseEventsAndBalloonsWithoutAnIcon()
    {
        QWidget form;
        TVxTrayIcon tray(QStringLiteral("VxTrayIcon"), &form);
        QSignalSpy down(&tray, &TVxTrayIcon::OnMouseDown);
        QSignalSpy up(&tray, &TVxTrayIcon::OnMouseUp);
        QSignalSpy clicked(&tray, &TVxTrayIcon::OnClick);
        connect(&tray, &TVxTrayIcon::OnClick, this, [] {});
        tray.MouseClicked(Qt::RightButton, QPoint(5, 7));
        QCOMPARE(down.count(), 1);
        QCOMPARE(up.count(), 1);
        QCOMPARE(down.at(0).at(1).value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(up.at(0).at(3).toInt(), 5);
        QCOMPARE(clicked.count(), 1); // a handler makes every button's click count

        bool asked = false;
        connect(&tray, &TVxTrayIcon::OnContextPopup, this, [&](QObject *, QPoint at, bool &handled) {
            asked = at == QPoint(5, 7);
            handled = true;
        });
        tray.ContextPopup(QPoint(5, 7));
        QVERIFY(asked);

        QCOMPARE(TVxTrayIcon::BalloonIconFlag(btNone), 0);
        QCOMPARE(TVxTrayIcon::BalloonIconFlag(btError), 3);
        QCOMPARE(TVxTrayIcon::BalloonIconFlag(btInfo), 1);
        QCOMPARE(TVxTrayIcon::BalloonIconFlag(btWarning), 2);
        QSignalSpy shown(&tray, &TVxTrayIcon::OnBalloonShow);
        tray.BalloonHint(QStringLiteral("Title"), QStringLiteral("Text"), btInfo, 1000);
        QCOMPARE(shown.count(), 0); // no icon to show it at
        QCOMPARE(tray.BalloonCount(), 0);
    }

    void ARightClickIsAButtonDownAndUpBeforeItsMenu()
    {
        QWidget form;
        TVxTrayIcon tray(QStringLiteral("VxTrayIcon"), &form);
        QList<QString> seen;
        const auto button = [&](const char *what) {
            return [&seen, what](QObject *, Qt::MouseButton b, Qt::KeyboardModifiers, int, int) {
                seen << QStringLiteral("%1 %2").arg(QLatin1String(what)).arg(b);
            };
        };
        connect(&tray, &TVxTrayIcon::OnMouseDown, this, button("down"));
        connect(&tray, &TVxTrayIcon::OnMouseUp, this, button("up"));
        connect(&tray, &TVxTrayIcon::OnClick, this, [&] { seen << QStringLiteral("click"); });
        connect(&tray, &TVxTrayIcon::OnContextPopup, this,
                [&](QObject *, QPoint, bool &) { seen << QStringLiteral("menu"); });
        emit tray.findChild<TNotifyIcon *>()->ContextRequested();
        QCOMPARE(seen, QList<QString>({"down 2", "click", "up 2", "menu"}));
    }

    void AHandledContextPopupKeepsTheMenuClosed()
    {
        // The desktop would open a menu it holds before the handler is asked.
        QWidget form;
        QMenu menu;
        TVxTrayIcon tray(QStringLiteral("VxTrayIcon"), &form);
        tray.SetPopupMenu(&menu);
        QCOMPARE(tray.DesktopMenu(), &menu);
        const auto handler = connect(&tray, &TVxTrayIcon::OnContextPopup, this,
                                     [](QObject *, QPoint, bool &handled) { handled = true; });
        QCOMPARE(tray.DesktopMenu(), nullptr);
        tray.ContextPopup(QPoint(5, 7));
        QVERIFY(!menu.isVisible());
        disconnect(handler);
        QCOMPARE(tray.DesktopMenu(), &menu);
    }

    void HintTipStopsAtTheBarAnd127Characters()
    {
        QWidget form;
        TVxTrayIcon tray(QStringLiteral("VxTrayIcon"), &form);
        tray.SetHint(QString(200, QLatin1Char('a')));
        QCOMPARE(tray.ShortHint().size(), 127);
        tray.SetHint(QStringLiteral("Vexo|long help"));
        QCOMPARE(tray.ShortHint(), QStringLiteral("Vexo"));
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
