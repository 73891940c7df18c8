#include "editor/codecs/MemoryImageCodec.h"

#include "editor/codecs/FreeImageCodec.h"
#include "editor/codecs/FreeImageHeaderCheck.h"
#include "editor/codecs/FreeImageLibrary.h"

#include <climits>

namespace {

struct MemoryCloser {
    void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
};

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
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif) || !FreeImageHeaderCheck::Accepts(fif, bytes, length))
        return false;
    FreeImageBitmap bitmap(FreeImage_LoadFromMemory(fif, memory.get(), 0));
    std::unique_ptr<ImageBuffer> image = FreeImageCodec::ConvertBitmap(bitmap.get());
    if (!image)
        return false;
    AppendDecoded(std::move(image));
    return true;
}
