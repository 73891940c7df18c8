// Every filter's row loop against the plain per-pixel reading (FilterReference.h) and against its own
// ProcessPixel, on random images of awkward shapes at 24 and 32 bpp.
#include "tests/imaging/FilterReference.h"

#include "imaging/filters/ColorNoiseEffect.h"
#include "imaging/filters/ConvolutionEffect.h"
#include "imaging/filters/EmbossEffect.h"
#include "imaging/filters/GridEffect.h"
#include "imaging/filters/HalftoneEffect.h"
#include "imaging/filters/MonoNoiseEffect.h"
#include "imaging/filters/MosaicEffect.h"
#include "imaging/filters/OilPaintEffect.h"
#include "imaging/filters/SplashEffect.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

struct Shape {
    int width, height;
};

// The tall one spans several blocks of rows, which may run in any order.
const Shape kShapes[] = { { 1, 1 }, { 1, 7 }, { 7, 1 }, { 13, 9 }, { 20, 6 }, { 37, 21 }, { 70, 5 }, { 11, 150 } };

// For every shape and depth (and a few colour spreads): the effect run normally, the effect run pixel
// by pixel, and the reference must agree byte for byte.
void ExpectAllAgree(const std::function<std::unique_ptr<ImageEffect>()>& makeEffect,
    const std::function<void(ImageBuffer&)>& reference, std::initializer_list<int> depths = { 24, 32 },
    bool randomAlpha = false)
{
    std::mt19937 random(12345);
    for (int bpp : depths)
        for (const Shape& shape : kShapes)
            for (int levels : { 2, 5, 256 }) {
                SCOPED_TRACE(std::to_string(shape.width) + "x" + std::to_string(shape.height) + " at "
                    + std::to_string(bpp) + " bpp, " + std::to_string(levels) + " levels");
                const ImageBuffer input
                    = filterref::RandomImage(shape.width, shape.height, bpp, random, levels, randomAlpha);
                ImageBuffer expected(input);
                reference(expected);
                ImageBuffer fast(input);
                auto effect = makeEffect();
                fast.ApplyEffect(*effect);
                EXPECT_TRUE(filterref::SamePixels(fast, expected)) << "row loop";
                ImageBuffer slow(input);
                auto pixelEffect = makeEffect();
                filterref::ApplyPixelByPixel(slow, *pixelEffect);
                EXPECT_TRUE(filterref::SamePixels(slow, expected)) << "per pixel";
            }
}

} // namespace

TEST(FilterOracle, ColorNoiseDrawsWhatRandGivesForEveryAmount)
{
    for (int amount : { 0, 1, 7, 100, 200, 1000, -50 })
        for (unsigned seed : { 1u, 99u, 4000000000u }) {
            SCOPED_TRACE("amount " + std::to_string(amount) + ", seed " + std::to_string(seed));
            ExpectAllAgree([&] { return std::make_unique<ColorNoiseEffect>(amount, seed); },
                [&](ImageBuffer& image) { filterref::ColorNoise(image, amount, seed); });
        }
}

TEST(FilterOracle, MonoNoiseDrawsWhatRandGivesForEveryAmount)
{
    for (int amount : { 0, 1, 50, 100, 150, -3 }) {
        SCOPED_TRACE("amount " + std::to_string(amount));
        ExpectAllAgree([&] { return std::make_unique<MonoNoiseEffect>(amount, 77u); },
            [&](ImageBuffer& image) { filterref::MonoNoise(image, amount, 77u); });
    }
}

TEST(FilterOracle, SplashDrawsWhatRandGivesForEverySize)
{
    for (int size : { 0, 3, 4, 17, 64, 100000 }) {
        SCOPED_TRACE("size " + std::to_string(size));
        ExpectAllAgree([&] { return std::make_unique<SplashEffect>(size, 5u); },
            [&](ImageBuffer& image) { filterref::Splash(image, size, 5u); }, { 24, 32 }, true);
    }
}

TEST(FilterOracle, EmbossReadsTheUnchangedRightNeighbour)
{
    for (int depth : { 1, 2, 10, -4, 100000000 }) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        ExpectAllAgree([&] { return std::make_unique<EmbossEffect>(depth); },
            [&](ImageBuffer& image) { filterref::Emboss(image, depth); });
    }
}

TEST(FilterOracle, OilPaintSlidingCountFindsThePlainScansPixel)
{
    for (int radius : { 0, 1, 2, 3, 4 }) {
        SCOPED_TRACE("radius " + std::to_string(radius));
        ExpectAllAgree([&] { return std::make_unique<OilPaintEffect>(radius); },
            [&](ImageBuffer& image) { filterref::OilPaint(image, radius); });
    }
}

TEST(FilterOracle, OilPaintWideRowsAndLargeWindowsFindThePlainScansPixel)
{
    // Rows of several tiles of pixel runs, window rows of several 16-byte loads, blocks of rows whose kept
    // neighbours overlap, the largest window the column counts hold and the first one past it; three
    // levels tie many greys at the top count.
    struct Case {
        int radius, width, height;
    };
    const Case cases[] = { { 1, 300, 3 }, { 2, 517, 4 }, { 3, 290, 70 }, { 9, 45, 80 }, { 15, 90, 70 }, { 40, 20, 140 },
        { 63, 30, 5 }, { 64, 20, 4 } };
    std::mt19937 random(99);
    for (int bpp : { 24, 32 })
        for (const Case& c : cases)
            for (int levels : { 3, 256 }) {
                SCOPED_TRACE("radius " + std::to_string(c.radius) + ", " + std::to_string(c.width) + "x"
                    + std::to_string(c.height) + " at " + std::to_string(bpp) + " bpp, " + std::to_string(levels)
                    + " levels");
                const ImageBuffer input = filterref::RandomImage(c.width, c.height, bpp, random, levels);
                ImageBuffer expected(input);
                filterref::OilPaint(expected, c.radius);
                ImageBuffer image(input);
                OilPaintEffect oil(c.radius);
                image.ApplyEffect(oil);
                EXPECT_TRUE(filterref::SamePixels(image, expected));
            }
}

TEST(FilterOracle, MosaicAveragesWithAlphaWeights)
{
    for (int cell : { 1, 2, 3, 5, 64 }) {
        SCOPED_TRACE("cell " + std::to_string(cell));
        ExpectAllAgree([&] { return std::make_unique<MosaicEffect>(cell); },
            [&](ImageBuffer& image) { filterref::Mosaic(image, cell); }, { 32 }, true);
        ExpectAllAgree([&] { return std::make_unique<MosaicEffect>(cell); },
            [&](ImageBuffer& image) { filterref::Mosaic(image, cell); }, { 32 }, false);
    }
}

TEST(FilterOracle, HalftoneThresholdsLikeTheDivision)
{
    ExpectAllAgree([] { return std::make_unique<HalftoneEffect>(); },
        [](ImageBuffer& image) { filterref::Halftone(image, HalftoneEffect::kMatrix); });
}

TEST(FilterOracle, GridChangesTheSameColumnsAsTheRules)
{
    for (auto setting : { std::pair { 1, 10 }, { 2, 10 }, { 3, 50 }, { 4, -30 }, { 5, 300 }, { 64, 50 }, { 0, 20 },
             { 7, -2147483647 - 1 } }) {
        const int cell = setting.first;
        const int depth = setting.second;
        SCOPED_TRACE("cell " + std::to_string(cell) + ", depth " + std::to_string(depth));
        ExpectAllAgree([&] { return std::make_unique<GridEffect>(cell, depth); },
            [&](ImageBuffer& image) { filterref::Grid(image, cell, depth); });
    }
}

TEST(FilterOracle, ConvolutionOfSeparableAndOtherKernels)
{
    struct Case {
        std::vector<int32_t> kernel;
        int size, divisor, offset;
    };
    const Case cases[] = {
        { { 1, 2, 1, 2, 4, 2, 1, 2, 1 }, 3, 16, 0 }, // blur
        { { 0, -1, 0, -1, 5, -1, 0, -1, 0 }, 3, 1, 0 }, // sharpen: not separable
        { { 1, 0, -1, 2, 0, -2, 1, 0, -1 }, 3, 3, 128 }, // separable with negative sums
        { { 1, 2, 1, 2, 4, 2, 1, 2, 1 }, 3, 0, -7 }, // divisor raised to 1
        { { 1, 4, 6, 4, 1, 4, 16, 24, 16, 4, 6, 24, 36, 24, 6, 4, 16, 24, 16, 4, 1, 4, 6, 4, 1 }, 5, 256, 0 },
        { { 1, 1, 1, 1 }, 2, 4, 2000000000 }, // even size
        { { 3 }, 1, 2, -2000000000 },
        { { 0, 0, 0, 0 }, 2, 5, 9 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kernel of size " + std::to_string(c.size) + ", divisor " + std::to_string(c.divisor));
        ExpectAllAgree([&] { return std::make_unique<ConvolutionEffect>(c.kernel, c.size, c.divisor, c.offset); },
            [&](ImageBuffer& image) { filterref::Convolution(image, c.kernel, c.size, c.divisor, c.offset); });
    }
}
