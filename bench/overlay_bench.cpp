// The selection overlay: from the capture command to the overlay on the screen holding the input, and
// one mouse move (magnifier read, composition, paint, flush to the X server) at 1080p and 4K. Run on an X
// server of its own whose screen is as large as the largest size measured, for instance
// xvfb-run -s "-screen 0 3840x2160x24" build/bench/overlay_bench.
#include "capture/CCapDialog.h"
#include "capture/CapturePipeline.h"
#include "capture/MainWindowControl.h"
#include "imaging/ImageBuffer.h"
#include "platform/ClipboardSink.h"
#include "platform/ImageScreenSource.h"
#include "platform/SoundPlayer.h"
#include "platform/X11Display.h"
#include "platform/X11ScreenInput.h"
#include "platform/X11ScreenSource.h"
#include "platform/X11WindowSystem.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

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
    const ScreenSize size = screen.PrimaryScreenSize();
    state.SetLabel(std::to_string(size.width) + "x" + std::to_string(size.height));
}
BENCHMARK(CommandToOverlayShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// Moves the pointer across a frozen screen of the given size; with a drag the selection grows too.
void MouseMove(benchmark::State& state)
{
    XServer& server = Server();
    if (!server.display) {
        state.SkipWithError("no X display");
        return;
    }
    const int width = int(state.range(0));
    const int height = int(state.range(1));
    const bool drag = state.range(2) != 0;
    ImageBuffer frozenImage;
    frozenImage.Create(width, height, 24);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = frozenImage.Row(y);
        for (int x = 0; x < width * 3; ++x)
            row[x] = uint8_t(x ^ y);
    }
    ImageScreenSource frozen(std::move(frozenImage));
    CCapDialog overlay(*server.windows, *server.input);
    overlay.SetShownHandler([&] {
        auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
            QMouseEvent event(type, at, at, button, buttons, Qt::NoModifier);
            QApplication::sendEvent(&overlay, &event);
        };
        if (drag)
            send(QEvent::MouseButtonPress, { 300, 300 }, Qt::LeftButton, Qt::LeftButton);
        int step = 0;
        for (auto _ : state) {
            const QPoint at(400 + step % (width - 800), 400 + step % (height - 800));
            ++step;
            send(QEvent::MouseMove, at, Qt::NoButton, drag ? Qt::LeftButton : Qt::NoButton);
            // Paint and flush now, and wait until the server has shown it.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            QGuiApplication::sync();
        }
        CloseWhenShown(overlay);
    });
    overlay.Select(OverlayRequest {}, frozen);
    state.SetLabel(std::to_string(width) + "x" + std::to_string(height) + (drag ? " dragging" : ""));
}
BENCHMARK(MouseMove)
    ->Args({ 1920, 1080, 0 })
    ->Args({ 1920, 1080, 1 })
    ->Args({ 3840, 2160, 0 })
    ->Args({ 3840, 2160, 1 })
    ->Unit(benchmark::kMillisecond);

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
