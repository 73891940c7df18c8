#include "imaging/colour/ColorLevelEffect.h"

#include "imaging/colour/PixelMath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr double kClipFraction = 0.006;

using Histogram = std::array<int64_t, 256>;

// Counts blue, green and red values. Four interleaved sets of counters keep runs of equal values from
// stalling on the same counter; they are summed at the end.
std::array<Histogram, 3> CountChannels(const ImageBuffer& image)
{
    std::array<std::array<std::array<uint32_t, 256>, 3>, 4> partial {};
    std::array<Histogram, 3> totals {};
    auto flush = [&] {
        for (auto& counts : partial)
            for (size_t c = 0; c < 3; ++c)
                for (size_t v = 0; v < 256; ++v) {
                    totals[c][v] += counts[c][v];
                    counts[c][v] = 0;
                }
    };
    const int step = image.BitCount() / 8;
    const int width = image.Width();
    // Flushing this often keeps the 32-bit counters far from overflow on any image size.
    const int rowsPerFlush = std::max(1, (1 << 30) / width);
    for (int y = 0; y < image.Height(); ++y) {
        const uint8_t* pixel = image.Row(y);
        int x = 0;
        for (; x + 4 <= width; x += 4, pixel += 4 * step)
            for (size_t k = 0; k < 4; ++k) {
                // Read before counting: the counters' stores could otherwise alias the pixel bytes.
                const uint8_t* p = pixel + k * size_t(step);
                const uint8_t blue = p[0], green = p[1], red = p[2];
                ++partial[k][0][blue];
                ++partial[k][1][green];
                ++partial[k][2][red];
            }
        for (; x < width; ++x, pixel += step) {
            ++partial[0][0][pixel[0]];
            ++partial[0][1][pixel[1]];
            ++partial[0][2][pixel[2]];
        }
        if ((y + 1) % rowsPerFlush == 0)
            flush();
    }
    flush();
    return totals;
}

// The first value above the dark end whose inclusion would move the share of counted pixels away from
// the clip fraction.
int FindLow(const Histogram& bins, double pixels)
{
    int64_t sum = 0;
    for (int i = 0; i < 255; ++i) {
        sum += bins[size_t(i)];
        if (std::fabs(double(sum + bins[size_t(i + 1)]) / pixels - kClipFraction)
            > std::fabs(double(sum) / pixels - kClipFraction))
            return i + 1;
    }
    return 0;
}

int FindHigh(const Histogram& bins, double pixels)
{
    int64_t sum = 0;
    for (int b = 255; b > 0; --b) {
        sum += bins[size_t(b)];
        if (std::fabs(double(sum + bins[size_t(b - 1)]) / pixels - kClipFraction)
            > std::fabs(double(sum) / pixels - kClipFraction))
            return b - 1;
    }
    return 255;
}

} // namespace

ColorLevelEffect::ColorLevelEffect(int low, int high, int channelMask)
    : red_(channelMask & 1 ? 1 : 0)
    , green_(channelMask & 2 ? 1 : 0)
    , blue_(channelMask & 4 ? 1 : 0)
{
    low_.fill(std::clamp(low, 0, 255));
    high_.fill(std::clamp(high, 0, 255));
}

ColorLevelEffect ColorLevelEffect::Automatic()
{
    ColorLevelEffect effect(0, 255, 7);
    effect.automatic_ = 1;
    return effect;
}

uint8_t ColorLevelEffect::Level(int value, int low, int high)
{
    double e = value - low;
    if (high != low)
        e = e / (high - low);
    return TruncateToByte(RoundHalfAwayFromZero(e * 255));
}

void ColorLevelEffect::Begin(ImageBuffer& image)
{
    // The levels depend only on the image as it is now; no copy of it is needed for the run.
    if (automatic_)
        FindAutomaticLevels(image);
    const uint8_t flags[3] = { blue_, green_, red_ };
    for (size_t c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            tables_[c][size_t(v)] = flags[c] ? Level(v, low_[c], high_[c]) : uint8_t(v);
}

void ColorLevelEffect::FindAutomaticLevels(const ImageBuffer& image)
{
    const auto histograms = CountChannels(image);
    const double pixels = double(image.Width()) * double(image.Height());
    for (size_t c = 0; c < 3; ++c) {
        low_[c] = FindLow(histograms[c], pixels);
        high_[c] = FindHigh(histograms[c], pixels);
    }
}
