// Time from starting the lumora executable to its main window being mapped on the X server. Run on a
// display of its own (for instance xvfb-run -s "-screen 0 1920x1080x24" build/bench/startup_bench).
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

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
} // namespace

BENCHMARK(StartToWindowMapped)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK_MAIN();
