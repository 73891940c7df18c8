#include "OilPaintEffect.h"

#include "EdgePadding.h"
#include "IntensityMapEffect.h"

#include <algorithm>
#include <cstring>

OilPaintEffect::OilPaintEffect(int radius)
    : radius_(std::max(radius, 1))
    , window_(2 * std::max(radius, 1) + 1)
{
}

void OilPaintEffect::Histogram::Reset(int window)
{
    counts.fill(0);
    valuesWithCount.assign(size_t(window) * size_t(window) + 1, 0);
    valuesWithCount[0] = 256;
    top = 0;
}

void OilPaintEffect::Begin(ImageBuffer& image)
{
    padded_ = PadWithEdges(image, radius_);
    intensity_.Destroy();
    if (padded_.IsEmpty())
        return;
    intensity_.CopyFrom(padded_);
    IntensityMapEffect greys;
    intensity_.ApplyEffect(greys);
    seen_.assign(256, 0);
    search_ = 0;
    greyRows_.resize(size_t(window_));
}

void OilPaintEffect::End(ImageBuffer&)
{
    padded_.Destroy();
    intensity_.Destroy();
}

void OilPaintEffect::ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel)
{
    if (intensity_.IsEmpty())
        return;
    // The plain reading: count the window in scan order and keep the pixel where a count first beat the
    // best so far. Only the counters touched are cleared afterwards.
    int best = 0;
    const uint8_t* chosen = nullptr;
    const size_t step = size_t(image.BitCount() / 8);
    for (int i = 0; i < window_; ++i) {
        const uint8_t* greys = intensity_.Row(y + i) + x;
        for (int j = 0; j < window_; ++j) {
            const int count = ++scratchCounts_[greys[j]];
            if (count > best) {
                best = count;
                chosen = padded_.Row(y + i) + size_t(x + j) * step;
            }
        }
    }
    for (int i = 0; i < window_; ++i) {
        const uint8_t* greys = intensity_.Row(y + i) + x;
        for (int j = 0; j < window_; ++j)
            scratchCounts_[greys[j]] = 0;
    }
    std::memcpy(pixel, chosen, 3);
}

void OilPaintEffect::ProcessRow(ImageBuffer& image, int y)
{
    const int bpp = image.BitCount();
    if (!intensity_.IsEmpty() && bpp == 32)
        ProcessRowSliding<4>(image.Row(y), image.Width(), y);
    else if (!intensity_.IsEmpty() && bpp == 24)
        ProcessRowSliding<3>(image.Row(y), image.Width(), y);
    else
        PixelEffectImpl::ProcessRow(image, y);
}

int OilPaintEffect::FirstToTopCount(const uint8_t* const* greyRows, int x)
{
    // The scan first reaches the top count at the last occurrence of some grey value that has the top
    // count; the earliest such last occurrence wins. Scanning backwards meets every such value's last
    // occurrence first, so the position where the last of them turns up is the answer.
    const int top = histogram_.top;
    if (top == 1)
        return 0;
    const int wanted = histogram_.valuesWithCount[size_t(top)];
    const uint32_t search = ++search_;
    int found = 0;
    const int w = window_;
    for (int i = w - 1; i >= 0; --i) {
        const uint8_t* greys = greyRows[i] + x;
        for (int j = w - 1; j >= 0; --j) {
            const uint8_t value = greys[j];
            if (histogram_.counts[value] == top && seen_[value] != search) {
                seen_[value] = search;
                if (++found == wanted)
                    return i * w + j;
            }
        }
    }
    return 0;
}

template <int Step> void OilPaintEffect::ProcessRowSliding(uint8_t* row, int width, int y)
{
    const int w = window_;
    const uint8_t** greyRows = greyRows_.data();
    for (int i = 0; i < w; ++i)
        greyRows[i] = intensity_.Row(y + i);
    if (search_ > 0xF0000000u) {
        std::fill(seen_.begin(), seen_.end(), 0u);
        search_ = 0;
    }

    histogram_.Reset(w);
    for (int i = 0; i < w; ++i)
        for (int j = 0; j < w; ++j)
            histogram_.Add(greyRows[i][j]);

    for (int x = 0; x < width; ++x, row += Step) {
        if (x > 0) {
            for (int i = 0; i < w; ++i) {
                const uint8_t leaving = greyRows[i][x - 1];
                const uint8_t entering = greyRows[i][x + w - 1];
                if (leaving != entering) {
                    histogram_.Remove(leaving);
                    histogram_.Add(entering);
                }
            }
        }
        const int position = FirstToTopCount(greyRows, x);
        const int i = position / w;
        const int j = position % w;
        std::memcpy(row, padded_.Row(y + i) + size_t(x + j) * Step, 3);
    }
}
