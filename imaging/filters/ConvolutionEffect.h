#pragma once

#include "ImageBuffer.h"
#include "PixelEffect.h"

#include <cstdint>
#include <vector>

// Weighted sum of each pixel's size x size neighbourhood, divided, offset and clamped per channel. The
// neighbourhood is read from an edge-replicated copy of the input.
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
    const int16_t* HorizontalRow(int paddedRow, size_t bytes, int step);
    template <int Step> void ProcessRowSeparable(uint8_t* row, int width, int y);

    std::vector<int32_t> kernel_;
    int size_;
    int divisor_;
    int offset_;

    bool separable_ = false;
    std::vector<int16_t> columnFactors_;
    std::vector<int16_t> rowFactors_;
    int shift_ = -1; // divisor as a shift when no sum can be negative

    ImageBuffer padded_;
    // Horizontal sums of the last `size` padded rows, by row modulo size.
    std::vector<std::vector<int16_t>> horizontal_;
    int nextHorizontal_ = 0;
    std::vector<int16_t> sums_;
    std::vector<uint8_t> results_;
};
