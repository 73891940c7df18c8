// The artistic filters on a 3840 x 2160, 32-bpp image, single thread, each against a memcpy of the same
// pixel bytes (x_memcpy).
#include "bench/BenchImages.h"
#include "bench/MemcpyBaseline.h"

#include "imaging/ImageBuffer.h"
#include "imaging/filters/ColorNoiseEffect.h"
#include "imaging/filters/ConvolutionEffect.h"
#include "imaging/filters/EmbossEffect.h"
#include "imaging/filters/GridEffect.h"
#include "imaging/filters/HalftoneEffect.h"
#include "imaging/filters/MonoNoiseEffect.h"
#include "imaging/filters/MosaicEffect.h"
#include "imaging/filters/OilPaintEffect.h"
#include "imaging/filters/SplashEffect.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

template <class Effect> void RunEffect(benchmark::State& state, Effect& effect)
{
    const ImageBuffer& source = ScreenLikeImage();
    ImageBuffer image(source);
    RunAgainstMemcpy(
        state, source.PixelBytes(), [&] { image.Paste(source, 0, 0); }, [&] { image.ApplyEffect(effect); });
}

void BM_ColorNoise(benchmark::State& state)
{
    ColorNoiseEffect effect(100, 1u);
    RunEffect(state, effect);
}

void BM_MonoNoise(benchmark::State& state)
{
    MonoNoiseEffect effect(50, 1u);
    RunEffect(state, effect);
}

void BM_Splash(benchmark::State& state)
{
    SplashEffect effect(int(state.range(0)), 1u);
    RunEffect(state, effect);
}

void BM_Emboss(benchmark::State& state)
{
    EmbossEffect effect(2);
    RunEffect(state, effect);
}

void BM_OilPaint(benchmark::State& state)
{
    OilPaintEffect effect(int(state.range(0)));
    RunEffect(state, effect);
}

void BM_Mosaic(benchmark::State& state)
{
    MosaicEffect effect(int(state.range(0)));
    RunEffect(state, effect);
}

void BM_Halftone(benchmark::State& state)
{
    HalftoneEffect effect;
    RunEffect(state, effect);
}

void BM_Blur(benchmark::State& state)
{
    ConvolutionEffect effect = ConvolutionEffect::Blur();
    RunEffect(state, effect);
}

void BM_Grid(benchmark::State& state)
{
    GridEffect effect(int(state.range(0)), 50);
    RunEffect(state, effect);
}

} // namespace

BENCHMARK(BM_ColorNoise)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_MonoNoise)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Splash)->Arg(5)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Emboss)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_OilPaint)->Arg(2)->Arg(15)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Mosaic)->Arg(10)->Arg(200)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Halftone)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Blur)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Grid)->Arg(64)->Arg(3)->Unit(benchmark::kMillisecond)->Iterations(10);

BENCHMARK_MAIN();
