#include "imaging/filters/MosaicEffect.h"

#include "imaging/RowPool.h"

#include <algorithm>
#include <cstring>

MosaicEffect::MosaicEffect(int cell)
    : cell_(std::max(cell, 2))
{
}

bool MosaicEffect::CanApply(const ImageBuffer& image) const
{
    return !image.IsEmpty() && image.BitCount() == 32;
}

void MosaicEffect::Begin(ImageBuffer& image)
{
    SetArea(image, { 0, 0, image.Width(), image.Height() });
}

void MosaicEffect::SetArea(ImageBuffer& image, const ImageRect& rect)
{
    width_ = rect.Width();
    height_ = rect.Height();
    rows_.resize(size_t(height_));
    for (int y = 0; y < height_; ++y)
        rows_[size_t(y)] = image.Row(rect.top + y) + size_t(rect.left) * 4;
    bands_.resize(size_t(std::max(RowPool::Shared().Threads(), 1)));
    for (Band& band : bands_) {
        band.columnSums.assign(size_t(width_) * 4, 0);
        band.averages.assign(size_t((int64_t(width_) + cell_ - 1) / cell_), 0);
    }
}

void MosaicEffect::AddWeighted(const uint8_t* pixels, int count, CellSums& sums)
{
    for (int i = 0; i < count; ++i, pixels += 4) {
        const uint32_t a = pixels[3];
        sums.blue += pixels[0] * a;
        sums.green += pixels[1] * a;
        sums.red += pixels[2] * a;
        sums.alpha += a;
    }
    sums.count += uint64_t(count);
}

uint32_t MosaicEffect::Average(const CellSums& sums)
{
    const auto alpha = uint32_t(sums.alpha / sums.count);
    if (sums.alpha == 0)
        return alpha << 24;
    const auto blue = uint32_t(sums.blue / sums.alpha);
    const auto green = uint32_t(sums.green / sums.alpha);
    const auto red = uint32_t(sums.red / sums.alpha);
    return blue | green << 8 | red << 16 | alpha << 24;
}

MosaicEffect::CellSums MosaicEffect::SumCell(int x, int y) const
{
    const int right = int(std::min<int64_t>(int64_t(x) + cell_, width_));
    const int bottom = int(std::min<int64_t>(int64_t(y) + cell_, height_));
    CellSums sums;
    for (int row = y; row < bottom; ++row)
        AddWeighted(rows_[size_t(row)] + size_t(x) * 4, right - x, sums);
    return sums;
}

void MosaicEffect::ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel)
{
    const int n = cell_;
    uint32_t value;
    if (x % n == 0 && y % n == 0)
        value = Average(SumCell(x, y));
    else
        std::memcpy(&value, image.PixelAddress(n * (x / n), n * (y / n)), 4);
    std::memcpy(pixel, &value, 4);
}

void MosaicEffect::AverageBand(int y, Band& band) const
{
    // Plain byte sums per column first: where a cell is fully opaque (alpha sum 255 * count), the
    // alpha-weighted average is the plain average, trunc(255 * sum / (255 * count)). Other cells are
    // summed again with their weights.
    const int width = width_;
    const int bottom = int(std::min<int64_t>(int64_t(y) + cell_, height_));
    const size_t rowBytes = size_t(width) * 4;
    uint32_t* columns = band.columnSums.data();
    std::fill(columns, columns + rowBytes, 0u);
    // 255 * rows must fit a column sum.
    const bool columnsFit = bottom - y <= 16843009;
    if (columnsFit) {
        for (int row = y; row < bottom; ++row) {
            const uint8_t* bytes = rows_[size_t(row)];
            for (size_t i = 0; i < rowBytes; ++i)
                columns[i] += bytes[i];
        }
    }
    size_t cellIndex = 0;
    for (int64_t x = 0; x < width; x += cell_, ++cellIndex) {
        const int64_t right = std::min<int64_t>(x + cell_, width);
        uint64_t sums[4] = { 0, 0, 0, 0 };
        for (int64_t column = x; column < right; ++column)
            for (int c = 0; c < 4; ++c)
                sums[c] += columns[column * 4 + c];
        const uint64_t count = uint64_t(right - x) * uint64_t(bottom - y);
        if (columnsFit && sums[3] == 255 * count) {
            band.averages[cellIndex] = uint32_t(sums[0] / count) | uint32_t(sums[1] / count) << 8
                | uint32_t(sums[2] / count) << 16 | 0xFF000000u;
        } else {
            band.averages[cellIndex] = Average(SumCell(int(x), y));
        }
    }
}

void MosaicEffect::ProcessRow(ImageBuffer& image, int y)
{
    if (image.BitCount() != 32) {
        PixelEffectImpl::ProcessRow(image, y);
        return;
    }
    const int n = cell_;
    const int width = image.Width();
    uint8_t* row = image.Row(y);
    if (y % n != 0) {
        // The band's first row already holds every cell's result.
        std::memcpy(row, image.Row(n * (y / n)), size_t(width) * 4);
        return;
    }
    AverageBand(y, bands_[0]);
    WriteCells(row, width, bands_[0]);
}

void MosaicEffect::ProcessRows(ImageBuffer& image, int first, int end, int worker)
{
    if (image.BitCount() != 32) {
        ImageEffect::ProcessRows(image, first, end, worker);
        return;
    }
    Band& band = bands_[size_t(worker) < bands_.size() ? size_t(worker) : 0];
    for (int64_t y = (int64_t(first) + cell_ - 1) / cell_ * cell_; y < end; y += cell_)
        PixelateBand(int(y), band);
}

void MosaicEffect::WriteCells(uint8_t* row, int64_t width, const Band& band) const
{
    size_t cellIndex = 0;
    for (int64_t x = 0; x < width; x += cell_, ++cellIndex) {
        const int64_t right = std::min<int64_t>(x + cell_, width);
        const uint32_t value = band.averages[cellIndex];
        for (int64_t column = x; column < right; ++column)
            std::memcpy(row + column * 4, &value, 4);
    }
}

void MosaicEffect::PixelateRect(ImageBuffer& image, const ImageRect& rect)
{
    if (!CanApply(image))
        return;
    const ImageRect area = image.Clip(rect);
    if (area.IsEmpty())
        return;
    SetArea(image, area);
    for (int64_t y = 0; y < height_; y += cell_)
        PixelateBand(int(y), bands_[0]);
}

void MosaicEffect::PixelateBand(int y, Band& band) const
{
    AverageBand(y, band);
    uint8_t* first = rows_[size_t(y)];
    WriteCells(first, width_, band);
    const size_t rowBytes = size_t(width_) * 4;
    const int bottom = int(std::min<int64_t>(int64_t(y) + cell_, height_));
    for (int row = y + 1; row < bottom; ++row)
        std::memcpy(rows_[size_t(row)], first, rowBytes);
}
