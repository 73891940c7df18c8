#include "capture/ScrollMeasure.h"

#include "imaging/ImageBuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

uint64_t HashRow(const uint8_t* row, size_t bytes)
{
    uint64_t hash = 1469598103934665603ull;
    size_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
        uint64_t word;
        std::memcpy(&word, row + i, 8);
        hash = (hash ^ word) * 1099511628211ull;
        hash ^= hash >> 29;
    }
    for (; i < bytes; ++i)
        hash = (hash ^ row[i]) * 1099511628211ull;
    return hash;
}

std::vector<uint64_t> RowHashes(const ImageBuffer& image, size_t bytes)
{
    std::vector<uint64_t> hashes(size_t(image.Height()));
    for (int y = 0; y < image.Height(); ++y)
        hashes[size_t(y)] = HashRow(image.Row(y), bytes);
    return hashes;
}

struct Band {
    const ImageBuffer& before;
    const ImageBuffer& after;
    const std::vector<uint64_t>& hashBefore;
    const std::vector<uint64_t>& hashAfter;
    size_t bytes;
    int top;
    int bottom; // exclusive

    bool SameRow(int afterRow, int beforeRow) const
    {
        return hashAfter[size_t(afterRow)] == hashBefore[size_t(beforeRow)]
            && std::memcmp(after.Row(afterRow), before.Row(beforeRow), bytes) == 0;
    }

    // The content moved up by shift: every row of the band in the new grab is the row shift below it
    // in the old one.
    bool Fits(int shift) const
    {
        for (int y = top; y + shift < bottom; ++y)
            if (!SameRow(y, y + shift))
                return false;
        return true;
    }
};

} // namespace

std::optional<ScrollStep> ScrollMeasure::Measure(
    const ImageBuffer& before, const ImageBuffer& after, int compareWidth, const ScrollStep& earlier)
{
    const int height = before.Height();
    if (before.IsEmpty() || after.IsEmpty() || after.Height() != height || after.Width() != before.Width()
        || before.BitCount() != after.BitCount())
        return std::nullopt;
    const int width = compareWidth > 0 && compareWidth < before.Width() ? compareWidth : before.Width();
    const size_t bytes = size_t(width) * size_t(before.BitCount() / 8);
    const std::vector<uint64_t> hashBefore = RowHashes(before, bytes);
    const std::vector<uint64_t> hashAfter = RowHashes(after, bytes);
    Band band { before, after, hashBefore, hashAfter, bytes, 0, height };

    ScrollStep step;
    while (step.fixedTop < height && band.SameRow(step.fixedTop, step.fixedTop))
        ++step.fixedTop;
    if (step.fixedTop == height)
        return step;
    while (band.SameRow(height - 1 - step.fixedBottom, height - 1 - step.fixedBottom))
        ++step.fixedBottom;
    if (earlier.fixedTop >= 0)
        step.fixedTop = std::min(step.fixedTop, earlier.fixedTop);
    if (earlier.fixedBottom >= 0)
        step.fixedBottom = std::min(step.fixedBottom, earlier.fixedBottom);
    band.top = step.fixedTop;
    band.bottom = height - step.fixedBottom;

    const int span = band.bottom - band.top;
    if (earlier.shift > 0 && earlier.shift < span && band.Fits(earlier.shift)) {
        step.shift = earlier.shift;
        return step;
    }
    for (int shift = 1; shift < span; ++shift) {
        if (band.Fits(shift)) {
            step.shift = shift;
            return step;
        }
    }
    return std::nullopt;
}
