#include "imaging/filters/OilPaintEffect.h"

#include "imaging/RowPool.h"
#include "imaging/filters/FilterMath.h"
#include "imaging/filters/IntensityMapEffect.h"
#include "imaging/filters/WindowMode.h"

#include <algorithm>

OilPaintEffect::OilPaintEffect(int radius)
    : radius_(std::max(radius, 1))
    , window_(int(std::min<int64_t>(2 * int64_t(radius_) + 1, INT32_MAX)))
{
}

void OilPaintEffect::Begin(ImageBuffer& image)
{
    rings_.clear();
    boundaryRows_.Clear();
    // A window larger than any image we could hold leaves the image alone.
    const int64_t grownWidth = int64_t(image.Width()) + 2 * int64_t(radius_);
    const int64_t grownHeight = int64_t(image.Height()) + 2 * int64_t(radius_);
    step_ = image.BitCount() / 8;
    if (image.IsEmpty() || grownWidth + 2 * kGreyMargin > INT32_MAX || grownHeight > INT32_MAX
        || grownWidth * step_ >= ImageBuffer::kMaxPixelBytes / grownHeight)
        return;
    greyStride_ = size_t(grownWidth) + 2 * kGreyMargin;
    const size_t slots = size_t(window_) + 1;
    const size_t width = size_t(image.Width());
    Ring ring;
    ring.colours.Create(image, radius_, window_ + 1);
    ring.greys.resize(slots * greyStride_);
    ring.greyRows.resize(size_t(window_));
    if (window_ <= windowmode::kMaxWindow) {
        ring.positions.resize(width + windowmode::kMaxLanes);
    } else {
        ring.chosenRows.resize(width);
        ring.chosenColumns.resize(width);
    }
    rings_.assign(size_t(std::max(1, RowPool::Shared().Threads())), ring);
}

void OilPaintEffect::End(ImageBuffer&)
{
    rings_.clear();
    boundaryRows_.Clear();
}

void OilPaintEffect::BeginBlocks(const ImageBuffer& image, int blockRows)
{
    if (!rings_.empty())
        boundaryRows_.Keep(image, blockRows, radius_);
}

void OilPaintEffect::ProcessRows(ImageBuffer& image, int first, int end, int worker)
{
    if (rings_.empty())
        return;
    Ring& ring = rings_[size_t(worker) % rings_.size()];
    ring.colours.StartBlock(first, end);
    for (int y = first; y < end; ++y)
        ProcessRowWith(ring, image, y);
}

void OilPaintEffect::ProcessRow(ImageBuffer& image, int y)
{
    if (!rings_.empty())
        ProcessRowWith(rings_.front(), image, y);
}

void OilPaintEffect::ReachRow(Ring& ring, const ImageBuffer& image, int y) const
{
    static_assert(kGreyMargin >= windowmode::kRowMargin && kGreyMargin >= SlidingWindowMode::kRowMargin);
    const int slots = window_ + 1;
    ring.colours.Reach(image, boundaryRows_, y, window_, [&](int grownRow) {
        uint8_t* greys = ring.greys.data() + size_t(grownRow % slots) * greyStride_ + kGreyMargin;
        IntensityMapEffect::GreyRow(ring.colours.Row(grownRow), step_, image.Width() + 2 * radius_, greys);
    });
    for (int i = 0; i < window_; ++i)
        ring.greyRows[size_t(i)] = ring.greys.data() + size_t((y + i) % slots) * greyStride_ + kGreyMargin;
}

void OilPaintEffect::ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel)
{
    if (rings_.empty())
        return;
    Ring& ring = rings_.front();
    if (x == 0)
        ReachRow(ring, image, y);
    // The plain reading: count the window in scan order and keep the pixel where a count first beat the
    // best so far. Only the counters touched are cleared afterwards.
    int best = 0;
    const uint8_t* chosen = nullptr;
    const size_t step = size_t(step_);
    for (int i = 0; i < window_; ++i) {
        const uint8_t* colours = ColourRow(ring, y + i) + size_t(x) * step;
        for (int j = 0; j < window_; ++j) {
            const int count = ++scratchCounts_[filtermath::Grey(colours + size_t(j) * step)];
            if (count > best) {
                best = count;
                chosen = colours + size_t(j) * step;
            }
        }
    }
    for (int i = 0; i < window_; ++i) {
        const uint8_t* colours = ColourRow(ring, y + i) + size_t(x) * step;
        for (int j = 0; j < window_; ++j)
            scratchCounts_[filtermath::Grey(colours + size_t(j) * step)] = 0;
    }
    std::memcpy(pixel, chosen, 3);
}

void OilPaintEffect::ProcessRowWith(Ring& ring, ImageBuffer& image, int y) const
{
    ReachRow(ring, image, y);
    uint8_t* row = image.Row(y);
    const int width = image.Width();
    WithPixelSize(image.BitCount(), [&](auto step) {
        // Comparing pairs of positions beats counting up to 7 x 7.
        if (window_ <= windowmode::kMaxWindow)
            ProcessRowPairwise<step>(ring, row, width, y);
        else
            ProcessRowCounted<step>(ring, row, width, y);
    });
}

template <int Step> void OilPaintEffect::ProcessRowPairwise(Ring& ring, uint8_t* row, int width, int y) const
{
    const uint8_t* from[windowmode::kMaxWindow * windowmode::kMaxWindow];
    for (int i = 0; i < window_; ++i)
        for (int j = 0; j < window_; ++j)
            from[i * window_ + j] = ColourRow(ring, y + i) + j * Step;
    int8_t* positions = ring.positions.data();
    windowmode::ChooseRow(ring.greyRows.data(), window_, width, windowmode::WidestRun(), positions);
    const uint8_t* own = ColourRow(ring, y + radius_) + size_t(radius_) * Step;
    for (int x = 0; x < width; ++x, row += Step, own += Step)
        CopyColour<Step>(row, from[positions[x]] + size_t(x) * Step, own);
}

template <int Step> void OilPaintEffect::ProcessRowCounted(Ring& ring, uint8_t* row, int width, int y) const
{
    int32_t* rows = ring.chosenRows.data();
    int32_t* columns = ring.chosenColumns.data();
    // Column counts beat a sliding histogram's dependent updates while they fit a byte.
    if (window_ <= SlidingWindowMode::kMaxWindow)
        ring.sliding.ChooseRow(ring.greyRows.data(), y, width, window_, rows, columns);
    else
        ring.large.ChooseRow(ring.greyRows.data(), width, window_, rows, columns);
    const uint8_t* own = ColourRow(ring, y + radius_) + size_t(radius_) * Step;
    for (int x = 0; x < width; ++x, row += Step, own += Step)
        CopyColour<Step>(row, ColourRow(ring, y + rows[x]) + size_t(x + columns[x]) * Step, own);
}
