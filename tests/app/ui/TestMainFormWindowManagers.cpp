// The main window under real window managers, on an X11 display of its own (Xvfb). Each case
// skips itself where Xvfb or its window manager is not installed.
#include "TestSupport.h"
#include "Xvfb.h"
#include "app/ui/MainUnit.h"

#include <QApplication>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

using Connection = std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)>;

xcb_atom_t Atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

QList<xcb_atom_t> Property(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property)
{
    QList<xcb_atom_t> values;
    xcb_get_property_reply_t *reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, XCB_ATOM_ANY, 0, 64), nullptr);
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
        values = QList<xcb_atom_t>(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

// A window manager of the test's own, ended with the test.
class TWindowManager
{
public:
    TWindowManager(const QString &name, const std::string &display)
    {
        const QString program = QStandardPaths::findExecutable(name);
        if (program.isEmpty())
            return;
        FPid = fork();
        if (FPid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            setenv("DISPLAY", display.c_str(), 1);
            const std::string path = program.toStdString();
            execl(path.c_str(), path.c_str(), static_cast<char *>(nullptr));
            _exit(127);
        }
    }
    ~TWindowManager()
    {
        if (FPid > 0) {
            kill(FPid, SIGTERM);
            waitpid(FPid, nullptr, 0);
        }
    }
    bool Started() const { return FPid > 0; }

private:
    pid_t FPid = -1;
};

} // namespace

TEST(MainFormWindowManagers, AWindowAlwaysOnTopComesBackWhereItWas)
{
    TXvfb server("1280x1024x24");
    if (server.Display().empty())
        GTEST_SKIP() << "Xvfb is not available";
    TWindowManager manager(QStringLiteral("icewm"), server.Display());
    if (!manager.Started())
        GTEST_SKIP() << "icewm is not installed";
    Connection x(xcb_connect(server.Display().c_str(), nullptr), xcb_disconnect);
    ASSERT_FALSE(xcb_connection_has_error(x.get()));
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x.get())).data->root;
    const xcb_atom_t check = Atom(x.get(), "_NET_SUPPORTING_WM_CHECK");
    server.MakeQtsDisplay();
    int argc = 1;
    char name[] = "test";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Property(x.get(), root, check).isEmpty(); }, 20000));
    const xcb_atom_t state = Atom(x.get(), "_NET_WM_STATE");
    const xcb_atom_t above = Atom(x.get(), "_NET_WM_STATE_ABOVE");
    const xcb_atom_t extents = Atom(x.get(), "_NET_FRAME_EXTENTS");

    QTemporaryDir dir;
    ASSERT_TRUE(TestSupport::WriteFile(dir.filePath("veltrasomin_settings.ini"),
                                       "[POSITION]\nTop=200\nLeft=300\n[OPTIONS]\nOptionsAlwaysOnTop=1\n"));
    for (int run = 0; run < 3; ++run) {
        TMainForm form(dir.path());
        form.show();
        // Framed, placed and raised by the window manager.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return form.windowHandle()->isExposed() && Property(x.get(), form.winId(), state).contains(above) &&
                       !Property(x.get(), form.winId(), extents).isEmpty();
            },
            5000));
        const auto inside = [&] {
            xcb_translate_coordinates_reply_t *where = xcb_translate_coordinates_reply(
                x.get(), xcb_translate_coordinates(x.get(), form.winId(), root, 0, 0), nullptr);
            const QPoint point = where ? QPoint(where->dst_x, where->dst_y) : QPoint(-1, -1);
            std::free(where);
            return point;
        };
        EXPECT_EQ(inside(), QPoint(300, 200)) << "run " << run;
        ASSERT_TRUE(form.close());
    }
}

TEST(MainFormWindowManagers, AWindowOnTheSecondScreenKeepsItsPlace)
{
    TXvfb server("640x480x24", "1280x1024x24");
    if (server.Display().empty())
        GTEST_SKIP() << "Xvfb is not available";
    const std::string secondScreen = server.Display() + ".1";
    TWindowManager manager(QStringLiteral("icewm"), secondScreen);
    if (!manager.Started())
        GTEST_SKIP() << "icewm is not installed";
    Connection x(xcb_connect(secondScreen.c_str(), nullptr), xcb_disconnect);
    ASSERT_FALSE(xcb_connection_has_error(x.get()));
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x.get()));
    xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const xcb_atom_t check = Atom(x.get(), "_NET_SUPPORTING_WM_CHECK");
    server.MakeQtsDisplay();
    setenv("DISPLAY", secondScreen.c_str(), 1);
    int argc = 1;
    char name[] = "test";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Property(x.get(), root, check).isEmpty(); }, 20000));
    const xcb_atom_t extents = Atom(x.get(), "_NET_FRAME_EXTENTS");

    QTemporaryDir dir;
    ASSERT_TRUE(TestSupport::WriteFile(dir.filePath("veltrasomin_settings.ini"), "[POSITION]\nTop=200\nLeft=300\n"));
    {
        TMainForm form(dir.path());
        form.show();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return form.windowHandle()->isExposed() && !Property(x.get(), form.winId(), extents).isEmpty(); },
            5000));
        ASSERT_TRUE(form.close());
    }
    const QByteArray settings = TestSupport::ReadFile(dir.filePath("veltrasomin_settings.ini"));
    EXPECT_TRUE(settings.contains("Top=200\n")) << settings.constData();
    EXPECT_TRUE(settings.contains("Left=300\n")) << settings.constData();
}

TEST(MainFormWindowManagers, AStoredPlaceOffTheSecondScreenIsPulledOntoIt)
{
    // The first screen is larger: the place lies on it, but the window shows on the second.
    TXvfb server("1280x1024x24", "640x480x24");
    if (server.Display().empty())
        GTEST_SKIP() << "Xvfb is not available";
    server.MakeQtsDisplay();
    const std::string secondScreen = server.Display() + ".1";
    setenv("DISPLAY", secondScreen.c_str(), 1);
    int argc = 1;
    char name[] = "test";
    char *argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QTemporaryDir dir;
    ASSERT_TRUE(TestSupport::WriteFile(dir.filePath("veltrasomin_settings.ini"), "[POSITION]\nTop=800\nLeft=900\n"));
    TMainForm form(dir.path());
    EXPECT_TRUE(QRect(0, 0, 640, 480).contains(form.geometry().topLeft())) << form.geometry().x() << ","
                                                                           << form.geometry().y();
}
