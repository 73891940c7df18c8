#include "editor/codecs/FreeImageHeaderCheck.h"

#include "editor/codecs/BmpCodec.h"
#include "editor/codecs/FormatHeaderCheck.h"
#include "editor/codecs/FreeImageLibrary.h"
#include "editor/codecs/GifFrameScan.h"
#include "imaging/ImageBuffer.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace {

struct MemoryDeleter {
    void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
};
using Memory = std::unique_ptr<FIMEMORY, MemoryDeleter>;

struct MultiBitmapDeleter {
    void operator()(FIMULTIBITMAP* pages) const { FreeImage_CloseMultiBitmap(pages, 0); }
};
using MultiBitmap = std::unique_ptr<FIMULTIBITMAP, MultiBitmapDeleter>;

// Pixels of one page: its size and its own depth.
struct PagePromise {
    int64_t width = 0;
    int64_t height = 0;
    int bpp = 0;
};

PagePromise PromiseOf(FIBITMAP* header)
{
    return { FreeImage_GetWidth(header), FreeImage_GetHeight(header), int(FreeImage_GetBPP(header)) };
}

FREE_IMAGE_FORMAT FreeImageFormatOf(ImageFormat format)
{
    switch (format) {
    case kFormatPcx:
        return FIF_PCX;
    case kFormatJpeg:
        return FIF_JPEG;
    case kFormatGif:
        return FIF_GIF;
    case kFormatTiff:
        return FIF_TIFF;
    case kFormatPng:
        return FIF_PNG;
    case kFormatPsd:
        return FIF_PSD;
    case kFormatIco:
        return FIF_ICO;
    case kFormatXpm:
        return FIF_XPM;
    default:
        return FIF_UNKNOWN;
    }
}

} // namespace

int64_t FreeImageHeaderCheck::MaxPixelsPerByte(FREE_IMAGE_FORMAT fif, int bpp)
{
    switch (fif) {
    case FIF_PNG:
        return 1032 * 8; // deflate's best ratio, at one bit per pixel
    case FIF_PCX:
        return 32 * 8; // runs of at most 63 bytes from two, at one bit per pixel
    case FIF_GIF:
        return 2731; // an LZW code of 12 bits makes at most 4096 pixels
    case FIF_JPEG:
        return 1024; // each 8 x 8 block of every component costs at least one bit (512 pixels a byte)
    case FIF_TIFF:
        // Fax compressions code a blank line of any width in a few bits; at 4 bpp and more LZW's ratio
        // is the best there is.
        return bpp <= 1 ? 0 : 2 * 4096;
    default:
        return 0;
    }
}

bool FreeImageHeaderCheck::AcceptsSize(int64_t width, int64_t height, int bpp)
{
    // The same largest side as our own decoders: a few bytes of a lying header must not make FreeImage
    // fill tens of millions of rows.
    if (width <= 0 || height <= 0 || width > BmpCodec::kMaxSide || height > BmpCodec::kMaxSide || bpp <= 0)
        return false;
    return ImageBuffer::StrideFor(width, bpp) * height < ImageBuffer::kMaxPixelBytes;
}

bool FreeImageHeaderCheck::AcceptsGif(const uint8_t* bytes, size_t length)
{
    const auto frames = ScanGifFrames(bytes, length);
    if (!frames || frames->empty())
        return false;
    for (const GifFrame& frame : *frames) {
        if (!AcceptsSize(frame.width, frame.height, 8))
            return false;
        if (int64_t(frame.width) * frame.height > int64_t(frame.dataBytes) * MaxPixelsPerByte(FIF_GIF, 8))
            return false;
    }
    return true;
}

bool FreeImageHeaderCheck::AcceptsPages(FREE_IMAGE_FORMAT fif, const uint8_t* bytes, size_t length)
{
    const Memory memory(FreeImage_OpenMemory(const_cast<BYTE*>(bytes), DWORD(length)));
    if (!memory)
        return false;
    std::vector<PagePromise> pages;
    if (fif == FIF_TIFF) {
        const MultiBitmap multi(FreeImage_LoadMultiBitmapFromMemory(fif, memory.get(), FIF_LOAD_NOPIXELS));
        if (!multi)
            return false;
        const int count = FreeImage_GetPageCount(multi.get());
        for (int i = 0; i < count; ++i) {
            FIBITMAP* page = FreeImage_LockPage(multi.get(), i);
            if (!page)
                continue;
            pages.push_back(PromiseOf(page));
            FreeImage_UnlockPage(multi.get(), page, FALSE);
        }
    } else {
        const FreeImageBitmap header(FreeImage_LoadFromMemory(fif, memory.get(), FIF_LOAD_NOPIXELS));
        if (!header)
            return false;
        pages.push_back(PromiseOf(header.get()));
    }
    // Pages keep their data apart, so together they cannot promise more than the whole file can make.
    int64_t boundedPixels = 0;
    int64_t allowedPixels = 0;
    for (const PagePromise& page : pages) {
        if (!AcceptsSize(page.width, page.height, page.bpp))
            return false;
        const int64_t perByte = MaxPixelsPerByte(fif, page.bpp);
        if (perByte == 0)
            continue;
        boundedPixels += page.width * page.height;
        allowedPixels = int64_t(length) * perByte;
    }
    return boundedPixels <= allowedPixels;
}

bool FreeImageHeaderCheck::Accepts(FREE_IMAGE_FORMAT fif, const uint8_t* bytes, size_t length)
{
    // Our own reading of the header comes first, and FreeImage must see the content as the same format:
    // its header-only load is a decoder too.
    if (!bytes || length == 0 || length > size_t(UINT32_MAX) || !FormatHeaderCheck::Accepts(bytes, length)
        || FreeImageFormatOf(FormatHeaderCheck::ContentFormat(bytes, length)) != fif)
        return false;
    EnsureFreeImage();
    if (fif == FIF_GIF)
        return AcceptsGif(bytes, length);
    // A reader that cannot stop after the header gets no size check before it decodes.
    if (!FreeImage_FIFSupportsNoPixels(fif))
        return true;
    return AcceptsPages(fif, bytes, length);
}
