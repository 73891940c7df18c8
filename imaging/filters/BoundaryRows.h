#pragma once

#include <cstdint>
#include <vector>

class ImageBuffer;

// For an effect that works in place and reads `margin` input rows on either side of each row it writes: the
// input rows beside every block boundary, copied before the blocks start, because the block on the other
// side of the boundary may overwrite them first.
class BoundaryRows {
public:
    // Copies the rows within margin of each multiple of blockRows; nothing when there is one block.
    void Keep(const ImageBuffer& image, int blockRows, int64_t margin);
    void Clear() { rows_.clear(); }

    // The input of image row `row`, read by the block of rows [first, end).
    const uint8_t* Input(const ImageBuffer& image, int row, int first, int end) const;

private:
    std::vector<std::vector<uint8_t>> rows_; // by image row; empty where not kept
};
