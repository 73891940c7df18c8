#pragma once

#include "imaging/PixelEffect.h"

#include <cstdint>
#include <vector>

// A bevelled grid: in every cell the second row and second-to-last column are darkened by depth, the
// second-to-last row and second column lightened ("3D Grid").
class GridEffect final : public PixelEffectImpl<GridEffect> {
public:
    // cell is at least 1; depth is kept as given.
    GridEffect(int cell, int depth);

    int Cell() const { return cell_; }
    int Depth() const { return depth_; }

    // The change at (x, y); remainders truncate toward zero.
    int64_t Delta(int x, int y) const;

    void Begin(ImageBuffer& image) override;
    bool RowsInAnyOrder() const override { return true; }
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;
    void ProcessRow(ImageBuffer& image, int y) override;

private:
    struct Change {
        int x;
        int delta; // clamped to +-255, which changes no result
    };

    // Which of the row conditions hold for y; rows with the same signature change the same columns.
    int RowSignature(int y) const;

    int cell_;
    int depth_;
    // The non-zero changes of a row, per signature.
    std::vector<Change> changes_[8];
};
