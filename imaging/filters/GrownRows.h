#pragma once

#include "imaging/filters/BoundaryRows.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

class ImageBuffer;

// One worker's copies of the input rows that a window of rows reads, for an effect that works in place:
// grown row r is input row r - margin, limited to the image, with its edge pixels repeated margin times
// at both ends, and is kept at slot r % slots. A row is copied when a row of results first needs it,
// which is never later than the start of that row's own processing, so no copy of the whole image is
// made. The block of result rows [first, end) reads the input rows outside it from the rows kept
// before the blocks started, which the neighbouring blocks may have overwritten.
class GrownRows {
public:
    // slots is at least the window the rows are reached with; the block is the whole image.
    void Create(const ImageBuffer& image, int margin, int slots);
    // The rows the next results are made for; what was copied before is not used again.
    void StartBlock(int first, int end);

    // Brings grown rows y .. y + window - 1 in, calling loaded(grownRow) after each one it copies.
    template <class Loaded>
    void Reach(const ImageBuffer& image, const BoundaryRows& kept, int y, int window, Loaded&& loaded)
    {
        if (y < lo_ || y > hi_)
            lo_ = hi_ = y;
        for (; hi_ < y + window; ++hi_) {
            Load(image, kept, hi_);
            loaded(hi_);
        }
        lo_ = std::max(lo_, hi_ - slots_);
    }

    const uint8_t* Row(int grownRow) const { return rows_.data() + size_t(grownRow % slots_) * stride_; }

private:
    void Load(const ImageBuffer& image, const BoundaryRows& kept, int grownRow);

    std::vector<uint8_t> rows_; // slots of stride bytes
    size_t stride_ = 0;
    int margin_ = 0;
    int slots_ = 1;
    int first_ = 0;
    int end_ = 0;
    int lo_ = 0; // rows lo_ .. hi_ - 1 are in their slots
    int hi_ = 0;
};
