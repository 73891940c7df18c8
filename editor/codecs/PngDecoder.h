#pragma once

#include "imaging/ImageBuffer.h"

#include <cstddef>
#include <cstdint>
#include <functional>

// Reads the PNG pictures that are plain colour (RGB or RGBA, 8 or 16 bits a channel, no transparency
// chunk: screenshots and most photographs) with libpng, row by row straight into the image's final
// memory, where FreeImage would decode into a block of its own that is then copied. 16-bit channels keep
// their high byte; a file gamma is corrected as FreeImage does, so that either reader gives the same
// picture. It needs none of FreeImage, so a decoder process for these pictures starts without it. Every
// other kind of PNG goes to FreeImage.
class PngDecoder {
public:
    // Makes the image for a header: in a block of its own, or in one that the caller holds.
    using MakeImage = std::function<bool(const BitmapInfoHeader& header, ImageBuffer& image)>;

    // Whether the bytes are a PNG of a kind this reader takes, by the chunks before the first IDAT.
    static bool Reads(const uint8_t* bytes, size_t length);
    // After the header check; false when the data is refused, damaged or cut short, or when make fails
    // (memoryShort is then set).
    static bool Decode(
        const uint8_t* bytes, size_t length, const MakeImage& make, ImageBuffer& image, bool& memoryShort);
};
