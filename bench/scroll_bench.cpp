// What one frame of a scrolling capture costs besides waiting for the window: reading an 800 x 600
// window from the X server named by $DISPLAY (twice per frame: once seen, once confirmed) and finding
// how far its content moved. bench/scroll_capture_bench.sh times whole captures of a real browser.
#include "bench/BenchImages.h"
#include "capture/ScrollMeasure.h"
#include "capture/ScrollStitcher.h"
#include "imaging/ImageBuffer.h"
#include "platform/GrabScreenRect.h"
#include "platform/X11Display.h"
#include "platform/X11ScreenSource.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kScrollBar = 15;

X11Display* Connection()
{
    static const std::unique_ptr<X11Display> display = X11Display::Open();
    return display.get();
}

// The window's picture with the content moved up by shift rows: a busy page under a 60-row toolbar.
ImageBuffer Frame(int shift)
{
    const ImageBuffer& page = ScreenLikeImage();
    ImageBuffer frame;
    frame.Create(kWidth, kHeight, 24);
    for (int y = 0; y < kHeight; ++y) {
        const uint8_t* from = page.Row(y < 60 ? y : y + shift);
        uint8_t* to = frame.Row(y);
        for (int x = 0; x < kWidth; ++x)
            std::memcpy(to + x * 3, from + x * 4, 3);
    }
    return frame;
}

void BM_GrabWindow(benchmark::State& state)
{
    X11Display* display = Connection();
    if (!display) {
        state.SkipWithError("no X display");
        return;
    }
    X11ScreenSource screen(*display);
    for (auto _ : state) {
        ImageBuffer image;
        GrabScreenRect(image, screen, 0, 0, kWidth, kHeight);
        benchmark::DoNotOptimize(image.Pixels());
    }
}
BENCHMARK(BM_GrabWindow)->Unit(benchmark::kMillisecond);

// arg: the shift, found first when the earlier step measured the same one, last when it must be searched.
void BM_MeasureShift(benchmark::State& state)
{
    const int shift = int(state.range(0));
    const bool sameAsEarlier = state.range(1) != 0;
    const ImageBuffer before = Frame(0);
    const ImageBuffer after = Frame(shift);
    const ScrollStep earlier { sameAsEarlier ? shift : 0, -1, -1 };
    for (auto _ : state) {
        const std::optional<ScrollStep> step = ScrollMeasure::Measure(before, after, kWidth - kScrollBar, earlier);
        if (!step || step->shift != shift)
            state.SkipWithError("wrong shift");
        benchmark::DoNotOptimize(step);
    }
}
BENCHMARK(BM_MeasureShift)
    ->Args({ 20, 1 })
    ->Args({ 20, 0 })
    ->Args({ 120, 0 })
    ->Args({ 300, 0 })
    ->Unit(benchmark::kMicrosecond);

// A frame as a scrolling capture takes it in: measured, its new rows cut out and kept.
void BM_StitcherAdd(benchmark::State& state)
{
    const ImageBuffer first = Frame(0);
    const ImageBuffer next = Frame(30);
    for (auto _ : state) {
        state.PauseTiming();
        ScrollStitcher stitcher(kWidth - kScrollBar);
        stitcher.Start(ImageBuffer(first));
        ImageBuffer frame(next);
        state.ResumeTiming();
        benchmark::DoNotOptimize(stitcher.Add(std::move(frame)));
    }
}
BENCHMARK(BM_StitcherAdd)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
