#pragma once

// Plain readings of the filter arithmetic, one pixel at a time from copies of the input, against which
// the effects' row loops are compared on random images.

#include "imaging/ImageBuffer.h"
#include "imaging/ImageEffect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

namespace filterref {

inline uint8_t Clamp(int64_t v)
{
    return uint8_t(std::min<int64_t>(255, std::max<int64_t>(0, v)));
}

inline int64_t Round(double v)
{
    return v < 0 ? int64_t(v - 0.5) : int64_t(v + 0.5);
}

inline int Grey(const uint8_t* p)
{
    return (p[2] * 30 + p[1] * 59 + p[0] * 11) / 100;
}

// The C library's rand() brought to the 0..32767 range the formulas are written for.
inline int ShortRand()
{
    return std::rand() >> 16;
}

inline ImageBuffer Padded(const ImageBuffer& image, int margin)
{
    ImageBuffer copy(image);
    copy.Expand(true, margin, margin, margin, margin);
    return copy;
}

// Runs an effect through the per-pixel interface only (the virtual ProcessPixel of every pixel).
inline void ApplyPixelByPixel(ImageBuffer& image, ImageEffect& effect)
{
    if (!effect.CanApply(image))
        return;
    effect.Begin(image);
    for (int y = 0; y < image.Height(); ++y)
        effect.ImageEffect::ProcessRow(image, y);
    effect.End(image);
}

// Random colours; `levels` distinct values per channel make ties and flat areas likely when small.
inline ImageBuffer RandomImage(
    int width, int height, int bpp, std::mt19937& random, int levels = 256, bool randomAlpha = false)
{
    ImageBuffer image;
    image.Create(width, height, bpp);
    std::uniform_int_distribution<int> level(0, levels - 1);
    std::uniform_int_distribution<int> alpha(0, 3);
    const int step = bpp / 8;
    for (int y = 0; y < height; ++y) {
        uint8_t* p = image.Row(y);
        for (int x = 0; x < width; ++x, p += step) {
            for (int c = 0; c < 3; ++c)
                p[c] = uint8_t(levels == 1 ? 77 : level(random) * 255 / (levels - 1));
            if (bpp == 32) {
                const int a = alpha(random);
                p[3] = !randomAlpha ? 255 : a == 0 ? 0 : a == 1 ? 255 : uint8_t(random());
            }
        }
    }
    return image;
}

inline testing::AssertionResult SamePixels(const ImageBuffer& actual, const ImageBuffer& expected)
{
    if (actual.Width() != expected.Width() || actual.Height() != expected.Height()
        || actual.BitCount() != expected.BitCount())
        return testing::AssertionFailure() << "shapes differ";
    const int step = actual.BitCount() / 8;
    for (int y = 0; y < actual.Height(); ++y) {
        for (int x = 0; x < actual.Width(); ++x) {
            const uint8_t* a = actual.Row(y) + x * step;
            const uint8_t* e = expected.Row(y) + x * step;
            if (std::memcmp(a, e, size_t(step)) != 0) {
                auto failure = testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is";
                for (int c = 0; c < step; ++c)
                    failure << ' ' << int(a[c]);
                failure << ", expected";
                for (int c = 0; c < step; ++c)
                    failure << ' ' << int(e[c]);
                return failure;
            }
        }
    }
    return testing::AssertionSuccess();
}

inline void ColorNoise(ImageBuffer& image, int amount, unsigned seed)
{
    std::srand(seed);
    const int step = image.BitCount() / 8;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            uint8_t* p = image.Row(y) + x * step;
            for (int c = 0; c < 3; ++c)
                p[c] = Clamp(p[c] + Round((ShortRand() * 3.051850947599719e-05 - 0.5) * amount));
        }
}

inline void MonoNoise(ImageBuffer& image, int amount, unsigned seed)
{
    amount = std::clamp(amount, 0, 100);
    std::srand(seed);
    const int step = image.BitCount() / 8;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            uint8_t* p = image.Row(y) + x * step;
            int sum = 0;
            for (int i = 0; i < 4; ++i)
                sum += ShortRand();
            const double g = sum * 5.28596089837e-05 - 3.46410161514;
            const int c = int(g * amount * 1.27);
            for (int k = 0; k < 3; ++k)
                p[k] = Clamp(p[k] + c);
        }
}

inline void Splash(ImageBuffer& image, int size, unsigned seed)
{
    const int m = std::max(size, 3);
    std::srand(seed);
    const ImageBuffer source(image);
    const int step = image.BitCount() / 8;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            int sx = x + ShortRand() % m - m / 2;
            int sy = y + ShortRand() % m - m / 2;
            sx = std::clamp(sx, 0, image.Width() - 1);
            sy = std::clamp(sy, 0, image.Height() - 1);
            std::memcpy(image.Row(y) + x * step, source.Row(sy) + sx * step, size_t(step));
        }
}

inline void Emboss(ImageBuffer& image, int depth)
{
    const ImageBuffer source(image);
    const int step = image.BitCount() / 8;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            uint8_t value = 128;
            if (x < image.Width() - 1) {
                const uint8_t* s = source.Row(y) + x * step;
                const uint8_t* t = s + step;
                value = Clamp(int64_t(s[0] + s[1] + s[2] - t[0] - t[1] - t[2]) * depth / 3 + 128);
            }
            uint8_t* p = image.Row(y) + x * step;
            p[0] = p[1] = p[2] = value;
        }
}

// Clears all 256 counters for every pixel, as the plain reading does.
inline void OilPaint(ImageBuffer& image, int radius)
{
    const int n = std::max(radius, 1);
    const ImageBuffer padded = Padded(image, n);
    const int step = image.BitCount() / 8;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            int counts[256] = {};
            int best = 0;
            const uint8_t* chosen = nullptr;
            for (int i = 0; i <= 2 * n; ++i)
                for (int j = 0; j <= 2 * n; ++j) {
                    const uint8_t* p = padded.Row(y + i) + (x + j) * step;
                    if (++counts[Grey(p)] > best) {
                        best = counts[Grey(p)];
                        chosen = p;
                    }
                }
            std::memcpy(image.Row(y) + x * step, chosen, 3);
        }
}

inline void Mosaic(ImageBuffer& image, int cell)
{
    const int n = std::max(cell, 2);
    const ImageBuffer source(image);
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            uint8_t* p = image.Row(y) + x * 4;
            if (x % n != 0 || y % n != 0) {
                std::memcpy(p, image.Row(n * (y / n)) + n * (x / n) * 4, 4);
                continue;
            }
            uint64_t a = 0, b = 0, g = 0, r = 0, count = 0;
            for (int cy = y; cy < std::min(y + n, image.Height()); ++cy)
                for (int cx = x; cx < std::min(x + n, image.Width()); ++cx) {
                    const uint8_t* s = source.Row(cy) + cx * 4;
                    a += s[3];
                    b += uint64_t(s[0]) * s[3];
                    g += uint64_t(s[1]) * s[3];
                    r += uint64_t(s[2]) * s[3];
                    ++count;
                }
            p[3] = uint8_t(a / count);
            p[0] = a ? uint8_t(b / a) : 0;
            p[1] = a ? uint8_t(g / a) : 0;
            p[2] = a ? uint8_t(r / a) : 0;
        }
}

inline void Halftone(ImageBuffer& image, const uint8_t (&matrix)[8][8])
{
    const int step = image.BitCount() / 8;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            uint8_t* p = image.Row(y) + x * step;
            const int g = (p[2] * 30 + p[1] * 59 + p[0] * 11) / 400;
            p[0] = p[1] = p[2] = matrix[y % 8][x % 8] < g ? 255 : 0;
        }
}

inline void Convolution(ImageBuffer& image, const std::vector<int32_t>& kernel, int k, int divisor, int offset)
{
    divisor = std::max(divisor, 1);
    const ImageBuffer padded = Padded(image, k / 2);
    const int step = image.BitCount() / 8;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            for (int c = 0; c < 3; ++c) {
                int64_t sum = 0;
                for (int i = 0; i < k; ++i)
                    for (int j = 0; j < k; ++j)
                        sum += int64_t(kernel[size_t(i * k + j)]) * padded.Row(y + i)[(x + j) * step + c];
                image.Row(y)[x * step + c] = Clamp(sum / divisor + offset);
            }
}

inline void Grid(ImageBuffer& image, int cell, int depth)
{
    const int n = std::max(cell, 1);
    const int64_t d = depth;
    const int step = image.BitCount() / 8;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x) {
            int64_t delta = 0;
            if ((y - 1) % n == 0 && x % n != 0 && (x + 1) % n != 0)
                delta = -d;
            else if ((y + 2) % n == 0 && x % n != 0 && (x + 1) % n != 0)
                delta = d;
            else if ((x - 1) % n == 0 && y % n != 0 && (y + 1) % n != 0)
                delta = d;
            else if ((x + 2) % n == 0 && y % n != 0 && (y + 1) % n != 0)
                delta = -d;
            uint8_t* p = image.Row(y) + x * step;
            for (int c = 0; c < 3; ++c)
                p[c] = Clamp(p[c] + delta);
        }
}

} // namespace filterref
