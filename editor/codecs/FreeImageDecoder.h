#pragma once

#include "editor/codecs/DecoderReply.h"
#include "editor/codecs/FreeImageLibrary.h"
#include "imaging/ImageBuffer.h"

#include <FreeImage.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

// The FreeImage decode itself, which runs only inside the sandboxed decoder process (and in the benchmark
// that measures what the sandbox adds). FreeImage detects the real format from the content; the header
// must pass FreeImageHeaderCheck before any pixel is decoded, and only the first page of a TIFF or the
// first frame of a GIF is decoded.
class FreeImageDecoder {
public:
    // The first page, or null when the content is no picture we read (unknown format, refused header, data
    // cut short, a pixel type with no image form) or, with memoryShort set, when our copy of a page that
    // decoded could not be allocated. Plain colour PNGs are read by PngDecoder, as in the decoder process.
    static std::unique_ptr<ImageBuffer> DecodeFirstPage(const uint8_t* bytes, size_t length, bool& memoryShort);

    // The first page as FreeImage decoded it, or null when the content is no picture we read.
    static FreeImageBitmap LoadFirstPage(const uint8_t* bytes, size_t length);
    // The page as a reply page without a copy, when FreeImage's own block already is what ConvertBitmap
    // would make (24 and 32 bpp colour); otherwise nothing, and the page goes through ConvertBitmap.
    static std::optional<DecoderReply::Page> PageInPlace(FIBITMAP* bitmap);
    // One decoded FreeImage page as an image, or null when its pixel type has no image form (floating-point
    // and complex pages are dropped) or memory is short. 16-bit grey and colour keep the high byte.
    static std::unique_ptr<ImageBuffer> ConvertBitmap(FIBITMAP* bitmap, bool& memoryShort);
};
