#pragma once

#include "imaging/BitmapTypes.h"
#include "imaging/ImageEffect.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A box blur run a number of times, which tends to a Gaussian: each pass makes every byte the average
// of the (2 x radius + 1)^2 square around it, with the area's edge pixels repeated beyond it. The average
// is (sum x m) >> 16 with m = 65536 / window rounded up, which is the truncated quotient or one more.
// Running sums keep the cost per pixel independent of the radius. 24 and 32 bpp; alpha is averaged too.
class BoxBlurEffect final : public ImageEffect {
public:
    // A window's sum of bytes must fit 16 bits.
    static constexpr int kMaxRadius = 127;

    // radius is limited to 1..kMaxRadius, passes is at least 1.
    explicit BoxBlurEffect(int radius, int passes = 2);

    int Radius() const { return radius_; }
    int Passes() const { return passes_; }
    uint32_t Multiplier() const { return multiplier_; }

    bool CanApply(const ImageBuffer& image) const override;
    int Mode() const override { return 0; }
    void ProcessImage(ImageBuffer& image, ProgressSink* progress) override;

    // Blurs the part of the image inside rect (clipped to it) in place, through the image's rows: nothing
    // outside rect is read or written.
    void BlurRect(ImageBuffer& image, const ImageRect& rect);

private:
    void BlurRow(uint8_t* row, size_t bytes, size_t step);
    void BlurColumns(uint8_t* const* rows, int height, size_t bytes);

    int radius_;
    int passes_;
    uint32_t multiplier_;
    std::vector<uint8_t> padded_;
    std::vector<uint16_t> prefix_;
    std::vector<uint16_t> sums_;
    std::vector<std::vector<uint8_t>> ring_;
};
