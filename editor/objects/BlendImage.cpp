#include "editor/objects/BlendImage.h"

#include "editor/objects/RowBlender.h"
#include "imaging/ImageBuffer.h"

#include <algorithm>
#include <cstdint>

void BlendImage(ImageBuffer& target, const ImageBuffer& source, int x, int y, int strength)
{
    if (target.IsEmpty() || source.IsEmpty() || target.BitCount() != 32 || source.BitCount() != 32)
        return;
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(int64_t(x) + source.Width(), target.Width());
    const int64_t bottom = std::min<int64_t>(int64_t(y) + source.Height(), target.Height());
    if (left >= right || top >= bottom)
        return;

    RowBlender blender(strength);
    const int count = int(right - left);
    for (int64_t row = top; row < bottom; ++row)
        blender.BlendRow(
            source.PixelAddress(int(left - x), int(row - y)), target.PixelAddress(int(left), int(row)), count);
}
