#include "editor/codecs/FreeImageLibrary.h"

#include "imaging/ImageBuffer.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

unsigned DLL_CALLCONV ReadStream(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    return unsigned(std::fread(buffer, size, count, static_cast<std::FILE*>(handle)));
}

unsigned DLL_CALLCONV WriteStream(void* buffer, unsigned size, unsigned count, fi_handle handle)
{
    return unsigned(std::fwrite(buffer, size, count, static_cast<std::FILE*>(handle)));
}

int DLL_CALLCONV SeekStream(fi_handle handle, long offset, int origin)
{
    return std::fseek(static_cast<std::FILE*>(handle), offset, origin);
}

long DLL_CALLCONV TellStream(fi_handle handle)
{
    return std::ftell(static_cast<std::FILE*>(handle));
}

thread_local bool shortData = false;

void DLL_CALLCONV RecordMessage(FREE_IMAGE_FORMAT, const char* message)
{
    if (message && std::strstr(message, "Premature end"))
        shortData = true;
}

void RecordTiffError(const char*, const char* format, va_list arguments)
{
    char message[256];
    std::vsnprintf(message, sizeof message, format, arguments);
    if (std::strstr(message, "Read error") || std::strstr(message, "Seek error"))
        shortData = true;
}

} // namespace

void ResetShortDataReport()
{
    shortData = false;
}

bool DataEndedEarly()
{
    return shortData;
}

void EnsureFreeImage()
{
    // A function-local static runs the set-up exactly once even when threads race to it; the library is
    // kept until the process ends.
    static const bool initialised = [] {
        FreeImage_Initialise(FALSE);
        // FreeImage reads TIFF through the system libtiff, whose default handlers print every warning
        // (including one per EXIF tag it does not know) on stderr. Failures reach us as results, and
        // data that runs out as a short-data report.
        TIFFSetErrorHandler(RecordTiffError);
        TIFFSetWarningHandler(nullptr);
        FreeImage_SetOutputMessage(RecordMessage);
        return true;
    }();
    (void)initialised;
}

FreeImageBitmap ToFreeImageBitmap(const ImageBuffer& image)
{
    EnsureFreeImage();
    if (image.IsEmpty())
        return nullptr;
    const int bpp = image.BitCount();
    const bool bitfields = bpp == 16;
    FreeImageBitmap bitmap(FreeImage_Allocate(image.Width(), image.Height(), bpp, bitfields ? image.RedMask() : 0,
        bitfields ? image.GreenMask() : 0, bitfields ? image.BlueMask() : 0));
    if (!bitmap)
        return nullptr;
    // Both keep bottom-up rows padded to 4 bytes, so the block copies row by row.
    const size_t rowBytes = std::min<size_t>(size_t(image.Stride()), FreeImage_GetPitch(bitmap.get()));
    for (int y = 0; y < image.Height(); ++y)
        std::memcpy(FreeImage_GetScanLine(bitmap.get(), image.Height() - 1 - y), image.Row(y), rowBytes);
    if (bpp <= 8)
        image.GetPalette(0, image.PaletteSize(), reinterpret_cast<RgbQuad*>(FreeImage_GetPalette(bitmap.get())));
    return bitmap;
}

bool SaveFreeImageBitmap(FREE_IMAGE_FORMAT fif, FIBITMAP* bitmap, std::FILE* stream, int flags)
{
    FreeImageIO io { ReadStream, WriteStream, SeekStream, TellStream };
    return FreeImage_SaveToHandle(fif, bitmap, &io, stream, flags) && !std::ferror(stream);
}
