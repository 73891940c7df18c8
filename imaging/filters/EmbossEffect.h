#pragma once

#include "imaging/PixelEffect.h"

#include <cstdint>
#include <vector>

// Grey relief from the difference between a pixel and its right neighbour. Reads the neighbour from the
// image itself: the scan has not reached it yet, so no copy is needed. Rows depend on nothing but
// themselves, so blocks of them run on every core, each worker with its own scratch row.
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
    bool RowsInAnyOrder() const override { return true; }
    void ProcessRows(ImageBuffer& image, int first, int end, int worker) override;

private:
    static constexpr int kMaxDifference = 765;
    static constexpr int kMaxShortDepth = 32767 / kMaxDifference;

    struct Scratch {
        std::vector<int16_t> sums;
        std::vector<uint8_t> reliefs;
    };

    void ProcessRowWith(Scratch& scratch, ImageBuffer& image, int y);
    template <int Step> void ProcessRowOf(Scratch& scratch, uint8_t* row, int width) const;

    int depth_;
    std::vector<uint8_t> relief_; // by difference + 765
    std::vector<Scratch> scratch_; // one per worker
};
