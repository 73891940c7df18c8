#include "imaging/colour/RgbValueEffect.h"

#include "imaging/colour/PixelMath.h"

namespace {

void FillOffsetTable(std::array<uint8_t, 256>& table, int32_t offset)
{
    for (int v = 0; v < 256; ++v)
        table[size_t(v)] = ClampToByte(int64_t(v) + offset);
}

} // namespace

RgbValueEffect::RgbValueEffect(int redOffset, int greenOffset, int blueOffset)
    : redOffset_(redOffset)
    , greenOffset_(greenOffset)
    , blueOffset_(blueOffset)
{
}

void RgbValueEffect::Begin(ImageBuffer&)
{
    FillOffsetTable(red_, redOffset_);
    FillOffsetTable(green_, greenOffset_);
    FillOffsetTable(blue_, blueOffset_);
}
