#pragma once

#include "imaging/BitmapTypes.h"
#include "imaging/PixelEffect.h"

#include <cstdint>
#include <vector>

// Square cells filled with the alpha-weighted average of their pixels; 32 bpp only. Writes alpha too.
//
// A cell's origin (its top-left pixel) is the first of its pixels the scan reaches, so when the origin is
// processed the whole cell is still unchanged and the average reads the image itself; every other pixel
// copies its cell's origin, which the scan has already processed.
class MosaicEffect final : public PixelEffectImpl<MosaicEffect> {
public:
    // cell is at least 2.
    explicit MosaicEffect(int cell);

    int Cell() const { return cell_; }

    bool CanApply(const ImageBuffer& image) const override;
    void Begin(ImageBuffer& image) override;
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;
    void ProcessRow(ImageBuffer& image, int y) override;
    // A block does the bands whose first row lies in it, all their rows: each band belongs to one block.
    bool RowsInAnyOrder() const override { return true; }
    void ProcessRows(ImageBuffer& image, int first, int end, int worker) override;

    // The same cells over the part of a 32-bpp image inside rect (clipped to it), in place, the first
    // cell at rect's top-left: the pixels are reached through the image's rows, nothing is copied, and
    // nothing outside rect is read or written.
    void PixelateRect(ImageBuffer& image, const ImageRect& rect);

private:
    struct CellSums {
        uint64_t alpha = 0;
        uint64_t blue = 0;
        uint64_t green = 0;
        uint64_t red = 0;
        uint64_t count = 0;
    };

    // One worker's sums of a band.
    struct Band {
        std::vector<uint32_t> columnSums; // per byte of a row
        std::vector<uint32_t> averages; // per cell
    };

    static void AddWeighted(const uint8_t* pixels, int count, CellSums& sums);
    static uint32_t Average(const CellSums& sums);
    // Sums of the cell whose origin is (x, y) of the area, read from it.
    CellSums SumCell(int x, int y) const;
    // The averages of the band of cells whose top row is y of the area.
    void AverageBand(int y, Band& band) const;
    // Fills the first row of a band with its cells' averages.
    void WriteCells(uint8_t* row, int64_t width, const Band& band) const;
    // Every row of the band whose top row is y.
    void PixelateBand(int y, Band& band) const;
    // Points the area at rect's pixels, x = 0 at its left, and sizes the sums for it.
    void SetArea(ImageBuffer& image, const ImageRect& rect);

    int cell_;
    std::vector<uint8_t*> rows_; // the area's rows, each from its left pixel
    int width_ = 0;
    int height_ = 0;
    std::vector<Band> bands_; // one per worker
};
