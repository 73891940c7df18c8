#include "editor/ui/ImageDarkener.h"

#include "imaging/ImageBuffer.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

void DarkenRow(uint8_t* row, int width, int bytesPerPixel)
{
    for (int x = 0; x < width; ++x, row += bytesPerPixel) {
        row[0] >>= 1;
        row[1] >>= 1;
        row[2] >>= 1;
    }
}

void DarkenRow16(uint8_t* row, int width, const uint32_t masks[3])
{
    for (int x = 0; x < width; ++x) {
        uint16_t value;
        std::memcpy(&value, row + size_t(x) * 2, 2);
        uint32_t darker = 0;
        // Shifting a channel's bits down one place and keeping only its mask halves it.
        for (int c = 0; c < 3; ++c)
            darker |= ((value & masks[c]) >> 1) & masks[c];
        value = uint16_t(darker);
        std::memcpy(row + size_t(x) * 2, &value, 2);
    }
}

void DarkenPalette(ImageBuffer& image)
{
    std::vector<RgbQuad> palette(size_t(image.PaletteSize()));
    if (!image.GetPalette(0, int(palette.size()), palette.data()))
        return;
    for (RgbQuad& entry : palette) {
        entry.blue >>= 1;
        entry.green >>= 1;
        entry.red >>= 1;
    }
    image.SetPalette(0, int(palette.size()), palette.data());
}

} // namespace

void ImageDarkener::Darken(ImageBuffer& image)
{
    if (image.IsEmpty())
        return;
    const int bpp = image.BitCount();
    if (bpp <= 8) {
        DarkenPalette(image);
        return;
    }
    const uint32_t masks[3] = { image.RedMask(), image.GreenMask(), image.BlueMask() };
    for (int y = 0; y < image.Height(); ++y) {
        if (bpp == 16)
            DarkenRow16(image.Row(y), image.Width(), masks);
        else
            DarkenRow(image.Row(y), image.Width(), bpp / 8);
    }
}
