#pragma once

#include "imaging/ImageBuffer.h"

#include <memory>
#include <vector>

// The picture that the sandboxed decoder hands back: a fixed header (the bitmap header, colour masks,
// frame time), the palette and the bottom-up pixel block, written into a memfd that the decoder seals.
// The reading side trusts nothing in it: every size is checked against our image limits and against the
// file's own length before a pixel block is made.
class DecoderReply {
public:
    // One decoded page as the reply carries it: the pixels are a bottom-up block with rows padded to 4
    // bytes, as ImageBuffer keeps them; masks only count at 16 bpp with bit fields.
    struct Page {
        BitmapInfoHeader info;
        uint32_t masks[3]
            = { ImageBuffer::kDefaultRedMask, ImageBuffer::kDefaultGreenMask, ImageBuffer::kDefaultBlueMask };
        const RgbQuad* palette = nullptr;
        int paletteEntries = 0;
        int tag = 0;
        const uint8_t* pixels = nullptr;
        size_t pixelBytes = 0;
    };
    static Page PageOf(const ImageBuffer& image, std::vector<RgbQuad>& palette);

    // Writes the page at the descriptor's current offset and seals the file against any later change.
    static bool Write(int fd, const Page& page);
    // The image from a sealed reply, or null when the reply is malformed, unsealed or over our limits.
    static std::unique_ptr<ImageBuffer> Read(int fd);
};
