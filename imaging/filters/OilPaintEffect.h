#pragma once

#include "imaging/ImageBuffer.h"
#include "imaging/PixelEffect.h"
#include "imaging/filters/BoundaryRows.h"
#include "imaging/filters/GrownRows.h"
#include "imaging/filters/LargeWindowMode.h"
#include "imaging/filters/SlidingWindowMode.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

// Every pixel takes the colour of the most frequent grey value in its (2n + 1)^2 neighbourhood. Ties go
// to the grey value that reached the top count first in a row-by-row scan of the neighbourhood, and the
// colour is that of the pixel where it did.
//
// The neighbourhood is read from copies of the input rows it covers, grown at both ends by the radius
// with the edge pixels repeated (GrownRows), and their grey values. Blocks of rows run on every core, each
// worker with its own copies.
class OilPaintEffect final : public PixelEffectImpl<OilPaintEffect> {
public:
    // radius is at least 1.
    explicit OilPaintEffect(int radius);

    int Radius() const { return radius_; }
    int Window() const { return window_; }

    void Begin(ImageBuffer& image) override;
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;
    void ProcessRow(ImageBuffer& image, int y) override;
    bool RowsInAnyOrder() const override { return true; }
    void BeginBlocks(const ImageBuffer& image, int blockRows) override;
    void ProcessRows(ImageBuffer& image, int first, int end, int worker) override;
    void End(ImageBuffer& image) override;

private:
    // One worker's copies of the grown input rows (row r is input row r - radius, limited to the image),
    // row r at slot r % (window + 1): the rows of the current windows and the one just left.
    struct Ring {
        GrownRows colours;
        std::vector<uint8_t> greys; // slots of greyStride bytes, kGreyMargin before each row
        std::vector<const uint8_t*> greyRows; // of the current row's windows
        std::vector<int8_t> positions; // windows up to 7 x 7
        SlidingWindowMode sliding;
        LargeWindowMode large;
        std::vector<int32_t> chosenRows, chosenColumns; // larger windows
    };

    // Grey rows are readable this many bytes either side.
    static constexpr int kGreyMargin = 64;

    // Brings the grown rows y .. y + window - 1 into the ring and points ring.greyRows at their greys.
    void ReachRow(Ring& ring, const ImageBuffer& image, int y) const;
    const uint8_t* ColourRow(const Ring& ring, int grownRow) const { return ring.colours.Row(grownRow); }

    void ProcessRowWith(Ring& ring, ImageBuffer& image, int y) const;
    template <int Step> void ProcessRowPairwise(Ring& ring, uint8_t* row, int width, int y) const;
    template <int Step> void ProcessRowCounted(Ring& ring, uint8_t* row, int width, int y) const;
    // The pixel's own alpha is read from the copy of its row, so the image row is only written.
    template <int Step> static void CopyColour(uint8_t* pixel, const uint8_t* from, const uint8_t* own)
    {
        if constexpr (Step == 4) {
            uint32_t colour, alpha;
            std::memcpy(&colour, from, 4);
            std::memcpy(&alpha, own, 4);
            colour = (colour & 0x00FFFFFFu) | (alpha & 0xFF000000u);
            std::memcpy(pixel, &colour, 4);
        } else {
            std::memcpy(pixel, from, 3);
        }
    }

    int radius_;
    int window_;
    int step_ = 0; // bytes per pixel
    size_t greyStride_ = 0;
    std::vector<Ring> rings_; // one per worker; ProcessPixel and ProcessRow use the first
    BoundaryRows boundaryRows_;
    std::array<int32_t, 256> scratchCounts_ {};
};
