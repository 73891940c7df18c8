#pragma once

#include "imaging/ImageBuffer.h"

#include <memory>
#include <span>
#include <vector>

// The picture that the sandboxed decoder hands back: a fixed header (the bitmap header, colour masks,
// frame time), the palette and, at a page-aligned offset, the bottom-up pixel block, written into a memfd
// that the decoder seals against any change of size. The reading side trusts nothing in it: every size is
// checked against our image limits and against the file's own length before the pixels are mapped, and
// the mapping becomes the image's memory.
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
        // The pixels were decoded straight into the block that ReservePixels mapped.
        bool pixelsInReply = false;
    };
    static Page PageOf(const ImageBuffer& image, std::vector<RgbQuad>& palette);

    // Makes and maps the pages of a pixel block of bytes ahead of time, as a decoder waiting for its input
    // can: making fresh pages costs as much as decoding into them. Empty when it cannot.
    static std::span<uint8_t> Prepare(int fd, size_t bytes);
    // Sizes the reply for a pixel block of bytes and maps that block for a decoder to write into, in the
    // prepared pages when there are enough of them; empty when it cannot.
    static PixelBlock ReservePixels(int fd, size_t bytes, std::span<uint8_t> prepared = {});
    // Writes the page at the descriptor's current offset and seals the file against any change of size.
    static bool Write(int fd, const Page& page);
    // The image from a sealed reply, or null when the reply is malformed, unsealed or over our limits. Only
    // once the writer has ended: the image shares the file's pages.
    static std::unique_ptr<ImageBuffer> Read(int fd);
};
