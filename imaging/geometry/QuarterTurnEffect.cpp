#include "QuarterTurnEffect.h"

#include <algorithm>
#include <utility>

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
    bandDone_.assign(size_t((image.Height() + kBandRows - 1) / kBandRows), false);
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
    bandDone_[band] = true;
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
    for (int x = 0; x < width; ++x, first += alongRow) {
        const uint8_t* in = first;
        for (int i = 0; i < bandRows; ++i, in += downBand)
            std::memcpy(rows[i] + size_t(x) * Bytes, in, Bytes);
    }
}
