// The tray icon on an X11 display of its own (Xvfb) with a notification area, where minimizing
// hides the window into the area. Skips itself where Xvfb is not installed.
#include "toolkit/VxTrayIcon.h"
#include "Xvfb.h"

#include <QApplication>
#include <QDialog>
#include <QSystemTrayIcon>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <xcb/xcb.h>

namespace {

// Takes the notification area's selection, which is all that makes a tray there for programs; the
// area goes with the window returned.
xcb_window_t OwnTheNotificationArea(xcb_connection_t *tray, int screenNumber = 0)
{
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(tray));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    xcb_screen_t *screen = screens.data;
    const xcb_window_t window = xcb_generate_id(tray);
    xcb_create_window(tray, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber);
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(tray, xcb_intern_atom(tray, 0, uint16_t(name.size()), name.c_str()), nullptr);
    xcb_set_selection_owner(tray, window, atom->atom, XCB_CURRENT_TIME);
    std::free(atom);
    std::free(xcb_get_input_focus_reply(tray, xcb_get_input_focus(tray), nullptr));
    return window;
}

// The windows that programs asked the area to take in since the last call: each holds an icon.
QList<xcb_window_t> DockRequests(xcb_connection_t *tray)
{
    QList<xcb_window_t> windows;
    while (xcb_generic_event_t *event = xcb_poll_for_event(tray)) {
        const auto *message = reinterpret_cast<const xcb_client_message_event_t *>(event);
        // The request's code (0, dock) follows its time, and the window follows the code.
        if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE && message->format == 32 &&
            message->data.data32[1] == 0)
            windows.append(message->data.data32[2]);
        std::free(event);
    }
    return windows;
}

} // namespace

// A private X server whose notification area a stand-in program holds, and the application on it.
struct VxTrayIconX11 : ::testing::Test
{
    TXvfb server;
    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)> tray{nullptr, xcb_disconnect};
    xcb_window_t area = XCB_WINDOW_NONE;
    int argc = 1;
    char name[5] = "test";
    char *argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;

    void SetUp() override
    {
        if (server.Display().empty())
            GTEST_SKIP() << "Xvfb is not available";
        tray.reset(xcb_connect(server.Display().c_str(), nullptr));
        if (xcb_connection_has_error(tray.get()))
            GTEST_SKIP() << "Xvfb on " << server.Display() << " takes no clients";
        area = OwnTheNotificationArea(tray.get());
        server.MakeQtsDisplay();
        app = std::make_unique<QApplication>(argc, argv);
    }
};

TEST_F(VxTrayIconX11, MinimizingHidesTheWholeProgramUnlessAModalWindowIsOpen)
{
    ASSERT_TRUE(QSystemTrayIcon::isSystemTrayAvailable());

    QWidget form;
    TVxTrayIcon icon(QStringLiteral("VxTrayIcon"), &form);
    icon.SetVisibility(tvVisibleTaskBar | tvAutoHide | tvAutoHideIcon | tvRestoreClick);
    icon.SetActive(true);
    const struct { bool modal; bool hidden; } cases[] = {
        {false, true},
        // The icon takes no click past a modal window, and the window would come back blocked by it.
        {true, false},
    };
    QWidget preview; // another window of the program, which must not act on a hidden one
    for (const auto &c : cases) {
        form.show();
        preview.show();
        QDialog dialog(&form);
        if (c.modal)
            dialog.open();
        form.showMinimized();
        QCoreApplication::processEvents();
        EXPECT_EQ(form.isVisible(), !c.hidden) << c.modal;
        EXPECT_EQ(preview.isVisible(), !c.hidden) << c.modal;
        EXPECT_EQ(icon.IconShown(), c.hidden) << c.modal;
        dialog.close();
        icon.ShowApplication();
        EXPECT_TRUE(preview.isVisible()) << c.modal;
    }
}

TEST_F(VxTrayIconX11, AWindowHiddenInTheAreaComesBackMinimizedWhenTheAreaGoesForGood)
{
    QWidget form;
    TVxTrayIcon icon(QStringLiteral("VxTrayIcon"), &form);
    icon.SetVisibility(tvVisibleTaskBar | tvAutoHide | tvAutoHideIcon | tvRestoreClick);
    icon.SetActive(true);
    QWidget preview; // hidden along with the main window
    form.show();
    preview.show();
    icon.HideApplication();
    ASSERT_FALSE(form.isVisible());
    ASSERT_TRUE(icon.IconShown());
    // The panel that held the area ends (or the window manager that had it is replaced by one without).
    xcb_destroy_window(tray.get(), area);
    xcb_flush(tray.get());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.isVisible() && form.isMinimized(); }, 15000));
    EXPECT_TRUE(preview.isVisible());
    EXPECT_FALSE(icon.IconShown());
}

TEST_F(VxTrayIconX11, AnIconWhoseWindowAnotherProgramDestroysIsPutIntoTheAreaAgain)
{
    QWidget form;
    TVxTrayIcon icon(QStringLiteral("VxTrayIcon"), &form);
    icon.SetVisibility(tvVisibleTaskBar | tvAutoHide | tvAutoHideIcon | tvRestoreClick);
    icon.SetActive(true);
    form.show();
    icon.HideApplication();
    ASSERT_TRUE(icon.IconShown());
    QList<xcb_window_t> docked;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !(docked += DockRequests(tray.get())).isEmpty(); }, 10000));
    const xcb_window_t destroyed = docked.last();
    xcb_destroy_window(tray.get(), destroyed);
    xcb_flush(tray.get());
    // Else the window stays in the area with no icon to click.
    EXPECT_TRUE(QTest::qWaitFor([&] { return (docked += DockRequests(tray.get())).last() != destroyed; }, 10000));
    EXPECT_TRUE(icon.IconShown());
}

TEST(VxTrayIconX11TwoScreens, TheAreaOfAnotherScreenDoesNotKeepTheWindowHidden)
{
    TXvfb server("320x240x24", "320x240x24");
    if (server.Display().empty())
        GTEST_SKIP() << "Xvfb is not available";
    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)> tray(xcb_connect(server.Display().c_str(), nullptr),
                                                                         xcb_disconnect);
    if (xcb_connection_has_error(tray.get()))
        GTEST_SKIP() << "Xvfb on " << server.Display() << " takes no clients";
    const xcb_window_t area = OwnTheNotificationArea(tray.get(), 0);
    OwnTheNotificationArea(tray.get(), 1); // a panel on the other screen, which stays
    server.MakeQtsDisplay();
    int argc = 1;
    char name[] = "test";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);

    QWidget form;
    TVxTrayIcon icon(QStringLiteral("VxTrayIcon"), &form);
    icon.SetVisibility(tvVisibleTaskBar | tvAutoHide | tvAutoHideIcon | tvRestoreClick);
    icon.SetActive(true);
    form.show();
    icon.HideApplication();
    ASSERT_FALSE(form.isVisible());
    xcb_destroy_window(tray.get(), area);
    xcb_flush(tray.get());
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.isVisible() && form.isMinimized(); }, 15000));
}
