// The selection overlay: from the capture command to the overlay on every monitor holding the input, and
// one mouse move (magnifier read, composition, paint, flush to the X server) over the whole desktop of the
// X server it runs on. bench/overlay_two_4k.sh runs it on two 3840 x 2160 monitors (Xorg, dummy driver).
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

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>

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

XServer& Server()
{
    static XServer server = [] {
        XServer s;
        if (s.display) {
            s.windows = std::make_unique<X11WindowSystem>(*s.display);
            s.input = std::make_unique<X11ScreenInput>(*s.display);
        }
        return s;
    }();
    return server;
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
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        pipeline.CaptureRegion();
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
    }
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
    overlay.SetShownHandler([&] {
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
    state.SetLabel(std::to_string(desktop.Width()) + "x" + std::to_string(desktop.Height()) + ", "
        + std::to_string(screen.Monitors().size()) + " monitors" + (drag ? ", dragging" : ""));
}
BENCHMARK(MouseMove)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
