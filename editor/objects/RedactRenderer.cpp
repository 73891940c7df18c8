#include "editor/objects/RedactRenderer.h"

#include "editor/objects/RedactObject.h"
#include "imaging/ImageBuffer.h"
#include "imaging/filters/BoxBlurEffect.h"
#include "imaging/filters/MosaicEffect.h"

#include <algorithm>
#include <cstring>

namespace {

// The part of a side that full-size cells cover. A cell cut short by the rectangle's edge would average
// too few pixels (a one-pixel cell shows its pixel as it is), so a remainder under half a cell is left to
// the last full cell instead.
int CoveredLength(int length, int cell)
{
    const int rest = length % cell;
    return length <= cell || rest == 0 || rest >= cell / 2 ? length : length - rest;
}

void Pixelate(ImageBuffer& target, const ImageRect& area, int cell)
{
    const int width = CoveredLength(area.Width(), cell);
    const int height = CoveredLength(area.Height(), cell);
    MosaicEffect mosaic(cell);
    mosaic.PixelateRect(target, { area.left, area.top, area.left + width, area.top + height });
    // The remainders take the colour of the cells beside them.
    for (int y = area.top; y < area.top + height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(target.Row(y));
        std::fill(row + area.left + width, row + area.right, row[area.left + width - 1]);
    }
    const size_t rowBytes = size_t(area.Width()) * 4;
    const uint8_t* last = target.PixelAddress(area.left, area.top + height - 1);
    for (int y = area.top + height; y < area.bottom; ++y)
        std::memcpy(target.PixelAddress(area.left, y), last, rowBytes);
}

} // namespace

void RedactRenderer::Render(const RedactObject& redact, ImageBuffer& target)
{
    if (target.IsEmpty() || target.BitCount() != 32)
        return;
    const ImageRect area { std::max(redact.left, 0), std::max(redact.top, 0), std::min(redact.right, target.Width()),
        std::min(redact.bottom, target.Height()) };
    if (area.IsEmpty())
        return;
    const int32_t mode = RedactObject::ValidMode(redact.mode);
    const int32_t strength = RedactObject::ValidStrength(mode, redact.strength);
    if (mode == RedactObject::kBlur) {
        BoxBlurEffect blur(strength);
        blur.BlurRect(target, area);
    } else {
        Pixelate(target, area, strength);
    }
}
