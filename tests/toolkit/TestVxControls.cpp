// The toolkit's controls as widgets: enter and leave, hint colours, the header panel's click, the
// gradient's cache, the look-out bar's pages and the repeating scroll arrows.
#include "toolkit/VxGradient.h"
#include "toolkit/VxLookOut.h"

#include <QLabel>
#include <QShortcut>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

namespace {

// Records the order in which the operations, the signals and the widget's own handlers run.
class TRecorder : public TVxExCustomControl
{
public:
    explicit TRecorder(QStringList &log, QWidget *parent = nullptr) : TVxExCustomControl(parent), FLog(log)
    {
        connect(this, &TVxExCustomControl::OnMouseEnter, this,
                [this] { FLog << QStringLiteral("OnMouseEnter over=%1").arg(MouseOver()); });
        connect(this, &TVxExCustomControl::OnMouseLeave, this,
                [this] { FLog << QStringLiteral("OnMouseLeave over=%1").arg(MouseOver()); });
    }

protected:
    void enterEvent(QEnterEvent *) override { FLog << QStringLiteral("enterEvent"); }
    void leaveEvent(QEvent *) override { FLog << QStringLiteral("leaveEvent"); }
    void BoundsChanged() override { FLog << QStringLiteral("BoundsChanged %1").arg(width()); }
    void EnabledChanged() override { FLog << QStringLiteral("EnabledChanged %1").arg(isEnabled()); }

private:
    QStringList &FLog;
};

void Enter(QWidget *widget)
{
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(widget, &enter);
}

void Leave(QWidget *widget)
{
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget, &leave);
}

} // namespace

class TestVxControls : public QObject
{
    Q_OBJECT

private slots:
    void EventsArriveAsOperationsInOrder()
    {
        QStringList log;
        QWidget window;
        TRecorder control(log, &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        log.clear();
        Enter(&control);
        QVERIFY(control.MouseOver());
        Leave(&control);
        QVERIFY(!control.MouseOver());
        control.resize(40, 10);
        control.setEnabled(false);
        const QStringList expected = {
            QStringLiteral("OnMouseEnter over=1"), QStringLiteral("enterEvent"),
            QStringLiteral("leaveEvent"),          QStringLiteral("OnMouseLeave over=0"),
            QStringLiteral("BoundsChanged 40"),    QStringLiteral("EnabledChanged 0"),
        };
        QCOMPARE(log.join(" | "), expected.join(" | "));
    }

    void FocusedControlLeavesShortcutsToTheWindow()
    {
        QWidget window;
        TVxExCustomControl control(&window);
        control.setFocusPolicy(Qt::StrongFocus);
        int fired = 0;
        auto *shortcut = new QShortcut(QKeySequence(Qt::Key_F2), &window);
        connect(shortcut, &QShortcut::activated, &window, [&fired] { ++fired; });
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        control.setFocus();
        QTest::keyClick(&control, Qt::Key_F2);
        QCOMPARE(fired, 1);
    }

    void HintColourComesFromTheControlItsParentOrTheApplication()
    {
        TVxExCustomControl parent;
        TVxExCustomControl child(&parent);
        const QColor application = QToolTip::palette().color(QPalette::ToolTipBase);
        const struct {
            TColor parent;
            TColor child;
            QColor expected;
        } cases[] = {
            {clDefault, clDefault, application},
            {0x0000FF, clDefault, QColor(255, 0, 0)},
            {0x0000FF, clNone, application},
            {0x0000FF, 0x00FF00, QColor(0, 255, 0)},
        };
        for (const auto &c : cases) {
            parent.SetHintColor(c.parent);
            child.SetHintColor(c.child);
            QCOMPARE(child.ResolvedHintColor(), c.expected);
        }
    }

    void HeaderPanelIsOneClickableControl()
    {
        TVxGradientHeaderPanel header;
        header.resize(200, 19);
        header.SetLabelTop(3);
        header.SetLabelCaption(QStringLiteral("Help"));
        QSignalSpy clicks(&header, &TVxGradientHeaderPanel::OnClick);
        const QPoint onLabel = header.Label()->geometry().center();
        const QPoint onGradientOnly(2, 1);
        QVERIFY(!header.Label()->geometry().contains(onGradientOnly));
        QTest::mouseClick(&header, Qt::LeftButton, {}, onLabel);
        QTest::mouseClick(&header, Qt::LeftButton, {}, onGradientOnly);
        QCOMPARE(clicks.size(), 2);
        // The label spans the header but for its margins, or is centred when wider than that.
        QCOMPARE(header.Label()->geometry().left(), 10);
        QCOMPARE(header.Label()->width(), 180);
        header.SetLabelLeft(-5);
        QCOMPARE(header.LabelLeft(), 0);
        QCOMPARE(header.Label()->width(), 200);
    }

    void GradientRendersAgainOnlyWhenSomethingChanged()
    {
        TVxGradient gradient;
        gradient.resize(30, 10);
        gradient.SetStartColor(clBlack);
        QCOMPARE(gradient.grab().toImage().pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(gradient.BufferSize(), QSize(30, 10));
        gradient.SetStartColor(0x0000FF); // red
        QCOMPARE(gradient.BufferSize().width(), 0);
        QCOMPARE(gradient.grab().toImage().pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(gradient.Buffer().pixel(0, 0), qRgb(255, 0, 0));
    }

    void LookOutOpensClickedAndLastVisiblePages()
    {
        TVxLookOut lookOut;
        lookOut.SetBorderStyle(bsNone);
        lookOut.resize(120, 311);
        TVxLookOutPage *pages[] = {new TVxLookOutPage(&lookOut), new TVxLookOutPage(&lookOut),
                                   new TVxLookOutPage(&lookOut)};
        lookOut.show();
        QVERIFY(QTest::qWaitForWindowExposed(&lookOut));
        QTest::mouseClick(pages[1], Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(lookOut.ActivePage(), pages[1]);
        QCOMPARE(pages[2]->y() - 2, 288);
        QTest::mouseClick(pages[0], Qt::LeftButton, {}, QPoint(20, 30)); // below the caption: nothing
        QCOMPARE(lookOut.ActivePage(), pages[1]);
        pages[2]->hide();
        lookOut.SetActivePage(nullptr);
        QCOMPARE(lookOut.ActivePage(), pages[1]);
        QCOMPARE(pages[1]->y() - 2, 20);
        lookOut.SetSmooth(true);
        QTest::mouseClick(pages[0], Qt::LeftButton, {}, QPoint(20, 10));
        QTRY_COMPARE(pages[1]->y() - 2, 288);
        delete pages[1];
        QCOMPARE(lookOut.Pages().size(), 2);
        lookOut.SetActivePage(nullptr);
        QCOMPARE(lookOut.ActivePage(), pages[0]);
    }

    void LookOutImageSizeReachesOnlyPagesThatFollowIt()
    {
        TVxLookOut lookOut;
        auto *following = new TVxLookOutPage(&lookOut);
        auto *own = new TVxLookOutPage(&lookOut);
        own->SetImageSize(isSmall);
        const struct {
            TVxImageSize lookOut;
            TVxImageSize following;
        } steps[] = {{isSmall, isSmall}, {isLarge, isLarge}};
        for (const auto &step : steps) {
            lookOut.SetImageSize(step.lookOut);
            QCOMPARE(following->ImageSize(), step.following);
            QCOMPARE(own->ImageSize(), isSmall);
        }
    }

    void CaptionEditorKeepsEnterAndDropsEsc()
    {
        TVxLookOutPage page;
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        connect(&page, &TVxLookOutPage::OnEdited, &page, [](QObject *, QString &caption) { caption += u'!'; });
        const struct {
            Qt::Key key;
            const char *caption;
        } cases[] = {{Qt::Key_Escape, "Outlook"}, {Qt::Key_Return, "Songs!"}};
        for (const auto &c : cases) {
            page.EditCaption();
            QVERIFY(page.Editor()->isVisible());
            QCOMPARE(page.Editor()->selectedText(), page.Caption());
            QTest::keyClicks(page.Editor(), QStringLiteral("Songs"));
            QTest::keyClick(page.Editor(), c.key);
            QVERIFY(!page.Editor()->isVisible());
            QCOMPARE(page.Caption(), QString::fromUtf8(c.caption));
        }
    }

    void ArrowsRepeatAfterADelayThenFaster()
    {
        TVxLookOutPage page;
        page.resize(92, 100);
        page.SetAutoRepeat(true);
        QList<TVxCustomLookOutButton *> buttons;
        for (int i = 0; i < 6; ++i)
            buttons.append(new TVxCustomLookOutButton(&page));
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QVERIFY(page.DownArrow()->isVisible());
        QVERIFY(!page.UpArrow()->isVisible());
        QTest::mousePress(page.DownArrow(), Qt::LeftButton);
        QTimer *timer = page.DownArrow()->RepeatTimer();
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 400);
        emit timer->timeout({});
        QCOMPARE(timer->interval(), 120);
        QCOMPARE(page.TopControl(), 1);
        QTest::mouseRelease(page.DownArrow(), Qt::LeftButton);
        QVERIFY(!timer->isActive());
        QCOMPARE(page.TopControl(), 2); // the release is a click as well
        QVERIFY(page.UpArrow()->isVisible());
        QCOMPARE(buttons[2]->y(), 26);
    }

    void ArrowsShowWhereButtonsAreAfterEachScroll()
    {
        TVxLookOutPage page;
        for (int i = 0; i < 4; ++i)
            new TVxCustomLookOutButton(&page);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        const struct {
            bool down;
            bool upArrow;
            bool downArrow;
        } steps[] = {{true, true, true}, {false, false, true}};
        for (const auto &step : steps) {
            step.down ? page.ScrollDown() : page.ScrollUp();
            QCOMPARE(page.UpArrow()->isVisible(), step.upArrow);
            QCOMPARE(page.DownArrow()->isVisible(), step.downArrow);
        }
    }
};

QTEST_MAIN(TestVxControls)
#include "TestVxControls.moc"
