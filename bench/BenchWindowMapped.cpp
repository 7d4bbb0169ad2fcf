// From launch to the main window on screen, as the user sees it: the program is started under a
// private X server and timed until its window is mapped, beside a bare Qt Widgets window of the
// same size started the same way. Needs Xvfb; run by hand:
//   build/bench/BenchWindowMapped
// The program runs from a copy in a temporary folder, so its files land there; VX_PROGRAM=path
// times another build of it.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <benchmark/benchmark.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A private X server for this run, taken down with the program.
class TXServer
{
public:
    TXServer()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        FPid = ::fork();
        if (FPid == 0) {
            ::close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1600x1200x24", "-nolisten", "tcp",
                     static_cast<char *>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        std::string number;
        char c;
        pollfd wait{fds[0], POLLIN, 0};
        while (::poll(&wait, 1, 10'000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (number.empty())
            return;
        FDisplay = ":" + number;
        FConnection = xcb_connect(FDisplay.c_str(), nullptr);
        if (xcb_connection_has_error(FConnection))
            return;
        FRoot = xcb_setup_roots_iterator(xcb_get_setup(FConnection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(FConnection, FRoot, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(FConnection);
        FReady = true;
    }

    ~TXServer()
    {
        if (FConnection)
            xcb_disconnect(FConnection);
        if (FPid > 0) {
            ::kill(FPid, SIGTERM);
            ::waitpid(FPid, nullptr, 0);
        }
    }

    bool Ready() const { return FReady; }
    const std::string &Display() const { return FDisplay; }

    // Waits for a top-level window to be mapped; its size, or nothing after ten seconds.
    std::optional<std::pair<int, int>> WaitForMappedWindow()
    {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        pollfd wait{xcb_get_file_descriptor(FConnection), POLLIN, 0};
        while (Clock::now() < deadline) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(FConnection)) {
                const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
                const xcb_window_t window = mapped ? reinterpret_cast<xcb_map_notify_event_t *>(event)->window : 0;
                std::free(event);
                if (mapped) {
                    std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
                        xcb_get_geometry_reply(FConnection, xcb_get_geometry(FConnection, window), nullptr), &std::free);
                    if (geometry)
                        return std::make_pair(int(geometry->width), int(geometry->height));
                    return std::make_pair(0, 0);
                }
            }
            if (xcb_connection_has_error(FConnection))
                return std::nullopt;
            ::poll(&wait, 1, 100);
        }
        return std::nullopt;
    }

private:
    pid_t FPid = -1;
    std::string FDisplay;
    xcb_connection_t *FConnection = nullptr;
    xcb_window_t FRoot = 0;
    bool FReady = false;
};

TXServer &Server()
{
    static TXServer server;
    return server;
}

fs::path SelfPath()
{
    return fs::read_symlink("/proc/self/exe");
}

// A copy of the program in a folder of its own, started once so that its files exist.
const fs::path &ProgramCopy()
{
    static const fs::path program = [] {
        // VX_PROGRAM names another build of the program, to compare two of them.
        const char *other = std::getenv("VX_PROGRAM");
        const fs::path built = other ? fs::path(other) : SelfPath().parent_path().parent_path() / "app" / "veltrasomin";
        char folder[] = "/tmp/vx-bench-XXXXXX";
        if (!::mkdtemp(folder))
            return fs::path();
        const fs::path copy = fs::path(folder) / "veltrasomin";
        std::error_code error;
        fs::copy_file(built, copy, error);
        return error ? fs::path() : copy;
    }();
    return program;
}

std::pair<int, int> &MainWindowSize()
{
    static std::pair<int, int> size{0, 0};
    return size;
}

// Starts argv with the private display, waits for its window and ends it; seconds, or -1.
double TimeToMappedWindow(const std::vector<std::string> &arguments, std::pair<int, int> *size = nullptr)
{
    TXServer &server = Server();
    const auto started = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("DISPLAY", server.Display().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        ::setenv("LC_ALL", "C.UTF-8", 1);
        std::vector<char *> argv;
        for (const std::string &argument : arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    const auto mapped = server.WaitForMappedWindow();
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    if (!mapped)
        return -1;
    if (size)
        *size = *mapped;
    return seconds;
}

void Measure(benchmark::State &state, const std::vector<std::string> &arguments)
{
    for (auto _ : state) {
        const double seconds = TimeToMappedWindow(arguments);
        if (seconds < 0) {
            state.SkipWithError("the window was never mapped");
            break;
        }
        state.SetIterationTime(seconds);
    }
}

void MainWindow(benchmark::State &state)
{
    if (!Server().Ready() || ProgramCopy().empty()) {
        state.SkipWithError("needs Xvfb and the built program");
        return;
    }
    Measure(state, {ProgramCopy().string()});
}
BENCHMARK(MainWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

void BareQtWindowOfTheSameSize(benchmark::State &state)
{
    if (!Server().Ready() || MainWindowSize().first == 0) {
        state.SkipWithError("needs Xvfb and the main window's size");
        return;
    }
    Measure(state, {SelfPath().string(), "--bare-window", std::to_string(MainWindowSize().first),
                    std::to_string(MainWindowSize().second)});
}
BENCHMARK(BareQtWindowOfTheSameSize)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

// The same with one line of text: the share of start-up that any window showing text pays for
// its fonts.
void BareQtWindowWithText(benchmark::State &state)
{
    if (!Server().Ready() || MainWindowSize().first == 0) {
        state.SkipWithError("needs Xvfb and the main window's size");
        return;
    }
    Measure(state, {SelfPath().string(), "--bare-window", std::to_string(MainWindowSize().first),
                    std::to_string(MainWindowSize().second), "text"});
}
BENCHMARK(BareQtWindowWithText)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

// Both launches in turns, so that a busy machine slows them alike: the program's time, with the
// bare window's median and the ratio of the medians beside it.
void MainWindowAgainstBare(benchmark::State &state)
{
    if (!Server().Ready() || ProgramCopy().empty() || MainWindowSize().first == 0) {
        state.SkipWithError("needs Xvfb and the built program");
        return;
    }
    const std::vector<std::string> bare{SelfPath().string(), "--bare-window", std::to_string(MainWindowSize().first),
                                        std::to_string(MainWindowSize().second)};
    // VX_OTHER_PROGRAM names a second build to time in the same turns (started from where it lies).
    const char *other = std::getenv("VX_OTHER_PROGRAM");
    std::vector<double> programTimes, bareTimes, otherTimes;
    for (auto _ : state) {
        const double program = TimeToMappedWindow({ProgramCopy().string()});
        const double window = TimeToMappedWindow(bare);
        const double second = other ? TimeToMappedWindow({other}) : 0;
        if (program < 0 || window < 0 || second < 0) {
            state.SkipWithError("the window was never mapped");
            return;
        }
        programTimes.push_back(program);
        bareTimes.push_back(window);
        otherTimes.push_back(second);
        state.SetIterationTime(program);
    }
    const auto median = [](std::vector<double> times) {
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    state.counters["bare_ms"] = median(bareTimes) * 1000;
    state.counters["ratio"] = median(programTimes) / median(bareTimes);
    if (other) {
        state.counters["other_ms"] = median(otherTimes) * 1000;
        state.counters["other_ratio"] = median(otherTimes) / median(bareTimes);
    }
}
BENCHMARK(MainWindowAgainstBare)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(60);

int BareWindow(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.resize(std::atoi(argv[2]), std::atoi(argv[3]));
    if (argc == 5)
        new QLabel(QStringLiteral("Vexo Veltrasomin"), &window);
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    if ((argc == 4 || argc == 5) && std::string(argv[1]) == "--bare-window")
        return BareWindow(argc, argv);
    // The first start writes the program's files and gives the size the bare window copies.
    if (Server().Ready() && !ProgramCopy().empty())
        TimeToMappedWindow({ProgramCopy().string()}, &MainWindowSize());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code error;
    if (!ProgramCopy().empty())
        fs::remove_all(ProgramCopy().parent_path(), error);
    return 0;
}
