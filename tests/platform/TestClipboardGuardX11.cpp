// The clipboard of this program on an X11 display of its own (Xvfb), asked by another program.
// Skips itself where Xvfb is not installed.
#include "platform/desktop/ClipboardGuard.h"
#include "Xvfb.h"

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

namespace {

xcb_atom_t Atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

} // namespace

TEST(ClipboardGuardX11, AListOfFormatsLongerThanAnyProgramAsksForIsRefusedAndAShortOneAnswered)
{
    TXvfb server;
    if (server.Display().empty())
        GTEST_SKIP() << "Xvfb is not available";
    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)> asker(
        xcb_connect(server.Display().c_str(), nullptr), xcb_disconnect);
    ASSERT_FALSE(xcb_connection_has_error(asker.get()));
    xcb_connection_t *connection = asker.get();
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    const xcb_atom_t clipboard = Atom(connection, "CLIPBOARD");
    const xcb_atom_t multiple = Atom(connection, "MULTIPLE");
    const xcb_atom_t pair = Atom(connection, "ATOM_PAIR");
    const xcb_atom_t text = Atom(connection, "UTF8_STRING");
    const xcb_atom_t list = Atom(connection, "VX_LIST");
    const xcb_atom_t answer = Atom(connection, "VX_ANSWER");

    server.MakeQtsDisplay();
    int argc = 1;
    char program[5] = "test";
    char *argv[2] = {program, nullptr};
    QApplication app(argc, argv);
    TClipboardGuard::Install();
    QGuiApplication::clipboard()->setText(QStringLiteral("Am"));

    const struct {
        quint32 pairs;
        bool answered;
    } cases[] = {{2, true}, {TClipboardGuard::MaxPairs, true}, {100000, false}};
    for (const auto &c : cases) {
        std::vector<xcb_atom_t> pairs;
        for (quint32 i = 0; i < c.pairs; ++i)
            pairs.insert(pairs.end(), {text, answer});
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, list, pair, 32, uint32_t(pairs.size()),
                            pairs.data());
        xcb_convert_selection(connection, window, clipboard, multiple, list, XCB_CURRENT_TIME);
        xcb_flush(connection);
        std::unique_ptr<xcb_generic_event_t, void (*)(void *)> notice(nullptr, std::free);
        const QDeadlineTimer deadline(120000);
        while (!notice && !deadline.hasExpired()) {
            app.processEvents(QEventLoop::AllEvents, 10);
            for (xcb_generic_event_t *event; !notice && (event = xcb_poll_for_event(connection));) {
                if ((event->response_type & 0x7f) == XCB_SELECTION_NOTIFY)
                    notice.reset(event);
                else
                    std::free(event);
            }
        }
        ASSERT_TRUE(notice) << c.pairs;
        const auto *answered = reinterpret_cast<const xcb_selection_notify_event_t *>(notice.get());
        EXPECT_EQ(answered->property != XCB_ATOM_NONE, c.answered) << c.pairs;
    }
}
