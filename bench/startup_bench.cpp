// Time from starting the lumora executable to its main window being mapped on the X server, and from a
// full-screen hot key to the capture drawn in a new tab. Run on a display of its own (for instance
// xvfb-run -s "-screen 0 1920x1080x24" build/bench/startup_bench).
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
bool IsLumoraWindow(Display* display, Window window)
{
    char* name = nullptr;
    const bool match = XFetchName(display, window, &name) && name && std::strcmp(name, "Lumora") == 0;
    if (name)
        XFree(name);
    return match;
}

// Waits for a top-level window titled "Lumora" to be mapped; false after limitMs.
bool WaitForMappedLumora(Display* display, int limitMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (std::chrono::steady_clock::now() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && IsLumoraWindow(display, event.xmap.window))
                return true;
        }
        fd_set read;
        FD_ZERO(&read);
        FD_SET(ConnectionNumber(display), &read);
        timeval wait { 0, 10000 };
        select(ConnectionNumber(display) + 1, &read, nullptr, nullptr, &wait);
    }
    return false;
}

void StartToWindowMapped(benchmark::State& state)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        state.SkipWithError("no X display");
        return;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    char configTemplate[] = "/tmp/lumora-bench-XXXXXX";
    const std::string config = mkdtemp(configTemplate);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            setenv("XDG_CONFIG_HOME", config.c_str(), 1);
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            execl(LUMORA_EXECUTABLE, "lumora", static_cast<char*>(nullptr));
            _exit(127);
        }
        const bool mapped = WaitForMappedLumora(display, 20000);
        const auto end = std::chrono::steady_clock::now();
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        if (!mapped) {
            state.SkipWithError("the main window was not mapped within 20 s");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    XCloseDisplay(display);
    std::error_code ignored;
    std::filesystem::remove_all(config, ignored);
}
// The delay every capture waits before reading the screen; the smallest the settings allow.
constexpr int kCaptureDelayMs = 800;
constexpr unsigned long kViewGrey = 0x949494;

unsigned long PixelAt(Display* display, int x, int y)
{
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return ~0ul;
    const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel;
}

// Where a block of colour shows with the view's grey just above and to its left: the top-left corner of
// a capture drawn in a tab at 100 %.
std::optional<std::pair<int, int>> FindInView(Display* display, unsigned long colour)
{
    const int width = DisplayWidth(display, DefaultScreen(display));
    const int height = DisplayHeight(display, DefaultScreen(display));
    XImage* image = XGetImage(display, DefaultRootWindow(display), 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image)
        return std::nullopt;
    std::optional<std::pair<int, int>> found;
    for (int y = 1; y < height && !found; ++y) {
        for (int x = 1; x < width && !found; ++x) {
            if ((XGetPixel(image, x, y) & 0xFFFFFF) == colour && (XGetPixel(image, x - 1, y) & 0xFFFFFF) == kViewGrey
                && (XGetPixel(image, x, y - 1) & 0xFFFFFF) == kViewGrey)
                found = std::make_pair(x, y);
        }
    }
    XDestroyImage(image);
    return found;
}

void PressFullScreenHotKey(Display* display)
{
    const KeySym keys[] = { XK_Control_L, XK_Alt_L, XK_Shift_L, XK_f };
    for (KeySym key : keys)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), True, CurrentTime);
    for (int i = 3; i >= 0; --i)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, keys[i]), False, CurrentTime);
    XFlush(display);
}

bool WaitForPixel(Display* display, int x, int y, unsigned long colour, int limitMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (std::chrono::steady_clock::now() < deadline) {
        if (PixelAt(display, x, y) == colour)
            return true;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return false;
}

// A small window of a known colour at the screen's top-left corner marks each capture: the tab that
// shows it has that colour at its image's first pixel. Each round uses a new colour, so that the tab of
// an earlier round never counts. The configured delay (800 ms) is taken off every round.
void HotKeyToCaptureInTab(benchmark::State& state)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        state.SkipWithError("no X display");
        return;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    char folderTemplate[] = "/tmp/lumora-bench-XXXXXX";
    const std::filesystem::path folder = mkdtemp(folderTemplate);
    // config.ini is read beside the executable.
    std::filesystem::copy_file(LUMORA_EXECUTABLE, folder / "lumora");
    std::ofstream(folder / "config.ini") << "[AppSet]\nIsEnableHotkey=1\n[CapFullScreen]\nHotkey=70\nHotkeyMask=7\n"
                                         << "[CaptureSet]\nCapAppViewMode=0\nRestoreWndAftCap=1\nCapDelayTime="
                                         << kCaptureDelayMs << "\n";
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        const std::string program = (folder / "lumora").string();
        execl(program.c_str(), "lumora", static_cast<char*>(nullptr));
        _exit(127);
    }
    XSetWindowAttributes attributes {};
    attributes.override_redirect = True;
    attributes.background_pixel = 0x10A050;
    const Window marker = XCreateWindow(display, DefaultRootWindow(display), 0, 0, 20, 20, 0, CopyFromParent,
        InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);

    std::optional<std::pair<int, int>> origin;
    if (WaitForMappedLumora(display, 20000)) {
        XMapRaised(display, marker);
        XSync(display, False);
        // The hot key is taken once the window is up; a first, untimed capture finds where tabs show.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        PressFullScreenHotKey(display);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!origin && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            origin = FindInView(display, 0x10A050);
        }
    }
    if (!origin)
        state.SkipWithError("no capture was shown in a tab within 20 s");

    unsigned long colour = 0x10A050;
    std::vector<double> times;
    for (auto _ : state) {
        if (!origin)
            break;
        // Colours far from the view's grey and from each other.
        colour = (colour + 0x3B1729) & 0xFFFFFF;
        XSetWindowBackground(display, marker, colour);
        XClearWindow(display, marker);
        XSync(display, False);
        const auto start = std::chrono::steady_clock::now();
        PressFullScreenHotKey(display);
        const bool shown = WaitForPixel(display, origin->first, origin->second, colour, 20000);
        const auto end = std::chrono::steady_clock::now();
        if (!shown) {
            state.SkipWithError("the capture was not shown within 20 s");
            break;
        }
        const double seconds
            = std::chrono::duration<double>(end - start - std::chrono::milliseconds(kCaptureDelayMs)).count();
        state.SetIterationTime(seconds);
        times.push_back(seconds * 1000.0);
    }
    if (!times.empty()) {
        std::sort(times.begin(), times.end());
        const size_t middle = times.size() / 2;
        state.counters["median_ms"] = times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2.0;
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    XDestroyWindow(display, marker);
    XCloseDisplay(display);
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}
} // namespace

BENCHMARK(StartToWindowMapped)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(HotKeyToCaptureInTab)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(15);
BENCHMARK_MAIN();
