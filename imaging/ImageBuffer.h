#pragma once

#include "imaging/BitmapTypes.h"
#include "imaging/PixelBlock.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class ImageEffect;
class ProgressSink;

// The one raster type: a device-independent bitmap of 1, 4, 8, 16, 24 or 32 bits per pixel, stored
// bottom-up with rows padded to 4 bytes, exactly as drawing, clipboard and BMP code take it. The row
// table hides the bottom-up order: Row(0) is the top row. Copies are deep.
class ImageBuffer {
public:
    // Larger blocks are refused as an allocation failure would be.
    static constexpr int64_t kMaxPixelBytes = int64_t(1) << 31;
    // Rows per block that ApplyEffect hands to one thread of the row pool: small enough to share a 1080p
    // image's rows out evenly.
    static constexpr int kEffectBlockRows = 64;
    static constexpr uint32_t kDefaultRedMask = 0x7C00;
    static constexpr uint32_t kDefaultGreenMask = 0x03E0;
    static constexpr uint32_t kDefaultBlueMask = 0x001F;

    ImageBuffer() = default;
    ImageBuffer(const ImageBuffer& other);
    ImageBuffer(ImageBuffer&& other) noexcept;
    ImageBuffer& operator=(const ImageBuffer& other);
    ImageBuffer& operator=(ImageBuffer&& other) noexcept;
    virtual ~ImageBuffer();

    // Construction and storage.
    bool CreateFromInfo(std::span<const uint8_t> info);
    bool CreateFromInfo(const BitmapInfoHeader& header, const uint32_t* masks = nullptr);
    // Over a block the caller already holds, of exactly the size the header needs (as the decoder's reply
    // maps it); the block is kept as it is, not cleared.
    bool CreateFromInfo(const BitmapInfoHeader& header, const uint32_t* masks, PixelBlock&& pixels);
    bool Create(int width, int height, int bpp);
    void Destroy();
    bool CopyFrom(const ImageBuffer& source);
    std::vector<uint8_t> MakeBitmapInfo() const;

    // Shape.
    bool IsEmpty() const { return pixels_.Data() == nullptr; }
    int Width() const { return header_.biWidth; }
    int Height() const { return header_.biHeight; }
    int BitCount() const { return header_.biBitCount; }
    int Stride() const { return stride_; }
    static int64_t StrideFor(int64_t width, int bpp) { return ((width * bpp + 31) / 32) * 4; }
    const BitmapInfoHeader& Header() const { return header_; }
    uint32_t RedMask() const { return masks_[0]; }
    uint32_t GreenMask() const { return masks_[1]; }
    uint32_t BlueMask() const { return masks_[2]; }

    int OriginX() const { return originX_; }
    int OriginY() const { return originY_; }
    void SetOrigin(int x, int y)
    {
        originX_ = x;
        originY_ = y;
    }
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    // The bottom-up block and its size (Height() * Stride()).
    uint8_t* Pixels() { return pixels_.Data(); }
    const uint8_t* Pixels() const { return pixels_.Data(); }
    size_t PixelBytes() const { return size_t(stride_) * size_t(Height()); }

    // Pixel access; no bounds checks except in GetPixelValue.
    uint8_t* Row(int y) { return rows_[y]; }
    const uint8_t* Row(int y) const { return rows_[y]; }
    uint8_t* PixelAddress(int x, int y);
    const uint8_t* PixelAddress(int x, int y) const;
    uint32_t GetPixelValue(int x, int y) const;
    bool GetPalette(int first, int count, RgbQuad* out) const;
    bool SetPalette(int first, int count, const RgbQuad* in);
    bool CopyPaletteFrom(const ImageBuffer& other);
    int PaletteSize() const { return BitCount() <= 8 && !IsEmpty() ? 1 << BitCount() : 0; }
    void SetAlpha(uint8_t value);
    bool Paste(const ImageBuffer& source, int x, int y);
    // The part of rect that lies in the image (empty when none does).
    ImageRect Clip(const ImageRect& rect) const;
    void FillRect(const ImageRect& rect, const uint8_t* pixel);
    bool CopyRegion(ImageBuffer* dest, const ImageRect& rect) const;

    // Conversion and geometry.
    bool ConvertTo(int bpp);
    bool Expand(bool replicate, int left, int top, int right, int bottom);
    bool ResizeNearest(int width, int height);
    bool ResizeBilinear(int width, int height, ProgressSink* progress = nullptr);
    // The pixels within part of what ResizeBilinear(width, height) would make of this 24- or 32-bpp picture
    // (at least 2 x 2), byte for byte, into out; part lies within width x height.
    bool ResizeBilinearPart(int width, int height, const ImageRect& part, ImageBuffer& out) const;
    // The most bytes either resize takes besides the two pictures: its table of source columns.
    static size_t ResizeColumnBytes(int width);

    // One interpolated pixel packed as blue | green << 8 | red << 16 | alpha << 24. For 24 bpp only the
    // first three bytes of each corner are read.
    static uint32_t BilinearSample(double fx, double fy, bool is32, const uint8_t* p00, const uint8_t* p10,
        const uint8_t* p01, const uint8_t* p11);

    // Effects. False when the effect failed part way (out of memory on any thread): the image is then
    // partly processed and the caller puts back its own copy. An effect that cannot apply does nothing
    // and has not failed. Exceptions that are not std::exception (a cancelling progress sink) go on.
    bool ApplyEffect(ImageEffect& effect, ProgressSink* progress = nullptr);

    // File input and output by the extension of a UTF-8 path; the codec layer (editor/codecs) defines them.
    bool Load(const std::string& path);
    bool Save(const std::string& path, int option) const;

private:
    void RunEffect(ImageEffect& effect, ProgressSink* progress);
    bool Allocate(const BitmapInfoHeader& header, const uint32_t* masks, PixelBlock* pixels = nullptr);
    void ConvertRowTo24Or32(const ImageBuffer& source, int y, int bytesPerPixel);
    void ReplicateMargins(const ImageBuffer& content, int left, int top);

    int originX_ = 0;
    int originY_ = 0;
    BitmapInfoHeader header_ { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 };
    int stride_ = 0;
    PixelBlock pixels_;
    std::unique_ptr<uint8_t*[]> rows_;
    uint32_t masks_[3] = { kDefaultRedMask, kDefaultGreenMask, kDefaultBlueMask };
    std::unique_ptr<RgbQuad[]> palette_;
    int tag_ = 0;
};
