#pragma once

#include "imaging/PixelEffect.h"

#include <cstdint>
#include <vector>

// Weighted sum of each pixel's size x size neighbourhood, divided, offset and clamped per channel, with
// the image's edge pixels repeated beyond it.
//
// The neighbourhood is read from copies of the input rows it covers, padded at both ends. A row is
// copied when a row of results first needs it, which is never later than the start of that row's own
// processing, so the copies hold the input without a copy of the whole image.
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
    void End(ImageBuffer& image) override;

private:
    // Finds kernel = column factors x row factors with every sum in 16 bits, which lets rows be filtered
    // horizontally once and then combined.
    void FindSeparableFactors();
    // Brings the padded input rows y .. y + size - 1 into the ring (padded row r is input row r - size / 2,
    // limited to the image).
    void LoadRows(const ImageBuffer& image, int y);
    void LoadRow(const ImageBuffer& image, int paddedRow);
    const uint8_t* PaddedRow(int paddedRow) const { return rows_[size_t(paddedRow % size_)].data(); }
    void FilterHorizontally(int paddedRow);
    template <int Step> void ProcessRowSeparable(ImageBuffer& image, int y);

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
    // The last `size` padded input rows and their horizontal sums, by padded row modulo size.
    std::vector<std::vector<uint8_t>> rows_;
    std::vector<std::vector<int16_t>> horizontal_;
    int nextRow_ = 0;
    std::vector<int16_t> sums_;
    std::vector<uint8_t> results_;
};
