#pragma once

#include "imaging/PixelEffect.h"

#include <cstdint>
#include <vector>

// Grey relief from the difference between a pixel and its right neighbour. Reads the neighbour from the
// image itself: the scan has not reached it yet, so no copy is needed.
class EmbossEffect final : public PixelEffectImpl<EmbossEffect> {
public:
    explicit EmbossEffect(int depth)
        : depth_(depth)
    {
    }

    int Depth() const { return depth_; }

    // The grey for a difference of channel sums (-765..765).
    static uint8_t Relief(int difference, int depth);

    void Begin(ImageBuffer& image) override;
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;
    void ProcessRow(ImageBuffer& image, int y) override;

private:
    static constexpr int kMaxDifference = 765;
    static constexpr int kMaxShortDepth = 32767 / kMaxDifference;
    template <int Step> void ProcessRowOf(uint8_t* row, int width);

    int depth_;
    std::vector<uint8_t> relief_; // by difference + 765
    std::vector<int16_t> sums_;
    std::vector<uint8_t> reliefs_;
};
