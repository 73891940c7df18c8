#include "imaging/filters/HalftoneEffect.h"

#include <cstring>

const uint8_t HalftoneEffect::kMatrix[8][8] = {
    { 0, 32, 8, 40, 2, 34, 10, 42 },
    { 48, 16, 56, 24, 50, 18, 58, 26 },
    { 12, 44, 4, 36, 14, 46, 6, 38 },
    { 60, 28, 52, 20, 62, 30, 54, 22 },
    { 3, 35, 11, 43, 1, 33, 9, 41 },
    { 51, 19, 59, 27, 49, 17, 57, 25 },
    { 15, 47, 7, 39, 13, 45, 5, 37 },
    { 63, 31, 55, 23, 61, 29, 53, 21 },
};

void HalftoneEffect::ProcessPixel(ImageBuffer&, int x, int y, uint8_t* pixel)
{
    const int g = (pixel[2] * 30 + pixel[1] * 59 + pixel[0] * 11) / 400;
    const uint8_t value = kMatrix[y % 8][x % 8] < g ? 255 : 0;
    pixel[0] = pixel[1] = pixel[2] = value;
}

void HalftoneEffect::ProcessRow(ImageBuffer& image, int y)
{
    const int bpp = image.BitCount();
    if (!WithPixelSize(bpp, [&](auto size) { ProcessRowOf<decltype(size)::value>(image.Row(y), image.Width(), y); }))
        PixelEffectImpl::ProcessRow(image, y);
}

template <int Step> void HalftoneEffect::ProcessRowOf(uint8_t* row, int width, int y)
{
    // m < sum / 400 (integer division) exactly when sum >= 400 * (m + 1): no division per pixel.
    uint32_t threshold[8];
    for (int i = 0; i < 8; ++i)
        threshold[i] = 400u * (kMatrix[y % 8][i] + 1u);
    int x = 0;
    if constexpr (Step == 4) {
        for (; x + 8 <= width; x += 8, row += 32) {
            uint32_t pixels[8];
            std::memcpy(pixels, row, sizeof pixels);
            for (int i = 0; i < 8; ++i) {
                const uint32_t p = pixels[i];
                const uint32_t sum = ((p >> 16) & 0xFF) * 30 + ((p >> 8) & 0xFF) * 59 + (p & 0xFF) * 11;
                pixels[i] = (p & 0xFF000000u) | (sum >= threshold[i] ? 0x00FFFFFFu : 0u);
            }
            std::memcpy(row, pixels, sizeof pixels);
        }
    }
    for (; x < width; ++x, row += Step) {
        const uint32_t sum = row[2] * 30u + row[1] * 59u + row[0] * 11u;
        const uint8_t value = sum >= threshold[x % 8] ? 255 : 0;
        row[0] = row[1] = row[2] = value;
    }
}
