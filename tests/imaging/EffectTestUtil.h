#pragma once

#include "imaging/ImageBuffer.h"
#include "imaging/ImageEffect.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

// Helpers for the effect tests: random images, the plain per-pixel run, and byte comparison.
namespace effecttest {

// Every byte random, or with opaque alpha as document images have.
inline ImageBuffer RandomImage(int width, int height, int bpp, uint32_t seed, bool opaque = false)
{
    ImageBuffer image;
    image.Create(width, height, bpp);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image.Row(y);
        for (int i = 0; i < image.Stride(); ++i)
            row[i] = uint8_t(random());
    }
    if (opaque)
        image.SetAlpha(255);
    return image;
}

// The run loop as the interface describes it, one virtual ProcessPixel call per pixel, without any row path.
inline void ApplyPixelByPixel(ImageBuffer& image, ImageEffect& effect)
{
    if (!effect.CanApply(image))
        return;
    effect.Begin(image);
    for (int y = 0; !image.IsEmpty() && y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            effect.ProcessPixel(image, x, y, image.PixelAddress(x, y));
    effect.End(image);
}

// Same size, depth and pixel bytes (row padding is ignored); reports the first difference.
inline ::testing::AssertionResult SamePixels(const ImageBuffer& actual, const ImageBuffer& expected)
{
    if (actual.Width() != expected.Width() || actual.Height() != expected.Height()
        || actual.BitCount() != expected.BitCount())
        return ::testing::AssertionFailure()
            << "shape " << actual.Width() << "x" << actual.Height() << "x" << actual.BitCount() << " instead of "
            << expected.Width() << "x" << expected.Height() << "x" << expected.BitCount();
    const int rowBytes = actual.Width() * actual.BitCount() / 8;
    for (int y = 0; y < actual.Height(); ++y)
        for (int i = 0; i < rowBytes; ++i)
            if (actual.Row(y)[i] != expected.Row(y)[i])
                return ::testing::AssertionFailure() << "row " << y << " byte " << i << ": " << int(actual.Row(y)[i])
                                                     << " instead of " << int(expected.Row(y)[i]);
    return ::testing::AssertionSuccess();
}

} // namespace effecttest
