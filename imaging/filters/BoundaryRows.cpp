#include "imaging/filters/BoundaryRows.h"

#include "imaging/ImageBuffer.h"

#include <algorithm>

void BoundaryRows::Keep(const ImageBuffer& image, int blockRows, int64_t margin)
{
    rows_.clear();
    const int height = image.Height();
    if (margin <= 0 || blockRows >= height)
        return;
    rows_.resize(size_t(height));
    const size_t bytes = size_t(image.Width()) * size_t(image.BitCount() / 8);
    for (int64_t boundary = blockRows; boundary < height; boundary += blockRows) {
        const int64_t end = std::min<int64_t>(height, boundary + margin);
        for (int64_t row = std::max<int64_t>(0, boundary - margin); row < end; ++row)
            if (rows_[size_t(row)].empty())
                rows_[size_t(row)].assign(image.Row(int(row)), image.Row(int(row)) + bytes);
    }
}

const uint8_t* BoundaryRows::Input(const ImageBuffer& image, int row, int first, int end) const
{
    const bool elsewhere = row < first || row >= end;
    if (elsewhere && !rows_.empty() && !rows_[size_t(row)].empty())
        return rows_[size_t(row)].data();
    return image.Row(row);
}
