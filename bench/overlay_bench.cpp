// The selection overlay: from the capture command to the overlay on every monitor holding the input, and
// one mouse move (magnifier read, composition, paint, flush to the X server) over the whole desktop of the
// X server it runs on. With --two-4k it starts an Xorg server of its own (dummy driver) showing two
// 3840 x 2160 monitors side by side, the primary one on the right, and reports the server's CPU time per
// iteration beside the benchmark's own (server_cpu_ms): figures that hold on a busy machine.
#include "capture/CCapDialog.h"
#include "capture/CapturePipeline.h"
#include "capture/MainWindowControl.h"
#include "imaging/ImageBuffer.h"
#include "platform/ClipboardSink.h"
#include "platform/ImageScreenSource.h"
#include "platform/ScreenInput.h"
#include "platform/SoundPlayer.h"
#include "platform/X11Display.h"
#include "platform/X11ScreenInput.h"
#include "platform/X11ScreenSource.h"
#include "platform/X11WindowSystem.h"
#include "tests/capture/DummyXorg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class NoClipboard final : public ClipboardSink {
public:
    bool SetImage(const ImageBuffer&) override { return true; }
};

class NoSound final : public SoundPlayer {
public:
    bool Play(const std::string&) override { return true; }
};

struct XServer {
    std::unique_ptr<X11Display> display = X11Display::Open();
    std::unique_ptr<X11WindowSystem> windows;
    std::unique_ptr<X11ScreenInput> input;
};

XServer* g_server = nullptr;
int g_serverPid = -1;

XServer& Server()
{
    return *g_server;
}

// CPU time the X server has used so far, in milliseconds; 0 when it is not ours.
double ServerCpuMs()
{
    if (g_serverPid <= 0)
        return 0;
    std::ifstream file("/proc/" + std::to_string(g_serverPid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t name = stat.rfind(')');
    if (name == std::string::npos)
        return 0;
    // After the name: state, then fields 4 to 13, then user and system time in clock ticks.
    std::istringstream fields(stat.substr(name + 2));
    std::string field;
    for (int i = 3; i <= 13; ++i)
        fields >> field;
    long long user = 0, system = 0;
    fields >> user >> system;
    return double(user + system) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

void ReportServerCpu(benchmark::State& state, double before)
{
    if (g_serverPid > 0)
        state.counters["server_cpu_ms"]
            = benchmark::Counter(ServerCpuMs() - before, benchmark::Counter::kAvgIterations);
}

// The overlay closes as soon as it has shown itself, as if the user pressed Esc at once.
void CloseWhenShown(CCapDialog& overlay)
{
    QCoreApplication::postEvent(&overlay, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
}

void CommandToOverlayShown(benchmark::State& state)
{
    XServer& server = Server();
    if (!server.display) {
        state.SkipWithError("no X display");
        return;
    }
    X11ScreenSource screen(*server.display);
    NoMainWindow mainWindow;
    NoClipboard clipboard;
    NoSound sound;
    CCapDialog overlay(*server.windows, *server.input);
    CaptureSettings settings;
    CaptureServices services { screen, *server.windows, mainWindow, clipboard, sound, nullptr, &overlay, {}, {}, {},
        {} };
    CapturePipeline pipeline(settings, std::move(services));
    pipeline.SetDelayOverride(0);
    std::chrono::steady_clock::time_point shown;
    overlay.SetShownHandler([&] {
        shown = std::chrono::steady_clock::now();
        CloseWhenShown(overlay);
    });
    const double serverBefore = ServerCpuMs();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        pipeline.CaptureRegion();
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
    }
    ReportServerCpu(state, serverBefore);
    const ImageRect desktop = screen.DesktopRect();
    state.SetLabel(std::to_string(desktop.Width()) + "x" + std::to_string(desktop.Height()) + ", "
        + std::to_string(screen.Monitors().size()) + " monitors");
}
BENCHMARK(CommandToOverlayShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// Moves the pointer across the first monitor of a frozen desktop as large as the server's; with a drag the
// selection grows too.
void MouseMove(benchmark::State& state)
{
    XServer& server = Server();
    if (!server.display) {
        state.SkipWithError("no X display");
        return;
    }
    X11ScreenSource screen(*server.display);
    const ImageRect desktop = screen.DesktopRect();
    const ImageRect monitor = screen.Monitors().front();
    const bool drag = state.range(0) != 0;
    // The frozen desktop as the pipeline hands it over: a 32-bit picture.
    QImage picture(desktop.Width(), desktop.Height(), QImage::Format_RGB32);
    for (int y = 0; y < desktop.Height(); ++y) {
        uint8_t* row = picture.scanLine(y);
        for (int x = 0; x < desktop.Width() * 4; ++x)
            row[x] = uint8_t(x ^ y);
    }
    ImageScreenSource frozen;
    frozen.SetPicture(std::move(picture));
    frozen.SetMonitors(screen.Monitors());
    CCapDialog overlay(*server.windows, *server.input);
    double serverBefore = 0;
    overlay.SetShownHandler([&] {
        serverBefore = ServerCpuMs();
        if (drag)
            overlay.OnPointer({ PointerEvent::Kind::Press, 1, monitor.left + 300, monitor.top + 300 });
        const int spanX = std::max(1, monitor.Width() - 800);
        const int spanY = std::max(1, monitor.Height() - 800);
        int step = 0;
        for (auto _ : state) {
            ++step;
            overlay.OnPointer(
                { PointerEvent::Kind::Move, 0, monitor.left + 400 + step % spanX, monitor.top + 400 + step % spanY });
            // Paint and flush now, and wait until the server has shown it.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            QGuiApplication::sync();
        }
        CloseWhenShown(overlay);
    });
    overlay.Select(OverlayRequest {}, frozen);
    ReportServerCpu(state, serverBefore);
    state.SetLabel(std::to_string(desktop.Width()) + "x" + std::to_string(desktop.Height()) + ", "
        + std::to_string(screen.Monitors().size()) + " monitors" + (drag ? ", dragging" : ""));
}
BENCHMARK(MouseMove)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

std::unique_ptr<DummyXorg> StartTwo4kMonitors()
{
    auto server = std::make_unique<DummyXorg>(7680, 2160);
    if (!server->Failure().empty()) {
        fprintf(stderr, "%s\n", server->Failure().c_str());
        return nullptr;
    }
    server->Xrandr("--newmode 3840x2160 533.25 3840 3888 3920 4000 2160 2163 2168 2222 +hsync -vsync");
    for (const char* output : { "DUMMY0", "DUMMY1" })
        server->Xrandr(std::string("--addmode ") + output + " 3840x2160");
    if (!server->Xrandr("--output DUMMY0 --mode 3840x2160 --pos 0x0 --output DUMMY1 --mode 3840x2160 --pos 3840x0 "
                        "--primary")) {
        fprintf(stderr, "cannot set up the two monitors\n");
        return nullptr;
    }
    return server;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> args;
    bool two4k = false;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--two-4k") == 0)
            two4k = true;
        else
            args.push_back(argv[i]);
    }
    int count = int(args.size());
    args.push_back(nullptr);
    // Declared first, so that it outlives every connection to it.
    std::unique_ptr<DummyXorg> ownServer;
    if (two4k) {
        ownServer = StartTwo4kMonitors();
        if (!ownServer)
            return 1;
        qputenv("DISPLAY", QByteArray::fromStdString(ownServer->Name()));
        g_serverPid = ownServer->Pid();
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(count, args.data());
    XServer server;
    if (server.display) {
        server.windows = std::make_unique<X11WindowSystem>(*server.display);
        server.input = std::make_unique<X11ScreenInput>(*server.display);
    }
    g_server = &server;
    benchmark::Initialize(&count, args.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
