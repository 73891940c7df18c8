// ImageBuffer's hot paths on a 3840 x 2160 image, each against a memcpy of the same pixel bytes.
#include "bench/BenchImages.h"
#include "bench/MemcpyBaseline.h"

#include "imaging/ImageBuffer.h"
#include "imaging/PixelEffect.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int kWidth = kBenchWidth;
constexpr int kHeight = kBenchHeight;

class IdentityEffect final : public PixelEffectImpl<IdentityEffect> {
public:
    void ProcessPixel(ImageBuffer&, int, int, uint8_t* pixel) { benchmark::DoNotOptimize(pixel); }
};

void BM_CopyFrom(benchmark::State& state)
{
    const ImageBuffer source = MakeScreenLikeImage(32);
    ImageBuffer copy;
    RunAgainstMemcpy(
        state, source.PixelBytes(), [&] { copy.Destroy(); }, [&] { copy.CopyFrom(source); });
}

void BM_ConvertTo32(benchmark::State& state)
{
    const ImageBuffer source = MakeScreenLikeImage(24);
    ImageBuffer image;
    RunAgainstMemcpy(
        state, source.PixelBytes(), [&] { image = source; }, [&] { image.ConvertTo(32); });
}

void BM_ConvertTo24(benchmark::State& state)
{
    const ImageBuffer source = MakeScreenLikeImage(32);
    ImageBuffer image;
    RunAgainstMemcpy(
        state, source.PixelBytes(), [&] { image = source; }, [&] { image.ConvertTo(24); });
}

void BM_ResizeNearestDouble(benchmark::State& state)
{
    const ImageBuffer source = MakeScreenLikeImage(32);
    ImageBuffer image;
    RunAgainstMemcpy(
        state, source.PixelBytes(), [&] { image = source; }, [&] { image.ResizeNearest(kWidth * 2, kHeight * 2); });
}

void BM_ResizeBilinear(benchmark::State& state)
{
    const ImageBuffer source = MakeScreenLikeImage(32);
    ImageBuffer image;
    const int width = int(state.range(0));
    const int height = int(state.range(1));
    RunAgainstMemcpy(
        state, source.PixelBytes(), [&] { image = source; }, [&] { image.ResizeBilinear(width, height); });
}

void BM_ApplyIdentityEffect(benchmark::State& state)
{
    ImageBuffer image = MakeScreenLikeImage(32);
    IdentityEffect effect;
    RunAgainstMemcpy(
        state, image.PixelBytes(), [] {}, [&] { image.ApplyEffect(effect); });
}

} // namespace

BENCHMARK(BM_CopyFrom)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_ConvertTo32)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_ConvertTo24)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_ResizeNearestDouble)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ResizeBilinear)->Args({ 1920, 1080 })->Args({ 7680, 4320 })->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ApplyIdentityEffect)->Unit(benchmark::kMillisecond)->Iterations(20);

BENCHMARK_MAIN();
