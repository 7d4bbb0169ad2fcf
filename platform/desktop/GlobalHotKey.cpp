#include "platform/desktop/GlobalHotKey.h"

#include "platform/desktop/X11Keys.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>

namespace {

xcb_connection_t *DisplayConnection()
{
    const auto *app = qGuiApp;
    if (!app)
        return nullptr;
    const auto *x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The first key code that carries keySym in the keyboard map; 0 when none does.
uint8_t KeyCodeOf(xcb_connection_t *connection, uint32_t keySym)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t *reply = xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, uint8_t(count)), nullptr);
    if (!reply)
        return 0;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(reply);
    const int perCode = reply->keysyms_per_keycode;
    const int total = xcb_get_keyboard_mapping_keysyms_length(reply);
    const auto holds = [&](int column, uint32_t sym) {
        for (int i = 0; i < count && i * perCode + column < total; ++i)
            if (syms[i * perCode + column] == sym)
                return i;
        return -1;
    };
    // The first two columns are the first layout, the next two the second. With a Latin layout
    // second ("ru,us") its columns come first, so that a key means the same key as under "us,ru":
    // the Russian period lies on the US slash key.
    std::vector<int> columns;
    if (perCode >= 4 && holds(0, XK_a) < 0 && holds(2, XK_a) >= 0)
        columns = {2, 3};
    // Unshifted symbols first, so that "1" is not found as the shifted "!" of another key.
    for (int column = 0; column < perCode; ++column)
        if (std::find(columns.begin(), columns.end(), column) == columns.end())
            columns.push_back(column);
    uint8_t found = 0;
    for (int column : columns)
        if (const int i = holds(column, keySym); i >= 0) {
            found = uint8_t(setup->min_keycode + i);
            break;
        }
    std::free(reply);
    return found;
}

// The modifier bit the Num Lock key sets; Mod2 on nearly every keyboard map.
uint16_t NumLockMask(xcb_connection_t *connection)
{
    const uint8_t numLock = KeyCodeOf(connection, XK_Num_Lock);
    xcb_get_modifier_mapping_reply_t *reply =
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr);
    if (!reply)
        return XCB_MOD_MASK_2;
    uint16_t mask = XCB_MOD_MASK_2;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(reply);
    const int perModifier = reply->keycodes_per_modifier;
    for (int modifier = 0; numLock && modifier < 8; ++modifier)
        for (int i = 0; i < perModifier; ++i)
            if (codes[modifier * perModifier + i] == numLock)
                mask = uint16_t(1u << modifier);
    std::free(reply);
    return mask;
}

// The root window of every screen of the display: a display of several screens has the focus on
// any of them, and a key grabbed on one root reaches the program only while that screen has it.
std::vector<uint32_t> Roots(xcb_connection_t *connection)
{
    std::vector<uint32_t> roots;
    for (xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem; xcb_screen_next(&it))
        roots.push_back(it.data->root);
    return roots;
}

} // namespace

TGlobalHotKey::TGlobalHotKey(QObject *parent) : QObject(parent) {}

TGlobalHotKey::~TGlobalHotKey()
{
    Release();
}

bool TGlobalHotKey::Grab(QKeyCombination key)
{
    Release();
    xcb_connection_t *connection = DisplayConnection();
    const uint32_t keySym = X11Keys::KeySymOf(key);
    if (!connection || !keySym)
        return false;
    const uint8_t keyCode = KeyCodeOf(connection, keySym);
    if (!keyCode)
        return false;
    const std::vector<uint32_t> roots = Roots(connection);
    const uint16_t modifiers = X11Keys::ModifierMaskOf(key.keyboardModifiers());
    const uint16_t numLock = NumLockMask(connection);
    const uint16_t variants[] = {0, XCB_MOD_MASK_LOCK, numLock, uint16_t(XCB_MOD_MASK_LOCK | numLock)};

    std::vector<xcb_void_cookie_t> cookies;
    for (uint32_t root : roots)
        for (uint16_t extra : variants)
            cookies.push_back(xcb_grab_key_checked(connection, 1, root, uint16_t(modifiers | extra), keyCode,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    bool refused = false;
    for (const xcb_void_cookie_t &cookie : cookies)
        if (xcb_generic_error_t *error = xcb_request_check(connection, cookie)) {
            refused = true;
            std::free(error);
        }
    if (refused) {
        // Another program holds one of the variants; the ones we got are given back.
        for (uint32_t root : roots)
            for (uint16_t extra : variants)
                xcb_ungrab_key(connection, keyCode, root, uint16_t(modifiers | extra));
        xcb_flush(connection);
        return false;
    }
    FConnection = connection;
    FRoots = roots;
    FKeyCode = keyCode;
    FModifiers = modifiers;
    FLockMasks = uint16_t(XCB_MOD_MASK_LOCK | numLock);
    QCoreApplication::instance()->installNativeEventFilter(this);
    return true;
}

void TGlobalHotKey::Release()
{
    if (!FKeyCode)
        return;
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
    // The display connection belongs to the application and may already be gone at its end.
    if (DisplayConnection() == FConnection) {
        const uint16_t variants[] = {0, XCB_MOD_MASK_LOCK, uint16_t(FLockMasks & ~XCB_MOD_MASK_LOCK), FLockMasks};
        xcb_void_cookie_t last{};
        for (uint32_t root : FRoots)
            for (uint16_t extra : variants)
                last = xcb_ungrab_key_checked(FConnection, FKeyCode, root, uint16_t(FModifiers | extra));
        // Waiting for the server frees the key for another program the moment this returns.
        std::free(xcb_request_check(FConnection, last));
    }
    FConnection = nullptr;
    FRoots.clear();
    FKeyCode = 0;
}

bool TGlobalHotKey::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (!FKeyCode || eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto *press = static_cast<const xcb_key_press_event_t *>(message);
    constexpr uint16_t keyboardMasks = 0xff; // the state also carries mouse buttons
    if (press->detail != FKeyCode || std::find(FRoots.begin(), FRoots.end(), press->event) == FRoots.end() ||
        (press->state & keyboardMasks & ~FLockMasks) != FModifiers)
        return false;
    emit Pressed();
    return true;
}
