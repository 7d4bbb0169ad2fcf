// The real key grab on an X11 display of its own (Xvfb). Skips itself where Xvfb is not installed.
#include "platform/desktop/GlobalHotKey.h"
#include "toolkit/VxAppHotKey.h"
#include "Xvfb.h"

#include <QGuiApplication>
#include <QStandardPaths>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <chrono>
#include <thread>
#include <sys/prctl.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <X11/keysym.h>

namespace {

xcb_keycode_t KeyCodeOf(xcb_connection_t *connection, xcb_keysym_t keySym)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto *reply = xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, uint8_t(count)), nullptr);
    xcb_keycode_t found = 0;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(reply);
    for (int i = 0; i < count && !found; ++i)
        if (syms[i * reply->keysyms_per_keycode] == keySym)
            found = xcb_keycode_t(setup->min_keycode + i);
    std::free(reply);
    return found;
}

// Whether another client could grab every key with these modifiers on the root window now.
bool OtherClientCanGrab(xcb_connection_t *other, xcb_window_t root, uint16_t modifiers)
{
    xcb_generic_error_t *error = xcb_request_check(
        other, xcb_grab_key_checked(other, 1, root, modifiers, XCB_GRAB_ANY, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    std::free(error);
    if (error)
        return false;
    xcb_ungrab_key(other, XCB_GRAB_ANY, root, modifiers);
    xcb_flush(other);
    return true;
}

bool OtherClientCanGrab(xcb_connection_t *other, uint16_t modifiers)
{
    return OtherClientCanGrab(other, xcb_setup_roots_iterator(xcb_get_setup(other)).data->root, modifiers);
}

} // namespace

TEST(GlobalHotKeyX11, GrabsTheKeyOnTheDisplayAndMatchesItsPresses)
{
    // A display server that stops answering must fail the test, not stall the whole run.
    std::thread([] {
        std::this_thread::sleep_for(std::chrono::seconds(60));
        std::fputs("the X11 test took more than 60 s\n", stderr);
        std::_Exit(1);
    }).detach();
    TXvfb server;
    if (server.Display().empty())
        GTEST_SKIP() << "Xvfb is not available";
    // A server that started but takes no clients is this machine's trouble, not the grab's. The
    // probe stays connected: an X server resets when its last client leaves.
    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)> probe(
        xcb_connect(server.Display().c_str(), nullptr), xcb_disconnect);
    if (xcb_connection_has_error(probe.get()))
        GTEST_SKIP() << "Xvfb on " << server.Display() << " takes no clients";
    setenv("DISPLAY", server.Display().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    int argc = 1;
    char name[] = "test";
    char *argv[] = {name, nullptr};
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    xcb_connection_t *other = xcb_connect(server.Display().c_str(), nullptr);
    ASSERT_FALSE(xcb_connection_has_error(other));
    const uint16_t ctrlShift = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;

    {
        TGlobalHotKey hotKey;
        ASSERT_TRUE(hotKey.Grab(QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_F10)));
        EXPECT_FALSE(OtherClientCanGrab(other, ctrlShift));
        EXPECT_TRUE(OtherClientCanGrab(other, XCB_MOD_MASK_CONTROL)); // only the one combination is taken

        // Presses as the server reports them: Caps Lock and Num Lock (Mod2) do not matter.
        int pressed = 0;
        QObject::connect(&hotKey, &TGlobalHotKey::Pressed, [&pressed] { ++pressed; });
        const xcb_keycode_t f10 = KeyCodeOf(other, XK_F10);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
        const struct { uint8_t type; xcb_keycode_t code; uint16_t state; bool matches; } cases[] = {
            {XCB_KEY_PRESS, f10, ctrlShift, true},
            {XCB_KEY_PRESS, f10, ctrlShift | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2, true},
            {XCB_KEY_PRESS, f10, ctrlShift | XCB_BUTTON_MASK_1, true},
            {XCB_KEY_PRESS | 0x80, f10, ctrlShift, true}, // sent by another client
            {XCB_KEY_PRESS, f10, ctrlShift | XCB_MOD_MASK_1, false},
            {XCB_KEY_PRESS, f10, XCB_MOD_MASK_CONTROL, false},
            {XCB_KEY_PRESS, xcb_keycode_t(f10 + 1), ctrlShift, false},
            {XCB_KEY_RELEASE, f10, ctrlShift, false},
        };
        for (const auto &c : cases) {
            xcb_key_press_event_t event{};
            event.response_type = c.type;
            event.detail = c.code;
            event.state = c.state;
            event.root = event.event = root;
            const int before = pressed;
            EXPECT_EQ(hotKey.nativeEventFilter("xcb_generic_event_t", &event, nullptr), c.matches) << c.state;
            EXPECT_EQ(pressed - before, c.matches ? 1 : 0);
        }
        hotKey.Release();
        EXPECT_TRUE(OtherClientCanGrab(other, ctrlShift));
    }

    // A key another program holds is refused; the component then tries the handler's replacement.
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    ASSERT_FALSE(xcb_request_check(other, xcb_grab_key_checked(other, 1, root, ctrlShift, XCB_GRAB_ANY,
                                                               XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)));
    QObject owner;
    TVxApplicationHotKey appHotKey(QStringLiteral("VxAppHotKey"), &owner);
    appHotKey.SetHotKey(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F10));
    int failures = 0;
    QObject::connect(&appHotKey, &TVxApplicationHotKey::OnHotKeyRegisterFailed, [&failures](QObject *, QKeySequence &key) {
        ++failures;
        key = QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F11);
    });
    appHotKey.SetActive(true);
    EXPECT_TRUE(appHotKey.Active());
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(appHotKey.HotKey(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F11));
    EXPECT_FALSE(OtherClientCanGrab(other, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1));
    appHotKey.SetActive(false);
    EXPECT_TRUE(OtherClientCanGrab(other, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1));

    // With the Russian layout first ("ru,us"), its period lies on the US slash key and its slash on
    // the backslash key; a hot key still means the key that carries it in the US layout.
    const struct { xcb_keycode_t code; xcb_keysym_t syms[4]; } ruFirst[] = {
        {38, {XK_Cyrillic_ef, XK_Cyrillic_EF, XK_a, XK_A}},
        {51, {XK_backslash, XK_slash, XK_backslash, XK_bar}},
        {60, {XK_Cyrillic_yu, XK_Cyrillic_YU, XK_period, XK_greater}},
        {61, {XK_period, XK_comma, XK_slash, XK_question}},
    };
    for (const auto &key : ruFirst)
        ASSERT_FALSE(xcb_request_check(other, xcb_change_keyboard_mapping_checked(other, 1, key.code, 4, key.syms)));
    const struct { Qt::Key key; xcb_keycode_t code; } usKeys[] = {
        {Qt::Key_Period, 60},
        {Qt::Key_Slash, 61},
        {Qt::Key_A, 38},
    };
    for (const auto &c : usKeys) {
        TGlobalHotKey hotKey;
        ASSERT_TRUE(hotKey.Grab(QKeyCombination(Qt::CTRL | Qt::ALT, c.key))) << c.key;
        xcb_key_press_event_t event{};
        event.response_type = XCB_KEY_PRESS;
        event.detail = c.code;
        event.state = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | (1 << 13); // the second group active
        event.root = event.event = root;
        EXPECT_TRUE(hotKey.nativeEventFilter("xcb_generic_event_t", &event, nullptr)) << c.key;
    }

    xcb_disconnect(other);
    app.reset();
}

TEST(GlobalHotKeyX11, TakesTheKeyOnEveryScreenOfTheDisplay)
{
    TXvfb server("320x240x24", "320x240x24");
    if (server.Display().empty())
        GTEST_SKIP() << "Xvfb is not available";
    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)> other(
        xcb_connect(server.Display().c_str(), nullptr), xcb_disconnect);
    if (xcb_connection_has_error(other.get()))
        GTEST_SKIP() << "Xvfb on " << server.Display() << " takes no clients";
    // The program shows on the second screen; the focus may be on either.
    const std::string secondScreen = server.Display() + ".1";
    setenv("DISPLAY", secondScreen.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    int argc = 1;
    char name[] = "test";
    char *argv[] = {name, nullptr};
    auto app = std::make_unique<QGuiApplication>(argc, argv);
    const uint16_t ctrlShift = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;
    const xcb_keycode_t f10 = KeyCodeOf(other.get(), XK_F10);
    {
        TGlobalHotKey hotKey;
        ASSERT_TRUE(hotKey.Grab(QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_F10)));
        int pressed = 0;
        QObject::connect(&hotKey, &TGlobalHotKey::Pressed, [&pressed] { ++pressed; });
        int screen = 0;
        for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(other.get())); it.rem;
             xcb_screen_next(&it), ++screen) {
            const xcb_window_t root = it.data->root;
            xcb_generic_error_t *error = xcb_request_check(
                other.get(), xcb_grab_key_checked(other.get(), 1, root, ctrlShift, f10, XCB_GRAB_MODE_ASYNC,
                                                  XCB_GRAB_MODE_ASYNC));
            EXPECT_NE(error, nullptr) << "screen " << screen;
            std::free(error);
            xcb_key_press_event_t event{};
            event.response_type = XCB_KEY_PRESS;
            event.detail = f10;
            event.state = ctrlShift;
            event.root = event.event = root;
            EXPECT_TRUE(hotKey.nativeEventFilter("xcb_generic_event_t", &event, nullptr)) << "screen " << screen;
        }
        EXPECT_EQ(screen, 2);
        EXPECT_EQ(pressed, 2);
        hotKey.Release();
        for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(other.get())); it.rem; xcb_screen_next(&it))
            EXPECT_TRUE(OtherClientCanGrab(other.get(), it.data->root, ctrlShift));
    }
    app.reset();
}
