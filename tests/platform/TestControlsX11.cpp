// The clipboard of an X11 display of its own (Xvfb), held by another program. Skips itself where
// Xvfb is not installed.
#include "platform/vcl/Controls.h"
#include "Xvfb.h"

#include <QApplication>
#include <QClipboard>
#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <poll.h>
#include <thread>
#include <xcb/xcb.h>

TEST(ControlsX11, AnOwnerThatGivesNoFormatsIsAskedForThemOnceWhetherTheClipboardHoldsText)
{
    TXvfb server;
    if (server.Display().empty())
        GTEST_SKIP() << "Xvfb is not available";
    std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)> owner(
        xcb_connect(server.Display().c_str(), nullptr), xcb_disconnect);
    ASSERT_FALSE(xcb_connection_has_error(owner.get()));
    xcb_connection_t *connection = owner.get();
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    const char name[] = "CLIPBOARD";
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
    ASSERT_TRUE(atom);
    xcb_set_selection_owner(connection, window, atom->atom, XCB_CURRENT_TIME);
    std::free(atom);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

    // Every question is refused at once; a program that never answers costs the asker the same
    // number of waits.
    std::atomic<int> asked{0};
    std::atomic<bool> done{false};
    std::thread answering([&] {
        while (!done) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
                if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
                    const auto *request = reinterpret_cast<const xcb_selection_request_event_t *>(event);
                    ++asked;
                    xcb_selection_notify_event_t refusal{};
                    refusal.response_type = XCB_SELECTION_NOTIFY;
                    refusal.time = request->time;
                    refusal.requestor = request->requestor;
                    refusal.selection = request->selection;
                    refusal.target = request->target;
                    refusal.property = XCB_ATOM_NONE;
                    xcb_send_event(connection, 0, request->requestor, 0, reinterpret_cast<const char *>(&refusal));
                    xcb_flush(connection);
                }
                std::free(event);
            }
            pollfd input{xcb_get_file_descriptor(connection), POLLIN, 0};
            poll(&input, 1, 50);
        }
    });

    server.MakeQtsDisplay();
    int argc = 1;
    char program[5] = "test";
    char *argv[2] = {program, nullptr};
    {
        QApplication app(argc, argv);
        EXPECT_FALSE(TMemo::HoldsText(QGuiApplication::clipboard()->mimeData()));
        EXPECT_EQ(asked.load(), 1);
    }
    done = true;
    answering.join();
}
