#include "capture/ScrollStitcher.h"

#include <algorithm>
#include <cstring>
#include <optional>

ScrollStitcher::ScrollStitcher(int compareWidth)
    : compareWidth_(compareWidth)
{
}

void ScrollStitcher::Start(ImageBuffer first)
{
    first_ = std::move(first);
    last_.CopyFrom(first_);
    earlier_ = { 0, -1, -1 };
    strips_.clear();
}

ScrollStitcher::Outcome ScrollStitcher::Add(ImageBuffer next)
{
    const std::optional<ScrollStep> step = ScrollMeasure::Measure(last_, next, compareWidth_, earlier_);
    if (!step)
        return Outcome::Lost;
    if (step->shift == 0)
        return Outcome::Still;
    const int height = next.Height();
    const int bottom = earlier_.fixedBottom < 0 ? step->fixedBottom : earlier_.fixedBottom;
    // The new rows enter just above the fixed bottom band; they must lie below the fixed top band.
    const int firstNew = height - bottom - step->shift;
    if (firstNew < step->fixedTop)
        return Outcome::Lost;
    ImageBuffer strip;
    if (!next.CopyRegion(&strip, { 0, firstNew, next.Width(), height - bottom }))
        return Outcome::Lost;
    earlier_ = { step->shift, step->fixedTop, bottom };
    strips_.push_back(std::move(strip));
    last_ = std::move(next);
    return Outcome::Moved;
}

ImageBuffer ScrollStitcher::Stitch(int outputWidth) const
{
    ImageBuffer out;
    if (first_.IsEmpty())
        return out;
    const int height = first_.Height();
    const int bottom = std::max(earlier_.fixedBottom, 0);
    int total = height;
    for (const ImageBuffer& strip : strips_)
        total += strip.Height();
    const int width = std::clamp(outputWidth, 1, first_.Width());
    if (!out.Create(width, total, 24))
        return out;
    const size_t bytes = size_t(width) * 3;
    int y = 0;
    const auto copyRows = [&](const ImageBuffer& from, int begin, int end) {
        for (int row = begin; row < end; ++row)
            std::memcpy(out.Row(y++), from.Row(row), bytes);
    };
    copyRows(first_, 0, height - bottom);
    for (const ImageBuffer& strip : strips_)
        copyRows(strip, 0, strip.Height());
    copyRows(last_, height - bottom, height);
    return out;
}
