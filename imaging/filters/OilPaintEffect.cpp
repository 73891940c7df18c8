#include "imaging/filters/OilPaintEffect.h"

#include "imaging/RowPool.h"
#include "imaging/filters/EdgePadding.h"
#include "imaging/filters/IntensityMapEffect.h"
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
    // The grey map is made from the padded copy, which it hands back afterwards.
    intensity_ = PadWithEdges(image, radius_);
    IntensityMapEffect greys;
    intensity_.ApplyEffect(greys);
    padded_ = greys.TakeSource();
    if (padded_.IsEmpty())
        intensity_.Destroy();
    if (intensity_.IsEmpty())
        return;
    rowOf_.resize(size_t(window_) * size_t(window_));
    for (size_t p = 0; p < rowOf_.size(); ++p)
        rowOf_[p] = int(p) / window_;
    scans_.assign(size_t(std::max(RowPool::Shared().Threads(), 1)), Scan {});
    for (Scan& scan : scans_)
        scan.greyRows.resize(size_t(window_));
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
    if (intensity_.IsEmpty() || scans_.empty() || (bpp != 24 && bpp != 32)) {
        PixelEffectImpl::ProcessRow(image, y);
        return;
    }
    ProcessRowOn(image, y, scans_[0]);
}

void OilPaintEffect::ProcessRows(ImageBuffer& image, int first, int end, int worker)
{
    const int bpp = image.BitCount();
    if (intensity_.IsEmpty() || scans_.empty() || (bpp != 24 && bpp != 32)) {
        ImageEffect::ProcessRows(image, first, end, worker);
        return;
    }
    Scan& scan = scans_[size_t(worker) < scans_.size() ? size_t(worker) : 0];
    for (int y = first; y < end; ++y)
        ProcessRowOn(image, y, scan);
}

void OilPaintEffect::ProcessRowOn(ImageBuffer& image, int y, Scan& scan) const
{
    const int bpp = image.BitCount();
    uint8_t* row = image.Row(y);
    const int width = image.Width();
    // Comparing every pair of positions beats the sliding histogram's dependent updates up to 7 x 7.
    const bool pairwise = window_ <= windowmode::kMaxWindow && width >= 16;
    if (bpp == 32 && pairwise)
        ProcessRowPairwise<4>(row, width, y);
    else if (bpp == 32)
        ProcessRowSliding<4>(row, width, y, scan);
    else if (pairwise)
        ProcessRowPairwise<3>(row, width, y);
    else
        ProcessRowSliding<3>(row, width, y, scan);
}

template <int Step> void OilPaintEffect::ProcessRowPairwise(uint8_t* row, int width, int y) const
{
    const uint8_t* greyRows[windowmode::kMaxWindow];
    for (int i = 0; i < window_; ++i)
        greyRows[i] = intensity_.Row(y + i);
    const int lanes = width >= windowmode::kMaxLanes ? windowmode::WidestRun() : 16;
    int8_t positions[windowmode::kMaxLanes];
    for (int x0 = 0; x0 < width; x0 += lanes) {
        // The last run overlaps the one before; results only depend on the input, so pixels done twice
        // come out the same.
        const int x = x0 + lanes <= width ? x0 : width - lanes;
        windowmode::FirstToTopCount(greyRows, window_, x, lanes, positions);
        uint8_t* pixel = row + size_t(x) * Step;
        for (int lane = 0; lane < lanes; ++lane, pixel += Step)
            CopyChosen<Step>(pixel, x + lane, y, positions[lane]);
    }
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

template <int Step> void OilPaintEffect::ProcessRowSliding(uint8_t* row, int width, int y, Scan& scan) const
{
    const int w = window_;
    const uint8_t** greyRows = scan.greyRows.data();
    for (int i = 0; i < w; ++i)
        greyRows[i] = intensity_.Row(y + i);
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
        CopyChosen<Step>(row, x, y, FirstToTopCount(greyRows, x, scan));
    }
}
