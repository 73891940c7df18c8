// The geometric transforms and colour adjustments on a 3840 x 2160 32-bpp screen image, one thread, each
// against a memcpy of the same pixel bytes.
#include "bench/BenchImages.h"
#include "bench/MemcpyBaseline.h"

#include "imaging/ImageBuffer.h"
#include "imaging/colour/BrightnessEffect.h"
#include "imaging/colour/ColorLevelEffect.h"
#include "imaging/colour/ColorToneEffect.h"
#include "imaging/colour/ContrastEffect.h"
#include "imaging/colour/GrayScaleEffect.h"
#include "imaging/colour/HueSaturationEffect.h"
#include "imaging/colour/InvertEffect.h"
#include "imaging/colour/PosterizeEffect.h"
#include "imaging/colour/RgbValueEffect.h"
#include "imaging/geometry/FlipHorizontalEffect.h"
#include "imaging/geometry/FlipVerticalEffect.h"
#include "imaging/geometry/FreeRotateEffect.h"
#include "imaging/geometry/Rotate270Effect.h"
#include "imaging/geometry/Rotate90Effect.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>
#include <memory>

namespace {

constexpr int kWidth = kBenchWidth;
constexpr int kHeight = kBenchHeight;

// Every byte random: no colour repeats, the worst case for effects that remember results by colour.
const ImageBuffer& Noise()
{
    static const ImageBuffer noise = [] {
        ImageBuffer image;
        image.Create(kWidth, kHeight, 32);
        std::srand(11);
        for (int y = 0; y < kHeight; ++y) {
            uint8_t* row = image.Row(y);
            for (int i = 0; i < image.Stride(); ++i)
                row[i] = uint8_t(std::rand() >> 7);
        }
        image.SetAlpha(255);
        return image;
    }();
    return noise;
}

using EffectFactory = std::function<std::unique_ptr<ImageEffect>()>;

void RunEffect(benchmark::State& state, const EffectFactory& make, const ImageBuffer& source)
{
    ImageBuffer image;
    std::unique_ptr<ImageEffect> effect;
    RunAgainstMemcpy(
        state, source.PixelBytes(),
        [&] {
            image = source;
            effect = make();
        },
        [&] { image.ApplyEffect(*effect); });
}

template <class Effect, class... Args> EffectFactory Make(Args... args)
{
    return [=] { return std::unique_ptr<ImageEffect>(new Effect(args...)); };
}

void Register(const char* name, EffectFactory make, const ImageBuffer& (*image)() = ScreenLikeImage)
{
    benchmark::RegisterBenchmark(name, [make, image](benchmark::State& state) { RunEffect(state, make, image()); })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(10);
}

} // namespace

int main(int argc, char** argv)
{
    // Table-driven.
    Register("Brightness150", Make<BrightnessEffect>(150));
    Register("Contrast150", Make<ContrastEffect>(150));
    Register("Invert", Make<InvertEffect>(7));
    Register("Posterize3", Make<PosterizeEffect>(3));
    Register("ColorLevel30to220", Make<ColorLevelEffect>(30, 220, 7));
    Register("AutoLevel", [] { return std::make_unique<ColorLevelEffect>(ColorLevelEffect::Automatic()); });
    // Per-pixel arithmetic.
    Register("GrayScale", Make<GrayScaleEffect>());
    Register("RgbValue", Make<RgbValueEffect>(20, -30, 40));
    Register("ColorTone", Make<ColorToneEffect>(uint8_t(254), uint8_t(168), uint8_t(33)));
    Register("HueSaturation150_80", Make<HueSaturationEffect>(150, 80));
    Register("HueSaturation150_80/noise", Make<HueSaturationEffect>(150, 80), Noise);
    // Geometry.
    Register("FlipHorizontal", Make<FlipHorizontalEffect>());
    Register("FlipVertical", Make<FlipVerticalEffect>());
    Register("Rotate90", Make<Rotate90Effect>());
    Register("Rotate270", Make<Rotate270Effect>());
    Register("FreeRotate45", Make<FreeRotateEffect>(45));

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
