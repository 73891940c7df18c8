#include "editor/codecs/AlphaUse.h"

#include "imaging/ImageBuffer.h"

bool HasMeaningfulAlpha(const ImageBuffer& image)
{
    if (image.IsEmpty() || image.BitCount() != 32)
        return false;
    const uint8_t first = image.Row(0)[3];
    if (first != 0 && first != 255)
        return true;
    const int width = image.Width();
    for (int y = 0; y < image.Height(); ++y) {
        const uint8_t* alpha = image.Row(y) + 3;
        for (int x = 0; x < width; ++x, alpha += 4)
            if (*alpha != first)
                return true;
    }
    return false;
}
