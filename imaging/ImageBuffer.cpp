#include "imaging/ImageBuffer.h"

#include "imaging/ImageEffect.h"
#include "imaging/ProgressSink.h"
#include "imaging/RowPool.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>
#include <utility>

namespace {

bool IsSupportedDepth(int bpp)
{
    return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

// Below this many pixels waking the other threads costs more than it saves.
constexpr int64_t kParallelPixels = 1 << 16;
constexpr int kBlockRows = ImageBuffer::kEffectBlockRows;

bool RunsInParallel(const ImageEffect& effect, const ImageBuffer& image)
{
    return effect.RowsInAnyOrder() && RowPool::Shared().Threads() > 1
        && int64_t(image.Width()) * image.Height() >= kParallelPixels && image.Height() > kBlockRows;
}

} // namespace

ImageBuffer::ImageBuffer(const ImageBuffer& other)
{
    CopyFrom(other);
}

ImageBuffer::ImageBuffer(ImageBuffer&& other) noexcept
{
    *this = std::move(other);
}

ImageBuffer& ImageBuffer::operator=(const ImageBuffer& other)
{
    if (this == &other)
        return *this;
    if (other.IsEmpty()) {
        Destroy();
        originX_ = other.originX_;
        originY_ = other.originY_;
    } else {
        CopyFrom(other);
    }
    return *this;
}

ImageBuffer& ImageBuffer::operator=(ImageBuffer&& other) noexcept
{
    if (this == &other)
        return *this;
    originX_ = other.originX_;
    originY_ = other.originY_;
    header_ = std::exchange(other.header_, BitmapInfoHeader { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 });
    stride_ = std::exchange(other.stride_, 0);
    pixels_ = std::move(other.pixels_);
    rows_ = std::move(other.rows_);
    std::copy(std::begin(other.masks_), std::end(other.masks_), masks_);
    std::fill(std::begin(other.masks_), std::end(other.masks_), 0u);
    palette_ = std::move(other.palette_);
    tag_ = std::exchange(other.tag_, 0);
    return *this;
}

ImageBuffer::~ImageBuffer() = default;

bool ImageBuffer::CreateFromInfo(std::span<const uint8_t> info)
{
    if (info.size() < sizeof(BitmapInfoHeader))
        return false;
    BitmapInfoHeader header;
    std::memcpy(&header, info.data(), sizeof header);
    uint32_t masks[3];
    const bool hasMasks = header.biCompression == kBiBitfields && info.size() >= sizeof header + sizeof masks;
    if (header.biCompression == kBiBitfields && !hasMasks)
        return false;
    if (hasMasks)
        std::memcpy(masks, info.data() + sizeof header, sizeof masks);
    return CreateFromInfo(header, hasMasks ? masks : nullptr);
}

bool ImageBuffer::CreateFromInfo(const BitmapInfoHeader& info, const uint32_t* masks)
{
    PixelBlock none;
    return CreateFromInfo(info, masks, std::move(none));
}

bool ImageBuffer::CreateFromInfo(const BitmapInfoHeader& info, const uint32_t* masks, PixelBlock&& pixels)
{
    if (info.biWidth <= 0 || info.biHeight <= 0)
        return false;
    if (info.biCompression != kBiRgb && info.biCompression != kBiBitfields)
        return false;
    if (!IsSupportedDepth(info.biBitCount))
        return false;
    if (info.biCompression == kBiBitfields && info.biBitCount == 16 && !masks)
        return false;

    Destroy();
    BitmapInfoHeader header {};
    header.biSize = sizeof(BitmapInfoHeader);
    header.biWidth = info.biWidth;
    header.biHeight = info.biHeight;
    header.biPlanes = 1;
    header.biBitCount = info.biBitCount;
    header.biCompression = info.biBitCount == 16 ? info.biCompression : kBiRgb;
    header.biXPelsPerMeter = info.biXPelsPerMeter;
    header.biYPelsPerMeter = info.biYPelsPerMeter;
    return Allocate(header, header.biCompression == kBiBitfields ? masks : nullptr, pixels.Data() ? &pixels : nullptr);
}

bool ImageBuffer::Allocate(const BitmapInfoHeader& header, const uint32_t* masks, PixelBlock* pixels)
{
    const int64_t stride = StrideFor(header.biWidth, header.biBitCount);
    const int64_t bytes = stride * header.biHeight;
    // From 2^31 bytes on, the stride or a row offset would no longer fit an int.
    if (bytes <= 0 || bytes >= kMaxPixelBytes)
        return false;

    PixelBlock block;
    if (pixels ? pixels->Size() != size_t(bytes) : !block.Allocate(size_t(bytes)))
        return false;
    if (pixels)
        block = std::move(*pixels);
    std::unique_ptr<uint8_t*[]> rows(new (std::nothrow) uint8_t*[size_t(header.biHeight)]);
    if (!rows)
        return false;
    std::unique_ptr<RgbQuad[]> palette;
    if (header.biBitCount <= 8) {
        const int entries = 1 << header.biBitCount;
        palette.reset(new (std::nothrow) RgbQuad[size_t(entries)]);
        if (!palette)
            return false;
        const int step = 255 / (entries - 1);
        for (int i = 0; i < entries; ++i) {
            const auto v = uint8_t(i * step);
            palette[i] = RgbQuad { v, v, v, 0 };
        }
    }

    // Row 0 is the top row, held last in the bottom-up block.
    uint8_t* row = block.Data() + (header.biHeight - 1) * stride;
    for (int y = 0; y < header.biHeight; ++y, row -= stride)
        rows[y] = row;

    header_ = header;
    stride_ = int(stride);
    pixels_ = std::move(block);
    rows_ = std::move(rows);
    palette_ = std::move(palette);
    if (masks)
        std::copy(masks, masks + 3, masks_);
    else
        masks_[0] = kDefaultRedMask, masks_[1] = kDefaultGreenMask, masks_[2] = kDefaultBlueMask;
    tag_ = 0;
    return true;
}

bool ImageBuffer::Create(int width, int height, int bpp)
{
    BitmapInfoHeader header {};
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = uint16_t(std::clamp(bpp, 0, 0xFFFF));
    header.biCompression = kBiRgb;
    if (bpp != header.biBitCount)
        return false;
    return CreateFromInfo(header);
}

void ImageBuffer::Destroy()
{
    pixels_.Release();
    rows_.reset();
    palette_.reset();
    header_ = BitmapInfoHeader { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 };
    stride_ = 0;
    std::fill(std::begin(masks_), std::end(masks_), 0u);
    tag_ = 0;
}

bool ImageBuffer::CopyFrom(const ImageBuffer& source)
{
    if (source.IsEmpty() || &source == this)
        return false;
    const uint32_t* masks = source.header_.biCompression == kBiBitfields ? source.masks_ : nullptr;
    if (!CreateFromInfo(source.header_, masks))
        return false;
    std::memcpy(pixels_.Data(), source.pixels_.Data(), PixelBytes());
    if (palette_)
        std::copy(source.palette_.get(), source.palette_.get() + PaletteSize(), palette_.get());
    originX_ = source.originX_;
    originY_ = source.originY_;
    tag_ = source.tag_;
    return true;
}

std::vector<uint8_t> ImageBuffer::MakeBitmapInfo() const
{
    // Room for a header, one palette entry and three masks, as the drawing and clipboard calls expect.
    const size_t paletteBytes = BitCount() <= 8 && BitCount() > 0 ? size_t(4) << BitCount() : 0;
    std::vector<uint8_t> info(56 + paletteBytes, 0);
    std::memcpy(info.data(), &header_, sizeof header_);
    if (BitCount() > 8)
        std::memcpy(info.data() + sizeof header_, masks_, sizeof masks_);
    else if (palette_)
        std::memcpy(info.data() + sizeof header_, palette_.get(), paletteBytes);
    return info;
}

uint8_t* ImageBuffer::PixelAddress(int x, int y)
{
    return const_cast<uint8_t*>(std::as_const(*this).PixelAddress(x, y));
}

const uint8_t* ImageBuffer::PixelAddress(int x, int y) const
{
    switch (BitCount()) {
    case 32:
        return rows_[y] + x * 4;
    case 8:
        return rows_[y] + x;
    default:
        return rows_[y] + x * BitCount() / 8;
    }
}

uint32_t ImageBuffer::GetPixelValue(int x, int y) const
{
    if (IsEmpty() || x < 0 || y < 0 || x >= Width() || y >= Height())
        return 0;
    const uint8_t* p = PixelAddress(x, y);
    switch (BitCount()) {
    case 1:
        return (*p >> (7 - x % 8)) & 1;
    case 4:
        return x % 2 == 0 ? *p >> 4 : *p & 0x0F;
    case 8:
        return *p;
    case 16:
        return uint32_t(p[0] | p[1] << 8);
    case 24:
        return uint32_t(p[2] << 16 | p[1] << 8 | p[0]);
    default:
        return uint32_t(p[0] | p[1] << 8 | p[2] << 16) | uint32_t(p[3]) << 24;
    }
}

bool ImageBuffer::GetPalette(int first, int count, RgbQuad* out) const
{
    if (!palette_ || first < 0 || !out)
        return false;
    const int end = std::min<int64_t>(int64_t(first) + std::max(count, 0), PaletteSize());
    for (int i = first; i < end; ++i)
        out[i - first] = palette_[i];
    return true;
}

bool ImageBuffer::SetPalette(int first, int count, const RgbQuad* in)
{
    if (!palette_ || first < 0 || !in)
        return false;
    const int end = std::min<int64_t>(int64_t(first) + std::max(count, 0), PaletteSize());
    for (int i = first; i < end; ++i)
        palette_[i] = in[i - first];
    return true;
}

bool ImageBuffer::CopyPaletteFrom(const ImageBuffer& other)
{
    if (!palette_ || !other.palette_ || other.BitCount() != BitCount() || &other == this)
        return false;
    std::copy(other.palette_.get(), other.palette_.get() + PaletteSize(), palette_.get());
    return true;
}

void ImageBuffer::SetAlpha(uint8_t value)
{
    if (IsEmpty() || BitCount() != 32)
        return;
    const int width = Width();
    for (int y = 0; y < Height(); ++y) {
        uint8_t* p = rows_[y] + 3;
        for (int x = 0; x < width; ++x, p += 4)
            *p = value;
    }
}

bool ImageBuffer::Paste(const ImageBuffer& source, int x, int y)
{
    if (IsEmpty() || source.IsEmpty() || source.BitCount() != BitCount() || BitCount() < 8)
        return false;
    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = int(std::min<int64_t>(int64_t(x) + source.Width(), Width()));
    const int bottom = int(std::min<int64_t>(int64_t(y) + source.Height(), Height()));
    if (right <= left || bottom <= top)
        return false;
    const int bytesPerPixel = BitCount() / 8;
    const size_t rowBytes = size_t(right - left) * bytesPerPixel;
    for (int dy = top; dy < bottom; ++dy) {
        const uint8_t* from = source.rows_[dy - y] + size_t(left - x) * bytesPerPixel;
        std::memcpy(rows_[dy] + size_t(left) * bytesPerPixel, from, rowBytes);
    }
    return true;
}

ImageRect ImageBuffer::Clip(const ImageRect& rect) const
{
    return { std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, Width()),
        std::min(rect.bottom, Height()) };
}

void ImageBuffer::FillRect(const ImageRect& rect, const uint8_t* pixel)
{
    if (IsEmpty() || BitCount() < 8 || !pixel)
        return;
    const ImageRect area = Clip(rect);
    if (area.IsEmpty())
        return;
    const int bytesPerPixel = BitCount() / 8;
    for (int y = area.top; y < area.bottom; ++y) {
        uint8_t* p = rows_[y] + size_t(area.left) * bytesPerPixel;
        for (int x = area.left; x < area.right; ++x, p += bytesPerPixel)
            std::memcpy(p, pixel, size_t(bytesPerPixel));
    }
}

bool ImageBuffer::CopyRegion(ImageBuffer* dest, const ImageRect& rect) const
{
    if (IsEmpty() || !dest || dest == this || BitCount() < 8)
        return false;
    const ImageRect clipped = Clip(rect);
    if (clipped.IsEmpty())
        return false;
    BitmapInfoHeader header = header_;
    header.biWidth = clipped.Width();
    header.biHeight = clipped.Height();
    if (!dest->CreateFromInfo(header, header_.biCompression == kBiBitfields ? masks_ : nullptr))
        return false;
    const int bytesPerPixel = BitCount() / 8;
    const size_t rowBytes = size_t(clipped.Width()) * bytesPerPixel;
    for (int y = clipped.top; y < clipped.bottom; ++y)
        std::memcpy(dest->rows_[y - clipped.top], rows_[y] + size_t(clipped.left) * bytesPerPixel, rowBytes);
    if (palette_)
        dest->CopyPaletteFrom(*this);
    dest->SetOrigin(clipped.left, clipped.top);
    return true;
}

bool ImageBuffer::ApplyEffect(ImageEffect& effect, ProgressSink* progress)
{
    if (!effect.CanApply(*this))
        return true;
    try {
        RunEffect(effect, progress);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

void ImageBuffer::RunEffect(ImageEffect& effect, ProgressSink* progress)
{
    effect.Begin(*this);
    if (progress)
        progress->Reset();
    if (effect.Mode() == 0) {
        effect.ProcessImage(*this, progress);
    } else if (effect.Mode() == 1 && !IsEmpty() && RunsInParallel(effect, *this)) {
        const int height = Height();
        effect.BeginBlocks(*this, kBlockRows);
        RowPool::Shared().Run(
            height, kBlockRows, [&](int first, int end, int worker) { effect.ProcessRows(*this, first, end, worker); },
            [&](int rowsDone) {
                if (progress)
                    progress->SetPosition(int(100 * int64_t(rowsDone) / height));
            });
        if (progress)
            progress->SetPosition(100);
    } else if (effect.Mode() == 1 && !IsEmpty() && effect.RowsInAnyOrder()) {
        // Blocks as the pool would hand them out, in the order of memory (rows are stored bottom-up), which
        // the prefetcher follows.
        const int height = Height();
        const int blocks = (height + kBlockRows - 1) / kBlockRows;
        const bool bottomUp = Row(height - 1) < Row(0);
        effect.BeginBlocks(*this, kBlockRows);
        for (int i = 0; i < blocks; ++i) {
            const int block = bottomUp ? blocks - 1 - i : i;
            effect.ProcessRows(*this, block * kBlockRows, std::min(height, (block + 1) * kBlockRows), 0);
            if (progress)
                progress->SetPosition(int(100 * int64_t(i + 1) / blocks));
        }
    } else if (effect.Mode() == 1 && !IsEmpty()) {
        const int height = Height();
        for (int y = 0; y < height; ++y) {
            effect.ProcessRow(*this, y);
            if (progress)
                progress->SetPosition(int(100 * int64_t(y + 1) / height));
        }
    }
    effect.End(*this);
}
