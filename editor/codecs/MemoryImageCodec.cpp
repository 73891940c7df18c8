#include "MemoryImageCodec.h"

#include "FreeImageCodec.h"
#include "FreeImageLibrary.h"

#include <climits>
#include <cstdio>

namespace {

struct MemoryCloser {
    void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
};

bool HeaderFits(FREE_IMAGE_FORMAT fif, FIMEMORY* memory)
{
    if (!FreeImage_FIFSupportsNoPixels(fif))
        return true;
    FreeImageBitmap header(FreeImage_LoadFromMemory(fif, memory, FIF_LOAD_NOPIXELS));
    FreeImage_SeekMemory(memory, 0, SEEK_SET);
    if (!header)
        return false;
    const int64_t width = FreeImage_GetWidth(header.get());
    const int64_t height = FreeImage_GetHeight(header.get());
    const int64_t bpp = FreeImage_GetBPP(header.get());
    return width <= MemoryImageCodec::kMaxSide && height <= MemoryImageCodec::kMaxSide
        && ImageBuffer::StrideFor(width, int(bpp)) * height <= ImageBuffer::kMaxPixelBytes;
}

} // namespace

bool MemoryImageCodec::Decode(const uint8_t* bytes, size_t length)
{
    if (!bytes || length == 0 || length > size_t(INT_MAX))
        return false;
    EnsureFreeImage();
    // FreeImage only reads from a memory stream that it did not allocate.
    std::unique_ptr<FIMEMORY, MemoryCloser> memory(FreeImage_OpenMemory(const_cast<BYTE*>(bytes), DWORD(length)));
    if (!memory)
        return false;
    const FREE_IMAGE_FORMAT fif = FreeImage_GetFileTypeFromMemory(memory.get(), int(length));
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif) || !HeaderFits(fif, memory.get()))
        return false;
    FreeImageBitmap bitmap(FreeImage_LoadFromMemory(fif, memory.get(), 0));
    std::unique_ptr<ImageBuffer> image = FreeImageCodec::ConvertBitmap(bitmap.get());
    if (!image)
        return false;
    AppendDecoded(std::move(image));
    return true;
}
