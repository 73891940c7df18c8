#include "imaging/geometry/QuarterTurnEffect.h"

#include <algorithm>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// A band is copied whole by whichever thread reaches its first row, so no band may reach into a block
// another thread holds.
static_assert(ImageBuffer::kEffectBlockRows % QuarterTurnEffect::kBandRows == 0);

namespace {

#if defined(__SSE2__)
// Four source pixels that follow one another along `step` (+4 or -4 bytes), in that order.
inline __m128i LoadRun(const uint8_t* p, ptrdiff_t step)
{
    if (step > 0)
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p - 12)), 0x1B);
}

// Destination tile at (x, i) of the band: column j of the tile is the run at first + j * alongRow.
inline void TurnTile(const uint8_t* first, ptrdiff_t alongRow, ptrdiff_t downBand, uint8_t* const* rows, size_t offset)
{
    const __m128i v0 = LoadRun(first, downBand);
    const __m128i v1 = LoadRun(first + alongRow, downBand);
    const __m128i v2 = LoadRun(first + 2 * alongRow, downBand);
    const __m128i v3 = LoadRun(first + 3 * alongRow, downBand);
    const __m128i t0 = _mm_unpacklo_epi32(v0, v1);
    const __m128i t1 = _mm_unpacklo_epi32(v2, v3);
    const __m128i t2 = _mm_unpackhi_epi32(v0, v1);
    const __m128i t3 = _mm_unpackhi_epi32(v2, v3);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rows[0] + offset), _mm_unpacklo_epi64(t0, t1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rows[1] + offset), _mm_unpackhi_epi64(t0, t1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rows[2] + offset), _mm_unpacklo_epi64(t2, t3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rows[3] + offset), _mm_unpackhi_epi64(t2, t3));
}
#endif

} // namespace

bool QuarterTurnEffect::CanApply(const ImageBuffer& image) const
{
    return !image.IsEmpty() && image.BitCount() >= 8;
}

void QuarterTurnEffect::Begin(ImageBuffer& image)
{
    bandDone_.clear();
    AdoptSourceSnapshot(std::move(image));
    const ImageBuffer& source = *SourceSnapshot();
    sourceWidth_ = source.Width();
    sourceHeight_ = source.Height();
    bytesPerPixel_ = source.BitCount() / 8;

    BitmapInfoHeader header = source.Header();
    std::swap(header.biWidth, header.biHeight);
    header.biXPelsPerMeter = 0;
    header.biYPelsPerMeter = 0;
    // Bit-field masks travel with a 16-bit image; without them its colours would be read differently.
    const uint32_t masks[3] = { source.RedMask(), source.GreenMask(), source.BlueMask() };
    if (!image.CreateFromInfo(header, masks)) {
        image.Destroy();
        return;
    }
    if (source.BitCount() <= 8)
        image.CopyPaletteFrom(source);
    bandDone_.assign(size_t((image.Height() + kBandRows - 1) / kBandRows), 0);
}

void QuarterTurnEffect::CopyFromSource(int x, int y, uint8_t* pixel) const
{
    const ImageBuffer* source = SourceSnapshot();
    if (!source)
        return;
    int sx, sy;
    SourceOf(x, y, sx, sy);
    std::memcpy(pixel, source->PixelAddress(sx, sy), size_t(bytesPerPixel_));
}

void QuarterTurnEffect::ProcessRow(ImageBuffer& image, int y)
{
    const size_t band = size_t(y / kBandRows);
    if (!SourceSnapshot() || band >= bandDone_.size() || bandDone_[band])
        return;
    bandDone_[band] = 1;
    const int firstRow = int(band) * kBandRows;
    const int endRow = std::min(firstRow + kBandRows, image.Height());
    switch (bytesPerPixel_) {
    case 4:
        CopyBand<4>(image, firstRow, endRow);
        break;
    case 3:
        CopyBand<3>(image, firstRow, endRow);
        break;
    case 2:
        CopyBand<2>(image, firstRow, endRow);
        break;
    default:
        CopyBand<1>(image, firstRow, endRow);
        break;
    }
}

// Along a destination row the source moves one row; down the band it moves one column.
template <int Bytes> void QuarterTurnEffect::CopyBand(ImageBuffer& image, int firstRow, int endRow) const
{
    const ImageBuffer& source = *SourceSnapshot();
    const int width = image.Width();
    int sx, sy, nextX, nextY, belowX, belowY;
    SourceOf(0, firstRow, sx, sy);
    SourceOf(width > 1 ? 1 : 0, firstRow, nextX, nextY);
    SourceOf(0, endRow - firstRow > 1 ? firstRow + 1 : firstRow, belowX, belowY);
    const uint8_t* first = source.PixelAddress(sx, sy);
    const ptrdiff_t alongRow = width > 1 ? source.PixelAddress(nextX, nextY) - first : 0;
    const ptrdiff_t downBand = endRow - firstRow > 1 ? source.PixelAddress(belowX, belowY) - first : 0;

    uint8_t* rows[kBandRows];
    const int bandRows = endRow - firstRow;
    for (int i = 0; i < bandRows; ++i)
        rows[i] = image.Row(firstRow + i);
    int tiledWidth = 0, tiledRows = 0;
#if defined(__SSE2__)
    if (Bytes == 4 && (downBand == 4 || downBand == -4)) {
        tiledWidth = width & ~3;
        tiledRows = bandRows & ~3;
        for (int x = 0; x < tiledWidth; x += 4)
            for (int i = 0; i < tiledRows; i += 4)
                TurnTile(first + x * alongRow + i * downBand, alongRow, downBand, rows + i, size_t(x) * 4);
    }
#endif
    // What the tiles left: the last rows of the band under them, then the last columns.
    for (int x = 0; x < width; ++x) {
        const uint8_t* in = first + x * alongRow;
        for (int i = x < tiledWidth ? tiledRows : 0; i < bandRows; ++i)
            std::memcpy(rows[i] + size_t(x) * Bytes, in + i * downBand, Bytes);
    }
}
