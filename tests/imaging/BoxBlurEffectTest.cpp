#include "imaging/filters/BoxBlurEffect.h"
#include "ImageTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

// The plain reading: every pass averages each byte over the row window, then over the column window,
// positions beyond the area taking the nearest edge pixel; the average is (sum x m) >> 16.
ImageBuffer Reference(const ImageBuffer& image, const ImageRect& area, int radius, int passes, uint32_t m)
{
    ImageBuffer out = image;
    const int step = image.BitCount() / 8;
    auto byteAt = [&](const ImageBuffer& from, int x, int y, int c) {
        x = std::clamp(x, area.left, area.right - 1);
        y = std::clamp(y, area.top, area.bottom - 1);
        return int(from.Row(y)[x * step + c]);
    };
    for (int pass = 0; pass < passes; ++pass) {
        for (int vertical = 0; vertical < 2; ++vertical) {
            const ImageBuffer in = out;
            for (int y = area.top; y < area.bottom; ++y)
                for (int x = area.left; x < area.right; ++x)
                    for (int c = 0; c < step; ++c) {
                        int sum = 0;
                        for (int d = -radius; d <= radius; ++d)
                            sum += vertical ? byteAt(in, x, y + d, c) : byteAt(in, x + d, y, c);
                        out.Row(y)[x * step + c] = uint8_t((uint32_t(sum) * m) >> 16);
                    }
        }
    }
    return out;
}

} // namespace

TEST(BoxBlurEffect, Should_MatchThePlainAverages_InsideTheAreaOnly)
{
    struct Case {
        int bpp;
        int radius;
        int passes;
        ImageRect area;
    };
    const Case cases[] = {
        { 32, 1, 1, { 0, 0, 23, 17 } }, { 24, 3, 2, { 4, 2, 19, 15 } },
        // Windows wider and taller than the area: every position repeats edge pixels.
        { 32, 10, 2, { 5, 5, 12, 9 } }, { 24, 127, 1, { 1, 1, 22, 3 } },
        { 32, 4, 2, { 8, 0, 9, 17 } }, // a single column
    };
    std::mt19937 random(5);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bpp << " bpp, radius " << c.radius << ", area " << c.area.left << ","
                                        << c.area.top << "," << c.area.right << "," << c.area.bottom);
        const ImageBuffer image = testutil::MakeImage(23, 17, c.bpp, [&](int, int) {
            const uint32_t v = random();
            return testutil::Bgra { uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24) };
        });
        ImageBuffer blurred = image;
        BoxBlurEffect blur(c.radius, c.passes);
        blur.BlurRect(blurred, c.area);
        // The multiplier is 65536 / window rounded up, so the average is the quotient or one more.
        const uint32_t window = 2 * uint32_t(c.radius) + 1;
        ASSERT_EQ(blur.Multiplier(), (65536 + window - 1) / window);
        const ImageBuffer expected = Reference(image, c.area, c.radius, c.passes, blur.Multiplier());
        for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < image.Width(); ++x)
                ASSERT_EQ(testutil::PixelAt(blurred, x, y), testutil::PixelAt(expected, x, y)) << x << ", " << y;
    }
}
