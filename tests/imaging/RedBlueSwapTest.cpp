#include "imaging/RedBlueSwap.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Every width around the 5- and 4-pixel steps and the 16-byte loads; the bytes after the row must stay as
// they were, since rows sit back to back in a buffer.
TEST(RedBlueSwapTest, MirrorsEveryPixelAndWritesNothingPastTheRow)
{
    for (const int step : { 3, 4 }) {
        for (size_t pixels = 0; pixels <= 40; ++pixels) {
            std::vector<uint8_t> in(pixels * size_t(step));
            for (size_t i = 0; i < in.size(); ++i)
                in[i] = uint8_t(i * 7 + 1);
            std::vector<uint8_t> out(pixels * 3 + 16, 0xEE);
            SwapRedBlue(in.data(), step, out.data(), pixels);
            for (size_t x = 0; x < pixels; ++x)
                for (size_t c = 0; c < 3; ++c)
                    ASSERT_EQ(out[x * 3 + c], in[x * size_t(step) + 2 - c])
                        << "step " << step << ", " << pixels << " pixels, pixel " << x << ", byte " << c;
            for (size_t i = pixels * 3; i < out.size(); ++i)
                ASSERT_EQ(out[i], 0xEE) << "step " << step << ", " << pixels << " pixels: byte " << i << " written";
        }
    }
}

} // namespace
