#pragma once

#include "imaging/PixelEffect.h"
#include "imaging/filters/BoundaryRows.h"
#include "imaging/filters/GrownRows.h"

#include <cstdint>
#include <vector>

// Weighted sum of each pixel's size x size neighbourhood, divided, offset and clamped per channel, with
// the image's edge pixels repeated beyond it.
//
// The neighbourhood is read from copies of the input rows it covers, padded at both ends (GrownRows).
// Blocks of rows run on every core, each worker with its own copies.
class ConvolutionEffect final : public PixelEffectImpl<ConvolutionEffect> {
public:
    // kernel holds size x size weights, row-major; divisor is at least 1.
    ConvolutionEffect(std::vector<int32_t> kernel, int size, int divisor, int offset);

    // 1 2 1 / 2 4 2 / 1 2 1 over 16.
    static ConvolutionEffect Blur();

    int Size() const { return size_; }
    int Divisor() const { return divisor_; }
    int Offset() const { return offset_; }
    const std::vector<int32_t>& Kernel() const { return kernel_; }

    // The default rule, and a kernel of size x size weights.
    bool CanApply(const ImageBuffer& image) const override;
    void Begin(ImageBuffer& image) override;
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;
    void ProcessRow(ImageBuffer& image, int y) override;
    bool RowsInAnyOrder() const override { return true; }
    void BeginBlocks(const ImageBuffer& image, int blockRows) override;
    void ProcessRows(ImageBuffer& image, int first, int end, int worker) override;
    void End(ImageBuffer& image) override;

private:
    // One worker's copies: the last `size` padded input rows and their horizontal sums, by padded row
    // modulo size.
    struct Ring {
        GrownRows rows;
        std::vector<std::vector<int16_t>> horizontal;
        std::vector<int16_t> sums;
        std::vector<uint8_t> results;
    };

    // Finds kernel = column factors x row factors with every sum in 16 bits, which lets rows be filtered
    // horizontally once and then combined.
    void FindSeparableFactors();
    // Brings the padded input rows y .. y + size - 1 into the ring (padded row r is input row r - size / 2,
    // limited to the image).
    void LoadRows(Ring& ring, const ImageBuffer& image, int y) const;
    void FilterHorizontally(Ring& ring, int paddedRow) const;
    void ProcessPixelWith(Ring& ring, ImageBuffer& image, int x, int y, uint8_t* pixel) const;
    void ProcessRowWith(Ring& ring, ImageBuffer& image, int y) const;
    template <int Step> void ProcessRowSeparable(Ring& ring, ImageBuffer& image, int y) const;

    std::vector<int32_t> kernel_;
    int size_;
    int divisor_;
    int offset_;

    bool separable_ = false;
    std::vector<int16_t> columnFactors_;
    std::vector<int16_t> rowFactors_;
    int shift_ = -1; // divisor as a shift when no sum can be negative

    int step_ = 0; // bytes per pixel
    size_t rowBytes_ = 0;
    // One ring per worker; ProcessPixel and ProcessRow use the first, over the whole image.
    std::vector<Ring> rings_;
    // Input rows next to block boundaries.
    BoundaryRows boundaryRows_;
};
