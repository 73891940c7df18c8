#include "editor/codecs/FreeImageDecoder.h"

#include "editor/codecs/FreeImageHeaderCheck.h"
#include "editor/codecs/FreeImageLibrary.h"
#include "editor/codecs/PngDecoder.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// Makes a palette image 32 bpp whose alpha comes from the file's transparency table, by palette index;
// false when the memory for that is not there.
bool ApplyTransparencyTable(FIBITMAP* bitmap, ImageBuffer& image)
{
    const ImageBuffer indices(image);
    const int count = int(std::min(FreeImage_GetTransparencyCount(bitmap), 256u));
    const BYTE* table = FreeImage_GetTransparencyTable(bitmap);
    if (indices.IsEmpty() || !image.ConvertTo(32) || image.BitCount() != 32)
        return false;
    if (!table)
        return true;
    for (int y = 0; y < image.Height(); ++y) {
        uint8_t* alpha = image.Row(y) + 3;
        for (int x = 0; x < image.Width(); ++x, alpha += 4) {
            const uint32_t index = indices.GetPixelValue(x, y);
            if (int(index) < count)
                *alpha = table[index];
        }
    }
    return true;
}

// The frame delay in milliseconds of an animation frame, 0 when the page has none.
int FrameTimeOf(FIBITMAP* bitmap)
{
    FITAG* tag = nullptr;
    if (!FreeImage_GetMetadata(FIMD_ANIMATION, bitmap, "FrameTime", &tag) || !tag || !FreeImage_GetTagValue(tag)
        || FreeImage_GetTagLength(tag) < 4)
        return 0;
    int32_t frameTime = 0;
    std::memcpy(&frameTime, FreeImage_GetTagValue(tag), sizeof frameTime);
    return frameTime;
}

// Each conversion returns null when the page has no image form, and also sets memoryShort when the
// page has one but the memory for it could not be had.
std::unique_ptr<ImageBuffer> FromStandardBitmap(FIBITMAP* bitmap, bool& memoryShort)
{
    const BITMAPINFOHEADER* info = FreeImage_GetInfoHeader(bitmap);
    if (!info)
        return nullptr;
    uint8_t block[sizeof(BitmapInfoHeader) + 3 * sizeof(uint32_t)] = {};
    std::memcpy(block, info, sizeof(BitmapInfoHeader));
    size_t blockBytes = sizeof(BitmapInfoHeader);
    if (info->biCompression == kBiBitfields) {
        const uint32_t masks[3]
            = { FreeImage_GetRedMask(bitmap), FreeImage_GetGreenMask(bitmap), FreeImage_GetBlueMask(bitmap) };
        std::memcpy(block + blockBytes, masks, sizeof masks);
        blockBytes += sizeof masks;
    }
    auto image = std::make_unique<ImageBuffer>();
    if (!image->CreateFromInfo(std::span<const uint8_t>(block, blockBytes))) {
        // FreeImage holds this very page, so only memory can be missing.
        memoryShort = true;
        return nullptr;
    }

    const int bpp = image->BitCount();
    if (bpp <= 8 && FreeImage_GetPalette(bitmap)) {
        const int used = int(std::min<unsigned>(FreeImage_GetColorsUsed(bitmap), unsigned(image->PaletteSize())));
        image->SetPalette(0, used, reinterpret_cast<const RgbQuad*>(FreeImage_GetPalette(bitmap)));
    }
    const size_t rowBytes = std::min<size_t>(size_t(image->Stride()), FreeImage_GetPitch(bitmap));
    const int height = image->Height();
    for (int y = 0; y < height; ++y)
        std::memcpy(image->Row(y), FreeImage_GetScanLine(bitmap, height - 1 - y), rowBytes);

    if (bpp <= 8 && FreeImage_IsTransparent(bitmap) && !ApplyTransparencyTable(bitmap, *image)) {
        memoryShort = true;
        return nullptr;
    }
    image->SetTag(FrameTimeOf(bitmap));
    return image;
}

// 16-bit grey as 8-bit grey from the high byte of each value, as viewers show it (stretching the page
// to its own range would change every grey level). A 16-bit page would otherwise pass for 5-5-5 colour.
std::unique_ptr<ImageBuffer> FromGrey16(FIBITMAP* bitmap, bool& memoryShort)
{
    auto image = std::make_unique<ImageBuffer>();
    const int width = int(FreeImage_GetWidth(bitmap));
    const int height = int(FreeImage_GetHeight(bitmap));
    if (!image->Create(width, height, 8)) {
        memoryShort = true;
        return nullptr;
    }
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const uint16_t*>(FreeImage_GetScanLine(bitmap, height - 1 - y));
        uint8_t* out = image->Row(y);
        for (int x = 0; x < width; ++x)
            out[x] = uint8_t(in[x] >> 8);
    }
    return image;
}

// 16-bit colour (FreeImage keeps red, green, blue and alpha in that order) as 8-bit from the high byte
// of each value, as for grey, in our blue-green-red order.
std::unique_ptr<ImageBuffer> FromColour16(FIBITMAP* bitmap, int channels, bool& memoryShort)
{
    auto image = std::make_unique<ImageBuffer>();
    const int width = int(FreeImage_GetWidth(bitmap));
    const int height = int(FreeImage_GetHeight(bitmap));
    if (!image->Create(width, height, 8 * channels)) {
        memoryShort = true;
        return nullptr;
    }
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const uint16_t*>(FreeImage_GetScanLine(bitmap, height - 1 - y));
        uint8_t* out = image->Row(y);
        for (int x = 0; x < width; ++x, in += channels, out += channels) {
            out[0] = uint8_t(in[2] >> 8);
            out[1] = uint8_t(in[1] >> 8);
            out[2] = uint8_t(in[0] >> 8);
            if (channels == 4)
                out[3] = uint8_t(in[3] >> 8);
        }
    }
    return image;
}

struct MemoryCloser {
    void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
};

} // namespace

std::unique_ptr<ImageBuffer> FreeImageDecoder::ConvertBitmap(FIBITMAP* bitmap, bool& memoryShort)
{
    if (!bitmap || !FreeImage_HasPixels(bitmap))
        return nullptr;
    switch (FreeImage_GetImageType(bitmap)) {
    case FIT_BITMAP:
        return FromStandardBitmap(bitmap, memoryShort);
    case FIT_UINT16:
        return FromGrey16(bitmap, memoryShort);
    case FIT_RGB16:
        return FromColour16(bitmap, 3, memoryShort);
    case FIT_RGBA16:
        return FromColour16(bitmap, 4, memoryShort);
    default:
        return nullptr;
    }
}

FreeImageBitmap FreeImageDecoder::LoadFirstPage(const uint8_t* bytes, size_t length)
{
    if (!bytes || length == 0 || length > size_t(UINT32_MAX))
        return nullptr;
    EnsureFreeImage();
    // FreeImage only reads from a memory stream that it did not allocate.
    const std::unique_ptr<FIMEMORY, MemoryCloser> memory(FreeImage_OpenMemory(const_cast<BYTE*>(bytes), DWORD(length)));
    if (!memory)
        return nullptr;
    const FREE_IMAGE_FORMAT fif = FreeImage_GetFileTypeFromMemory(memory.get(), 0);
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif) || !FreeImageHeaderCheck::Accepts(fif, bytes, length))
        return nullptr;
    ResetShortDataReport();
    // Page 0 alone: a multi-page load would decode (and hold) every frame of an animation we never show.
    FreeImageBitmap bitmap(FreeImage_LoadFromMemory(fif, memory.get(), 0));
    // A file cut short is refused rather than opened with the rest of its picture made up.
    if (DataEndedEarly())
        return nullptr;
    return bitmap;
}

std::optional<DecoderReply::Page> FreeImageDecoder::PageInPlace(FIBITMAP* bitmap)
{
    const BITMAPINFOHEADER* info = FreeImage_GetInfoHeader(bitmap);
    if (!bitmap || !FreeImage_HasPixels(bitmap) || FreeImage_GetImageType(bitmap) != FIT_BITMAP || !info)
        return std::nullopt;
    const int bpp = int(FreeImage_GetBPP(bitmap));
    const int64_t width = FreeImage_GetWidth(bitmap);
    const int64_t height = FreeImage_GetHeight(bitmap);
    if ((bpp != 24 && bpp != 32) || int64_t(FreeImage_GetPitch(bitmap)) != ImageBuffer::StrideFor(width, bpp))
        return std::nullopt;
    DecoderReply::Page page;
    std::memcpy(static_cast<void*>(&page.info), info, sizeof page.info);
    page.tag = FrameTimeOf(bitmap);
    page.pixels = FreeImage_GetBits(bitmap);
    page.pixelBytes = size_t(ImageBuffer::StrideFor(width, bpp) * height);
    return page;
}

std::unique_ptr<ImageBuffer> FreeImageDecoder::DecodeFirstPage(const uint8_t* bytes, size_t length, bool& memoryShort)
{
    memoryShort = false;
    auto image = std::make_unique<ImageBuffer>();
    const auto ownBlock = [](const BitmapInfoHeader& header, ImageBuffer& out) { return out.CreateFromInfo(header); };
    if (PngDecoder::Reads(bytes, length))
        return PngDecoder::Decode(bytes, length, ownBlock, *image, memoryShort) ? std::move(image) : nullptr;
    const FreeImageBitmap bitmap = LoadFirstPage(bytes, length);
    return ConvertBitmap(bitmap.get(), memoryShort);
}
