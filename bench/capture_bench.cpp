// Reading the whole screen of the X server named by $DISPLAY into a 24-bpp image: shared memory against
// the plain request, and drawing the pointer into the result. Run it on Xvfb screens of the sizes that
// matter (bench/capture_vs_peers.sh times the whole command instead).
#include "imaging/ImageBuffer.h"
#include "platform/GrabScreenRect.h"
#include "platform/X11Display.h"
#include "platform/X11ScreenSource.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// One connection for the whole run: a server whose last client leaves resets itself.
X11Display* Connection()
{
    static const std::unique_ptr<X11Display> display = X11Display::Open();
    return display.get();
}

void GrabFullScreen(benchmark::State& state, bool sharedMemory)
{
    X11Display* display = Connection();
    if (!display) {
        state.SkipWithError("no X display");
        return;
    }
    X11ScreenSource screen(*display);
    screen.SetUseSharedMemory(sharedMemory);
    const ScreenSize size = screen.PrimaryScreenSize();
    for (auto _ : state) {
        ImageBuffer image;
        GrabScreenRect(image, screen, 0, 0, size.width, size.height);
        benchmark::DoNotOptimize(image.Pixels());
    }
    state.SetLabel(std::to_string(size.width) + "x" + std::to_string(size.height));
    state.SetBytesProcessed(state.iterations() * int64_t(size.width) * size.height * 4);
}

void BM_GrabSharedMemory(benchmark::State& state)
{
    GrabFullScreen(state, true);
}
BENCHMARK(BM_GrabSharedMemory)->Unit(benchmark::kMillisecond);

void BM_GrabPlainRequest(benchmark::State& state)
{
    GrabFullScreen(state, false);
}
BENCHMARK(BM_GrabPlainRequest)->Unit(benchmark::kMillisecond);

void BM_CompositeCursor(benchmark::State& state)
{
    ImageBuffer image;
    image.Create(3840, 2160, 24);
    CursorImage cursor { 1000, 700, 4, 4, 32, 32, std::vector<uint32_t>(32 * 32, 0x80808080u) };
    for (auto _ : state) {
        CompositeCursor(image, cursor, 0, 0);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CompositeCursor);

} // namespace

BENCHMARK_MAIN();
