// Windows of the program that another program destroys or withdraws, on an X11 display of the
// test's own (Xvfb) without a window manager.
#include "Xvfb.h"
#include "app/ui/WindowEvents.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <xcb/xcb.h>

namespace {

using Connection = std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)>;

struct WindowEventsX11 : ::testing::Test
{
    TXvfb server;
    Connection x{nullptr, xcb_disconnect};
    std::unique_ptr<QApplication> app;
    int argc = 1;
    char name[5] = "test";
    char *argv[2] = {name, nullptr};

    void SetUp() override
    {
        if (server.Display().empty())
            GTEST_SKIP() << "Xvfb is not available";
        x.reset(xcb_connect(server.Display().c_str(), nullptr));
        ASSERT_FALSE(xcb_connection_has_error(x.get()));
        server.MakeQtsDisplay();
        app = std::make_unique<QApplication>(argc, argv);
    }

    // Runs open, which waits for its modal window; once that is on screen, act is done to it once
    // from the test's own connection, and next (when given) whenever the modal window is asked of
    // it. A modal window still open after 20 s is hidden, so that a failing test ends.
    bool RunWithModal(const std::function<void()> &open, const std::function<void(xcb_window_t)> &act,
                      const std::function<void(QWidget *)> &next = {})
    {
        bool acted = false;
        bool hung = false;
        QTimer watch;
        watch.setInterval(10);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || !modal->windowHandle())
                return;
            if (!acted && modal->windowHandle()->isExposed()) {
                acted = true;
                act(xcb_window_t(modal->winId()));
                xcb_flush(x.get());
            } else if (acted && next) {
                next(modal);
            }
        });
        QTimer hang;
        hang.setSingleShot(true);
        QObject::connect(&hang, &QTimer::timeout, [&] {
            hung = true;
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->hide();
        });
        watch.start();
        hang.start(20000);
        open();
        return acted && !hung;
    }
};

} // namespace

// Without the window, nothing could answer it, and the program would wait on it for good.
TEST_F(WindowEventsX11, AWindowAnotherProgramDestroysIsClosedAsByItsCloseButton)
{
    QWidget main;
    main.show();
    WindowEvents::TakeBackDestroyedWindows(&main, &main);
    int result = -2;
    const struct {
        const char *window;
        std::function<void()> open;
        int closed;
    } cases[] = {
        {"message box",
         [&] {
             QMessageBox box(QMessageBox::Question, QStringLiteral("Save"), QStringLiteral("Replace?"),
                             QMessageBox::Yes | QMessageBox::No, &main);
             result = box.exec();
         },
         QMessageBox::No},
        {"window shown modal",
         [&] {
             auto *window = new QWidget(&main, Qt::Window);
             window->setAttribute(Qt::WA_DeleteOnClose);
             WindowEvents::ShowModal(window, &main);
             result = 0;
         },
         0},
    };
    for (const auto &row : cases) {
        result = -2;
        EXPECT_TRUE(RunWithModal(row.open, [&](xcb_window_t window) { xcb_destroy_window(x.get(), window); }))
            << row.window;
        EXPECT_EQ(result, row.closed) << row.window;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << row.window;
    }
}

// A second start or the hot key brings the window that must be answered first back on screen.
TEST_F(WindowEventsX11, AModalWindowAnotherProgramWithdrawsComesBackWhenTheProgramIsAskedToShow)
{
    QWidget main;
    main.show();
    int result = -2;
    bool withdrawn = false;
    EXPECT_TRUE(RunWithModal(
        [&] {
            QMessageBox box(QMessageBox::Question, QStringLiteral("Save"), QStringLiteral("Replace?"),
                            QMessageBox::Yes | QMessageBox::No, &main);
            result = box.exec();
        },
        [&](xcb_window_t window) { xcb_unmap_window(x.get(), window); },
        [&](QWidget *modal) {
            const bool exposed = modal->windowHandle()->isExposed();
            if (!exposed && !withdrawn) {
                withdrawn = true;
                WindowEvents::BringModalWindowBack();
            } else if (exposed && withdrawn) {
                static_cast<QMessageBox *>(modal)->done(QMessageBox::Yes);
            }
        }));
    EXPECT_EQ(result, QMessageBox::Yes);
}

// The main window holds the program's work: hidden, it comes back at the next start. The toolkit
// makes a new native window when the window's flags change (kept on top or not).
TEST_F(WindowEventsX11, TheMainWindowAnotherProgramDestroysIsHiddenAndCanBeShownAgain)
{
    const struct {
        const char *window;
        bool keptOnTop;
    } cases[] = {
        {"as first shown", false},
        {"kept on top", true},
    };
    for (const auto &row : cases) {
        QWidget main;
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main)) << row.window;
        if (row.keptOnTop) {
            main.setWindowFlag(Qt::WindowStaysOnTopHint, true);
            main.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&main)) << row.window;
        }
        QObject watch;
        WindowEvents::TakeBackDestroyedWindows(&watch, &main);
        xcb_destroy_window(x.get(), xcb_window_t(main.windowHandle()->winId()));
        xcb_flush(x.get());
        EXPECT_TRUE(QTest::qWaitFor([&] { return main.isHidden(); }, 5000)) << row.window;
        main.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&main)) << row.window;
    }
}
