#include "imaging/filters/OilPaintEffect.h"

#include "imaging/RowPool.h"
#include "imaging/filters/EdgePadding.h"
#include "imaging/filters/FilterMath.h"
#include "imaging/filters/IntensityMapEffect.h"
#include "imaging/filters/SlidingWindowMode.h"
#include "imaging/filters/WindowMode.h"

#include <algorithm>
#include <cstring>

OilPaintEffect::OilPaintEffect(int radius)
    : radius_(std::max(radius, 1))
    , window_(int(std::min<int64_t>(2 * int64_t(radius_) + 1, INT32_MAX)))
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
    if (padded_.IsEmpty())
        return;
    scans_.assign(size_t(std::max(RowPool::Shared().Threads(), 1)), Scan {});
    const size_t width = size_t(image.Width());
    for (Scan& scan : scans_) {
        scan.greyStride = size_t(padded_.Width()) + 2 * kGreyMargin;
        scan.greys.assign((size_t(window_) + 1) * scan.greyStride, 0);
        scan.greyRows.resize(size_t(window_));
        if (window_ <= windowmode::kMaxWindow) {
            scan.positions.resize(width + windowmode::kMaxLanes);
        } else if (window_ <= SlidingWindowMode::kMaxWindow) {
            scan.chosenRows.resize(width);
            scan.chosenColumns.resize(width);
        }
    }
}

void OilPaintEffect::End(ImageBuffer&)
{
    padded_.Destroy();
    scans_.clear();
}

void OilPaintEffect::ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel)
{
    if (padded_.IsEmpty())
        return;
    // The plain reading: count the window in scan order and keep the pixel where a count first beat the
    // best so far. Only the counters touched are cleared afterwards.
    int best = 0;
    const uint8_t* chosen = nullptr;
    const size_t step = size_t(image.BitCount() / 8);
    for (int i = 0; i < window_; ++i) {
        const uint8_t* colours = padded_.Row(y + i) + size_t(x) * step;
        for (int j = 0; j < window_; ++j) {
            const int count = ++scratchCounts_[filtermath::Grey(colours + size_t(j) * step)];
            if (count > best) {
                best = count;
                chosen = colours + size_t(j) * step;
            }
        }
    }
    for (int i = 0; i < window_; ++i) {
        const uint8_t* colours = padded_.Row(y + i) + size_t(x) * step;
        for (int j = 0; j < window_; ++j)
            scratchCounts_[filtermath::Grey(colours + size_t(j) * step)] = 0;
    }
    std::memcpy(pixel, chosen, 3);
}

void OilPaintEffect::ProcessRow(ImageBuffer& image, int y)
{
    const int bpp = image.BitCount();
    if (padded_.IsEmpty() || scans_.empty() || (bpp != 24 && bpp != 32)) {
        PixelEffectImpl::ProcessRow(image, y);
        return;
    }
    ProcessRowOn(image, y, scans_[0]);
}

void OilPaintEffect::ProcessRows(ImageBuffer& image, int first, int end, int worker)
{
    const int bpp = image.BitCount();
    if (padded_.IsEmpty() || scans_.empty() || (bpp != 24 && bpp != 32)) {
        ImageEffect::ProcessRows(image, first, end, worker);
        return;
    }
    Scan& scan = scans_[size_t(worker) < scans_.size() ? size_t(worker) : 0];
    for (int y = first; y < end; ++y)
        ProcessRowOn(image, y, scan);
}

void OilPaintEffect::ReachRow(int y, Scan& scan) const
{
    static_assert(kGreyMargin >= windowmode::kRowMargin && kGreyMargin >= SlidingWindowMode::kRowMargin);
    const int kept = window_ + 1;
    if (y < scan.lo || y > scan.hi)
        scan.lo = scan.hi = y;
    const int step = padded_.BitCount() / 8;
    for (; scan.hi < y + window_; ++scan.hi) {
        uint8_t* greys = scan.greys.data() + size_t(scan.hi % kept) * scan.greyStride + kGreyMargin;
        IntensityMapEffect::GreyRow(padded_.Row(scan.hi), step, padded_.Width(), greys);
    }
    scan.lo = std::max(scan.lo, scan.hi - kept);
    for (int i = 0; i < window_; ++i)
        scan.greyRows[size_t(i)] = scan.greys.data() + size_t((y + i) % kept) * scan.greyStride + kGreyMargin;
}

void OilPaintEffect::ProcessRowOn(ImageBuffer& image, int y, Scan& scan) const
{
    ReachRow(y, scan);
    uint8_t* row = image.Row(y);
    const int width = image.Width();
    WithPixelSize(image.BitCount(), [&](auto step) {
        // Comparing pairs of positions beats counting up to 7 x 7; column counts beat a sliding
        // histogram's dependent updates while they fit a byte.
        if (window_ <= windowmode::kMaxWindow)
            ProcessRowPairwise<step>(row, width, y, scan);
        else if (window_ <= SlidingWindowMode::kMaxWindow)
            ProcessRowSliding<step>(row, width, y, scan);
        else
            ProcessRowHistogram<step>(row, width, y, scan);
    });
}

template <int Step> void OilPaintEffect::ProcessRowPairwise(uint8_t* row, int width, int y, Scan& scan) const
{
    const uint8_t* from[windowmode::kMaxWindow * windowmode::kMaxWindow];
    for (int i = 0; i < window_; ++i) {
        for (int j = 0; j < window_; ++j)
            from[i * window_ + j] = padded_.Row(y + i) + j * Step;
    }
    int8_t* positions = scan.positions.data();
    windowmode::ChooseRow(scan.greyRows.data(), window_, width, windowmode::WidestRun(), positions);
    for (int x = 0; x < width; ++x, row += Step)
        CopyColour<Step>(row, from[positions[x]] + size_t(x) * Step);
}

template <int Step> void OilPaintEffect::ProcessRowSliding(uint8_t* row, int width, int y, Scan& scan) const
{
    const uint8_t* const* greyRows = scan.greyRows.data();
    uint8_t* chosenRows = scan.chosenRows.data();
    uint8_t* chosenColumns = scan.chosenColumns.data();
    scan.sliding.ChooseRow(greyRows, y, width, window_, chosenRows, chosenColumns);
    for (int x = 0; x < width; ++x, row += Step)
        CopyColour<Step>(row, padded_.Row(y + chosenRows[x]) + size_t(x + chosenColumns[x]) * Step);
}

int OilPaintEffect::FirstToTopCount(const uint8_t* const* greyRows, int x, Scan& scan) const
{
    const Histogram& histogram = scan.histogram;
    std::vector<uint32_t>& seen = scan.seen;
    // The scan first reaches the top count at the last occurrence of some grey value that has the top
    // count; the earliest such last occurrence wins. Scanning backwards meets every such value's last
    // occurrence first, so the position where the last of them turns up is the answer.
    const int top = histogram.top;
    if (top == 1)
        return 0;
    const int wanted = histogram.valuesWithCount[size_t(top)];
    const uint32_t search = ++scan.search;
    int found = 0;
    const int w = window_;
    for (int i = w - 1; i >= 0; --i) {
        const uint8_t* greys = greyRows[i] + x;
        for (int j = w - 1; j >= 0; --j) {
            const uint8_t value = greys[j];
            const bool first = int(histogram.counts[value] == top) & int(seen[value] != search);
            seen[value] = first ? search : seen[value];
            found += first;
            if (found == wanted)
                return i * w + j;
        }
    }
    return 0;
}

template <int Step> void OilPaintEffect::ProcessRowHistogram(uint8_t* row, int width, int y, Scan& scan) const
{
    const int w = window_;
    const uint8_t* const* greyRows = scan.greyRows.data();
    if (scan.search > 0xF0000000u) {
        std::fill(scan.seen.begin(), scan.seen.end(), 0u);
        scan.search = 0;
    }

    Histogram& histogram = scan.histogram;
    histogram.Reset(w);
    for (int i = 0; i < w; ++i)
        for (int j = 0; j < w; ++j)
            histogram.Add(greyRows[i][j]);

    for (int x = 0; x < width; ++x, row += Step) {
        if (x > 0) {
            for (int i = 0; i < w; ++i) {
                histogram.Remove(greyRows[i][x - 1]);
                histogram.Add(greyRows[i][x + w - 1]);
            }
        }
        const int position = FirstToTopCount(greyRows, x, scan);
        const int i = position / w;
        CopyColour<Step>(row, padded_.Row(y + i) + size_t(x + position - i * w) * Step);
    }
}
