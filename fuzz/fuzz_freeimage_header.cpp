#include "editor/codecs/FreeImageHeaderCheck.h"
#include "editor/codecs/GifFrameScan.h"

#include <FreeImage.h>

// The check that runs before FreeImage decodes anything: our GIF block walker and the header-only reads.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    ScanGifFrames(data, size);
    FreeImageHeaderCheck::Accepts(FIF_GIF, data, size);
    FIMEMORY* memory = FreeImage_OpenMemory(const_cast<BYTE*>(data), DWORD(size));
    const FREE_IMAGE_FORMAT fif = FreeImage_GetFileTypeFromMemory(memory, 0);
    FreeImage_CloseMemory(memory);
    if (fif != FIF_UNKNOWN)
        FreeImageHeaderCheck::Accepts(fif, data, size);
    return 0;
}
