#include <FreeImage.h>
#include <tiffio.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

// FreeImage, and the two dozen image libraries it stands on, are loaded on the first call rather than when
// the program starts: a capture saved as PNG or JPEG never calls them, and loading them took about a tenth
// of such a capture. These definitions stand in for the library's functions that the codecs call; each
// finds the real one once. FreeImage's own libtiff is reached the same way.

namespace {

void* Library()
{
    static void* const handle = [] {
        void* loaded = dlopen("libfreeimage.so.3", RTLD_NOW | RTLD_LOCAL);
        if (!loaded) {
            std::fprintf(stderr, "lumora: cannot load FreeImage: %s\n", dlerror());
            std::abort();
        }
        return loaded;
    }();
    return handle;
}

template <class Function> Function Resolve(const char* name)
{
    void* symbol = dlsym(Library(), name);
    if (!symbol) {
        std::fprintf(stderr, "lumora: FreeImage has no %s\n", name);
        std::abort();
    }
    return reinterpret_cast<Function>(symbol);
}

} // namespace

extern "C" {

FIBITMAP* DLL_CALLCONV FreeImage_Allocate(
    int width, int height, int bpp, unsigned red_mask, unsigned green_mask, unsigned blue_mask)
{
    static const auto real = Resolve<decltype(&FreeImage_Allocate)>("FreeImage_Allocate");
    return real(width, height, bpp, red_mask, green_mask, blue_mask);
}

void DLL_CALLCONV FreeImage_CloseMemory(FIMEMORY* stream)
{
    static const auto real = Resolve<decltype(&FreeImage_CloseMemory)>("FreeImage_CloseMemory");
    real(stream);
}

BOOL DLL_CALLCONV FreeImage_CloseMultiBitmap(FIMULTIBITMAP* bitmap, int flags)
{
    static const auto real = Resolve<decltype(&FreeImage_CloseMultiBitmap)>("FreeImage_CloseMultiBitmap");
    return real(bitmap, flags);
}

FIBITMAP* DLL_CALLCONV FreeImage_ColorQuantize(FIBITMAP* dib, FREE_IMAGE_QUANTIZE quantize)
{
    static const auto real = Resolve<decltype(&FreeImage_ColorQuantize)>("FreeImage_ColorQuantize");
    return real(dib, quantize);
}

BOOL DLL_CALLCONV FreeImage_FIFSupportsNoPixels(FREE_IMAGE_FORMAT fif)
{
    static const auto real = Resolve<decltype(&FreeImage_FIFSupportsNoPixels)>("FreeImage_FIFSupportsNoPixels");
    return real(fif);
}

BOOL DLL_CALLCONV FreeImage_FIFSupportsReading(FREE_IMAGE_FORMAT fif)
{
    static const auto real = Resolve<decltype(&FreeImage_FIFSupportsReading)>("FreeImage_FIFSupportsReading");
    return real(fif);
}

BYTE* DLL_CALLCONV FreeImage_GetBits(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_GetBits)>("FreeImage_GetBits");
    return real(dib);
}

unsigned DLL_CALLCONV FreeImage_GetBPP(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_GetBPP)>("FreeImage_GetBPP");
    return real(dib);
}

unsigned DLL_CALLCONV FreeImage_GetBlueMask(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_GetBlueMask)>("FreeImage_GetBlueMask");
    return real(dib);
}

unsigned DLL_CALLCONV FreeImage_GetColorsUsed(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_GetColorsUsed)>("FreeImage_GetColorsUsed");
    return real(dib);
}

FREE_IMAGE_FORMAT DLL_CALLCONV FreeImage_GetFileTypeFromMemory(FIMEMORY* stream, int size)
{
    static const auto real = Resolve<decltype(&FreeImage_GetFileTypeFromMemory)>("FreeImage_GetFileTypeFromMemory");
    return real(stream, size);
}

unsigned DLL_CALLCONV FreeImage_GetGreenMask(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_GetGreenMask)>("FreeImage_GetGreenMask");
    return real(dib);
}

unsigned DLL_CALLCONV FreeImage_GetHeight(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_GetHeight)>("FreeImage_GetHeight");
    return real(dib);
}

FREE_IMAGE_TYPE DLL_CALLCONV FreeImage_GetImageType(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_GetImageType)>("FreeImage_GetImageType");
    return real(dib);
}

BITMAPINFOHEADER* DLL_CALLCONV FreeImage_GetInfoHeader(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_GetInfoHeader)>("FreeImage_GetInfoHeader");
    return real(dib);
}

BOOL DLL_CALLCONV FreeImage_GetMetadata(FREE_IMAGE_MDMODEL model, FIBITMAP* dib, const char* key, FITAG** tag)
{
    static const auto real = Resolve<decltype(&FreeImage_GetMetadata)>("FreeImage_GetMetadata");
    return real(model, dib, key, tag);
}

int DLL_CALLCONV FreeImage_GetPageCount(FIMULTIBITMAP* bitmap)
{
    static const auto real = Resolve<decltype(&FreeImage_GetPageCount)>("FreeImage_GetPageCount");
    return real(bitmap);
}

RGBQUAD* DLL_CALLCONV FreeImage_GetPalette(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_GetPalette)>("FreeImage_GetPalette");
    return real(dib);
}

unsigned DLL_CALLCONV FreeImage_GetPitch(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_GetPitch)>("FreeImage_GetPitch");
    return real(dib);
}

unsigned DLL_CALLCONV FreeImage_GetRedMask(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_GetRedMask)>("FreeImage_GetRedMask");
    return real(dib);
}

BYTE* DLL_CALLCONV FreeImage_GetScanLine(FIBITMAP* dib, int scanline)
{
    static const auto real = Resolve<decltype(&FreeImage_GetScanLine)>("FreeImage_GetScanLine");
    return real(dib, scanline);
}

DWORD DLL_CALLCONV FreeImage_GetTagLength(FITAG* tag)
{
    static const auto real = Resolve<decltype(&FreeImage_GetTagLength)>("FreeImage_GetTagLength");
    return real(tag);
}

const void* DLL_CALLCONV FreeImage_GetTagValue(FITAG* tag)
{
    static const auto real = Resolve<decltype(&FreeImage_GetTagValue)>("FreeImage_GetTagValue");
    return real(tag);
}

unsigned DLL_CALLCONV FreeImage_GetTransparencyCount(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_GetTransparencyCount)>("FreeImage_GetTransparencyCount");
    return real(dib);
}

BYTE* DLL_CALLCONV FreeImage_GetTransparencyTable(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_GetTransparencyTable)>("FreeImage_GetTransparencyTable");
    return real(dib);
}

unsigned DLL_CALLCONV FreeImage_GetWidth(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_GetWidth)>("FreeImage_GetWidth");
    return real(dib);
}

BOOL DLL_CALLCONV FreeImage_HasPixels(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_HasPixels)>("FreeImage_HasPixels");
    return real(dib);
}

void DLL_CALLCONV FreeImage_Initialise(BOOL load_local_plugins_only)
{
    static const auto real = Resolve<decltype(&FreeImage_Initialise)>("FreeImage_Initialise");
    real(load_local_plugins_only);
}

BOOL DLL_CALLCONV FreeImage_IsTransparent(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_IsTransparent)>("FreeImage_IsTransparent");
    return real(dib);
}

FIBITMAP* DLL_CALLCONV FreeImage_LoadFromMemory(FREE_IMAGE_FORMAT fif, FIMEMORY* stream, int flags)
{
    static const auto real = Resolve<decltype(&FreeImage_LoadFromMemory)>("FreeImage_LoadFromMemory");
    return real(fif, stream, flags);
}

FIMULTIBITMAP* DLL_CALLCONV FreeImage_LoadMultiBitmapFromMemory(FREE_IMAGE_FORMAT fif, FIMEMORY* stream, int flags)
{
    static const auto real
        = Resolve<decltype(&FreeImage_LoadMultiBitmapFromMemory)>("FreeImage_LoadMultiBitmapFromMemory");
    return real(fif, stream, flags);
}

FIBITMAP* DLL_CALLCONV FreeImage_LockPage(FIMULTIBITMAP* bitmap, int page)
{
    static const auto real = Resolve<decltype(&FreeImage_LockPage)>("FreeImage_LockPage");
    return real(bitmap, page);
}

FIMEMORY* DLL_CALLCONV FreeImage_OpenMemory(BYTE* data, DWORD size_in_bytes)
{
    static const auto real = Resolve<decltype(&FreeImage_OpenMemory)>("FreeImage_OpenMemory");
    return real(data, size_in_bytes);
}

BOOL DLL_CALLCONV FreeImage_SaveToHandle(
    FREE_IMAGE_FORMAT fif, FIBITMAP* dib, FreeImageIO* io, fi_handle handle, int flags)
{
    static const auto real = Resolve<decltype(&FreeImage_SaveToHandle)>("FreeImage_SaveToHandle");
    return real(fif, dib, io, handle, flags);
}

void DLL_CALLCONV FreeImage_SetOutputMessage(FreeImage_OutputMessageFunction omf)
{
    static const auto real = Resolve<decltype(&FreeImage_SetOutputMessage)>("FreeImage_SetOutputMessage");
    real(omf);
}

void DLL_CALLCONV FreeImage_Unload(FIBITMAP* dib)
{
    static const auto real = Resolve<decltype(&FreeImage_Unload)>("FreeImage_Unload");
    real(dib);
}

void DLL_CALLCONV FreeImage_UnlockPage(FIMULTIBITMAP* bitmap, FIBITMAP* data, BOOL changed)
{
    static const auto real = Resolve<decltype(&FreeImage_UnlockPage)>("FreeImage_UnlockPage");
    real(bitmap, data, changed);
}

TIFFErrorHandler TIFFSetErrorHandler(TIFFErrorHandler handler)
{
    static const auto real = Resolve<decltype(&TIFFSetErrorHandler)>("TIFFSetErrorHandler");
    return real(handler);
}

TIFFErrorHandler TIFFSetWarningHandler(TIFFErrorHandler handler)
{
    static const auto real = Resolve<decltype(&TIFFSetWarningHandler)>("TIFFSetWarningHandler");
    return real(handler);
}

} // extern "C"
