// Depth conversion, canvas growth and the two resizes.
#include "imaging/ImageBuffer.h"

#include "imaging/ProgressSink.h"
#include "imaging/RowPool.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Expands one masked channel of a 16-bit word to 8 bits, keeping its top bits and leaving the low bits 0.
// For 5-5-5 and 5-6-5 this is exactly (v >> 7) & 0xF8 and its siblings.
struct ChannelExpander {
    explicit ChannelExpander(uint32_t mask)
        : mask(mask)
    {
        if (mask == 0)
            return;
        const int low = std::countr_zero(mask);
        const int bits = 32 - std::countl_zero(mask) - low;
        shift = low + bits - 8; // positive: drop low bits; negative: move up
    }
    uint8_t operator()(uint32_t v) const
    {
        const uint32_t m = v & mask;
        return uint8_t(shift >= 0 ? m >> shift : m << -shift);
    }
    uint32_t mask;
    int shift = 0;
};

// An empty image of the given size with model's depth; a 16-bit one keeps its bit-field masks, without
// which 5-6-5 colours would be read as 5-5-5.
bool CreateShaped(ImageBuffer& image, const ImageBuffer& model, int width, int height)
{
    BitmapInfoHeader header {};
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = model.Header().biBitCount;
    header.biCompression = model.Header().biCompression;
    const uint32_t masks[3] = { model.RedMask(), model.GreenMask(), model.BlueMask() };
    return image.CreateFromInfo(header, header.biCompression == kBiBitfields ? masks : nullptr);
}

// The bilinear resize's source column for one destination column.
struct BilinearColumn {
    size_t offset; // of the left source pixel in its row
    bool whole; // no horizontal fraction
    double fx;
};

// Sizes a column table; false when the memory cannot be had.
template <class T> bool TryResize(std::vector<T>& table, int width)
{
    try {
        table.resize(size_t(width));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

// Rows large enough to be worth sharing between threads.
constexpr int64_t kParallelPixels = 1 << 16;
constexpr int kBlockRows = 32;

// Every step-th pixel of `in`, for a row and columns that all land on whole source pixels.
template <int Bytes> void CopyEveryNth(const uint8_t* in, uint8_t* out, int step, int width)
{
    int i = 0;
#if defined(__SSE2__)
    if (Bytes == 4 && step == 2) {
        // shufps moves the bits untouched.
        for (; i + 4 <= width; i += 4, in += 32, out += 16) {
            const __m128 a = _mm_loadu_ps(reinterpret_cast<const float*>(in));
            const __m128 b = _mm_loadu_ps(reinterpret_cast<const float*>(in + 16));
            _mm_storeu_ps(reinterpret_cast<float*>(out), _mm_shuffle_ps(a, b, _MM_SHUFFLE(2, 0, 2, 0)));
        }
    }
#endif
    const size_t stride = size_t(step) * Bytes;
    for (; i < width; ++i, in += stride, out += Bytes)
        std::memcpy(out, in, Bytes);
}

// The source column of each destination column from left on, for a resize from oldW to width columns.
void FillColumns(std::vector<BilinearColumn>& columns, int64_t left, int64_t oldW, int64_t width, int bytesPerPixel)
{
    for (size_t n = 0; n < columns.size(); ++n) {
        const int64_t i = left + int64_t(n);
        int64_t sx = i * oldW / width;
        int64_t rx = i * oldW % width;
        if (sx >= oldW - 1) {
            sx = oldW - 2;
            rx = width - 1;
        }
        columns[n] = { size_t(sx) * bytesPerPixel, rx == 0, double(rx) / double(width) };
    }
}

// Destination rows [first, end) of a bilinear resize from `source` to `height` rows, each written to row
// j - top of `out`, whose columns are those of `columns`. Where both fractions are 0 the source pixel is
// copied; elsewhere BilinearSample gives the pixel. `wholeStep` is the source pixels per destination column
// when every column lands on a whole pixel, else 0.
template <int Bytes>
void BilinearRows(const ImageBuffer& source, ImageBuffer& out, const BilinearColumn* columns, int wholeStep,
    int64_t height, int top, int first, int end)
{
    const int64_t oldH = source.Height();
    const int width = out.Width();
    // Bottom row first: rows are stored bottom-up, and the prefetcher follows rising addresses.
    for (int j = end - 1; j >= first; --j) {
        int64_t sy = j * oldH / height;
        int64_t ry = j * oldH % height;
        if (sy >= oldH - 1) {
            sy = oldH - 2;
            ry = height - 1;
        }
        const uint8_t* upper = source.Row(int(sy));
        const uint8_t* lower = source.Row(int(sy + 1));
        const double fy = double(ry) / double(height);
        uint8_t* pixel = out.Row(j - top);
        if (ry == 0 && wholeStep > 0) {
            CopyEveryNth<Bytes>(upper + columns[0].offset, pixel, wholeStep, width);
            continue;
        }
        for (int i = 0; i < width; ++i, pixel += Bytes) {
            const BilinearColumn& c = columns[size_t(i)];
            const uint8_t* p00 = upper + c.offset;
            if (c.whole && ry == 0) {
                std::memcpy(pixel, p00, Bytes);
                continue;
            }
            const uint32_t v = ImageBuffer::BilinearSample(
                c.fx, fy, Bytes == 4, p00, p00 + Bytes, lower + c.offset, lower + c.offset + Bytes);
            std::memcpy(pixel, &v, Bytes);
        }
    }
}

// Only a whole-number shrink puts every column on a whole pixel (column 1 needs oldW % width == 0); at the
// same width the last column is clamped onto a fraction.
int WholeStep(int64_t oldW, int64_t width)
{
    return oldW > width && oldW % width == 0 ? int(oldW / width) : 0;
}

} // namespace

bool ImageBuffer::ConvertTo(int bpp)
{
    if (IsEmpty() || (bpp != 24 && bpp != 32) || bpp == BitCount())
        return false;
    ImageBuffer snapshot(std::move(*this));
    originX_ = snapshot.originX_;
    originY_ = snapshot.originY_;
    if (!Create(snapshot.Width(), snapshot.Height(), bpp))
        return false;
    const int bytesPerPixel = bpp / 8;
    for (int y = 0; y < Height(); ++y)
        ConvertRowTo24Or32(snapshot, y, bytesPerPixel);
    return true;
}

void ImageBuffer::ConvertRowTo24Or32(const ImageBuffer& source, int y, int bytesPerPixel)
{
    const int width = Width();
    constexpr uint8_t alpha = 255;
    uint8_t* out = rows_[y];
    const uint8_t* in = source.rows_[y];
    switch (source.BitCount()) {
    case 24: {
        // Whole-word loads let the compiler vectorise; the last pixel is read bytewise so the top row, which
        // ends the block, is never read past its end.
        uint32_t* words = reinterpret_cast<uint32_t*>(out);
        int x = 0;
        for (; x < width - 1; ++x, in += 3) {
            uint32_t v;
            std::memcpy(&v, in, 4);
            words[x] = v | 0xFF000000u;
        }
        words[x] = uint32_t(in[0] | in[1] << 8 | in[2] << 16) | 0xFF000000u;
        return;
    }
    case 32: {
        int x = 0;
        for (; x < width - 1; ++x, in += 4, out += 3)
            std::memcpy(out, in, 4); // the fourth byte is overwritten by the next pixel
        std::memcpy(out, in, 3);
        return;
    }
    case 16: {
        const ChannelExpander red(source.masks_[0]), green(source.masks_[1]), blue(source.masks_[2]);
        for (int x = 0; x < width; ++x, in += 2, out += bytesPerPixel) {
            const uint32_t v = uint32_t(in[0] | in[1] << 8);
            out[0] = blue(v);
            out[1] = green(v);
            out[2] = red(v);
            if (bytesPerPixel == 4)
                out[3] = alpha;
        }
        return;
    }
    default: // 1, 4 and 8 bpp go through the palette
        for (int x = 0; x < width; ++x, out += bytesPerPixel) {
            const RgbQuad& entry = source.palette_[source.GetPixelValue(x, y)];
            out[0] = entry.blue;
            out[1] = entry.green;
            out[2] = entry.red;
            if (bytesPerPixel == 4)
                out[3] = alpha;
        }
        return;
    }
}

bool ImageBuffer::Expand(bool replicate, int left, int top, int right, int bottom)
{
    if (IsEmpty() || BitCount() < 8 || left < 0 || top < 0 || right < 0 || bottom < 0)
        return false;
    if (left == 0 && top == 0 && right == 0 && bottom == 0)
        return false;
    const int64_t newWidth = int64_t(Width()) + left + right;
    const int64_t newHeight = int64_t(Height()) + top + bottom;
    ImageBuffer snapshot(std::move(*this));
    originX_ = snapshot.originX_ - left;
    originY_ = snapshot.originY_ - top;
    if (newWidth > INT32_MAX || newHeight > INT32_MAX || !CreateShaped(*this, snapshot, int(newWidth), int(newHeight)))
        return false;
    Paste(snapshot, left, top);
    if (replicate)
        ReplicateMargins(snapshot, left, top);
    return true;
}

void ImageBuffer::ReplicateMargins(const ImageBuffer& content, int left, int top)
{
    const int w = content.Width();
    const int h = content.Height();
    const int bytesPerPixel = BitCount() / 8;
    const int fullWidth = Width();
    const int fullHeight = Height();

    FillRect({ 0, 0, left, top }, content.PixelAddress(0, 0));
    FillRect({ left + w, 0, fullWidth, top }, content.PixelAddress(w - 1, 0));
    FillRect({ 0, top + h, left, fullHeight }, content.PixelAddress(0, h - 1));
    FillRect({ left + w, top + h, fullWidth, fullHeight }, content.PixelAddress(w - 1, h - 1));

    const size_t contentBytes = size_t(w) * bytesPerPixel;
    const size_t offset = size_t(left) * bytesPerPixel;
    for (int y = 0; y < top; ++y)
        std::memcpy(rows_[y] + offset, content.rows_[0], contentBytes);
    for (int y = top + h; y < fullHeight; ++y)
        std::memcpy(rows_[y] + offset, content.rows_[h - 1], contentBytes);

    for (int y = top; y < top + h; ++y) {
        uint8_t* row = rows_[y];
        const uint8_t* first = row + offset;
        const uint8_t* last = row + offset + contentBytes - bytesPerPixel;
        for (int x = 0; x < left; ++x)
            std::memcpy(row + size_t(x) * bytesPerPixel, first, size_t(bytesPerPixel));
        for (int x = left + w; x < fullWidth; ++x)
            std::memcpy(row + size_t(x) * bytesPerPixel, last, size_t(bytesPerPixel));
    }
}

bool ImageBuffer::ResizeNearest(int width, int height)
{
    if (IsEmpty() || width <= 0 || height <= 0 || BitCount() < 8)
        return false;
    if (width == Width() && height == Height())
        return false;
    ImageBuffer snapshot(std::move(*this));
    originX_ = snapshot.originX_;
    originY_ = snapshot.originY_;
    if (!CreateShaped(*this, snapshot, width, height))
        return false;
    if (palette_)
        CopyPaletteFrom(snapshot);

    const int bytesPerPixel = BitCount() / 8;
    const int64_t oldW = snapshot.Width();
    const int64_t oldH = snapshot.Height();
    std::vector<size_t> columnOffset;
    if (!TryResize(columnOffset, width)) {
        Destroy(); // as when the picture itself cannot be had
        return false;
    }
    for (int x = 0; x < width; ++x)
        columnOffset[size_t(x)] = size_t(x * oldW / width) * bytesPerPixel;

    for (int y = 0; y < height; ++y) {
        const uint8_t* in = snapshot.rows_[y * oldH / height];
        uint8_t* out = rows_[y];
        switch (bytesPerPixel) {
        case 4:
            for (int x = 0; x < width; ++x, out += 4)
                std::memcpy(out, in + columnOffset[size_t(x)], 4);
            break;
        case 3:
            for (int x = 0; x < width; ++x, out += 3)
                std::memcpy(out, in + columnOffset[size_t(x)], 3);
            break;
        default:
            for (int x = 0; x < width; ++x, out += bytesPerPixel)
                std::memcpy(out, in + columnOffset[size_t(x)], size_t(bytesPerPixel));
            break;
        }
    }
    return true;
}

uint32_t ImageBuffer::BilinearSample(
    double fx, double fy, bool is32, const uint8_t* p00, const uint8_t* p10, const uint8_t* p01, const uint8_t* p11)
{
    const int n = is32 ? 4 : 3;
    auto pack = [](const uint8_t* p, int bytes) {
        uint32_t v = 0;
        std::memcpy(&v, p, size_t(bytes));
        return v;
    };
    const uint32_t v00 = pack(p00, n);
    if (v00 == pack(p10, n) && v00 == pack(p01, n) && v00 == pack(p11, n))
        return v00;
    constexpr double kEpsilon = 1.1920929e-7;
    if (fx < kEpsilon && fy < kEpsilon)
        return v00;

    auto lerp2 = [fx, fy](double c00, double c10, double c01, double c11) {
        const double top = c00 + (c10 - c00) * fx;
        const double bottom = c01 + (c11 - c01) * fx;
        return top + (bottom - top) * fy;
    };

    if (is32 && !(p00[3] == 255 && p10[3] == 255 && p01[3] == 255 && p11[3] == 255)) {
        const int alpha = int(lerp2(p00[3], p10[3], p01[3], p11[3]));
        if (alpha == 0)
            return 0x00FFFFFFu;
        uint32_t result = uint32_t(alpha) << 24;
        for (int c = 0; c < 3; ++c) {
            const int weighted = int(lerp2(p00[c] * p00[3], p10[c] * p10[3], p01[c] * p01[3], p11[c] * p11[3]));
            // Truncating the weighted sum and the alpha separately can overshoot 255 by a little.
            const int value = std::min(weighted / alpha, 255);
            result |= uint32_t(value) << (8 * c);
        }
        return result;
    }

    uint32_t result = 0xFF000000u;
    for (int c = 0; c < 3; ++c)
        result |= uint32_t(int(lerp2(p00[c], p10[c], p01[c], p11[c]))) << (8 * c);
    return result;
}

size_t ImageBuffer::ResizeColumnBytes(int width)
{
    return size_t(std::max(width, 0)) * std::max(sizeof(BilinearColumn), sizeof(size_t));
}

bool ImageBuffer::ResizeBilinear(int width, int height, ProgressSink* progress)
{
    if (IsEmpty() || width < 1 || height < 1 || BitCount() < 24)
        return false;
    if (width == Width() && height == Height())
        return false;
    if (Width() == 1 || Height() == 1) {
        if (!Expand(true, 0, 0, Width() == 1 ? 1 : 0, Height() == 1 ? 1 : 0))
            return false;
    }
    ImageBuffer snapshot(std::move(*this));
    originX_ = snapshot.originX_;
    originY_ = snapshot.originY_;
    if (!Create(width, height, snapshot.BitCount()))
        return false;

    const int bytesPerPixel = BitCount() / 8;
    std::vector<BilinearColumn> columns;
    if (!TryResize(columns, width)) {
        Destroy();
        return false;
    }
    FillColumns(columns, 0, snapshot.Width(), width, bytesPerPixel);
    const int wholeStep = WholeStep(snapshot.Width(), width);

    if (progress)
        progress->Reset();
    auto rows = [&](int first, int end, int) {
        if (bytesPerPixel == 4)
            BilinearRows<4>(snapshot, *this, columns.data(), wholeStep, height, 0, first, end);
        else
            BilinearRows<3>(snapshot, *this, columns.data(), wholeStep, height, 0, first, end);
    };
    if (int64_t(width) * height >= kParallelPixels && RowPool::Shared().Threads() > 1) {
        RowPool::Shared().Run(height, kBlockRows, rows, [&](int rowsDone) {
            if (progress)
                progress->SetPosition(int(100 * int64_t(rowsDone - 1) / height));
        });
        return true;
    }
    for (int j = height - 1; j >= 0; --j) {
        rows(j, j + 1, 0);
        if (progress)
            progress->SetPosition(int(100 * int64_t(height - 1 - j) / height));
    }
    return true;
}

bool ImageBuffer::ResizeBilinearPart(int width, int height, const ImageRect& part, ImageBuffer& out) const
{
    if (Width() < 2 || Height() < 2 || BitCount() < 24 || part.IsEmpty() || part.left < 0 || part.top < 0
        || part.right > width || part.bottom > height)
        return false;
    if (!out.Create(part.Width(), part.Height(), BitCount()))
        return false;
    const int bytesPerPixel = BitCount() / 8;
    std::vector<BilinearColumn> columns;
    if (!TryResize(columns, part.Width())) {
        out.Destroy();
        return false;
    }
    FillColumns(columns, part.left, Width(), width, bytesPerPixel);
    const int wholeStep = WholeStep(Width(), width);
    if (bytesPerPixel == 4)
        BilinearRows<4>(*this, out, columns.data(), wholeStep, height, part.top, part.top, part.bottom);
    else
        BilinearRows<3>(*this, out, columns.data(), wholeStep, height, part.top, part.top, part.bottom);
    return true;
}
