#pragma once

#include "imaging/PixelEffect.h"

#include <array>
#include <cstdint>
#include <vector>

// Scales the hue angle and the saturation of every pixel by percentages (100 keeps them). Scaling the hue
// beyond one turn is not wrapped more than once: such hues fall to the darkest channel value.
class HueSaturationEffect final : public PixelEffect {
public:
    // Negative percentages are stored as 0.
    HueSaturationEffect(int huePercent, int saturationPercent);

    void Begin(ImageBuffer& image) override;
    void ProcessPixel(ImageBuffer&, int, int, uint8_t* pixel) override
    {
        int hits = 0;
        Store(Recall(Load(pixel), hits, memories_[0]), pixel);
    }
    // The same per pixel, but rows where remembered colours rarely come back skip the memory for a while.
    void ProcessRow(ImageBuffer& image, int y) override;
    // Each worker remembers colours on its own.
    bool RowsInAnyOrder() const override { return true; }
    void ProcessRows(ImageBuffer& image, int first, int end, int worker) override;

    // The adjusted colour of blue | green << 8 | red << 16, packed the same way.
    uint32_t Adjust(uint32_t colour) const;

    int HuePercent() const { return hue_; }
    int SaturationPercent() const { return saturation_; }

private:
    static constexpr int kRecentBits = 16;
    static constexpr uint32_t kPresent = 1u << 24;
    static constexpr int kRowsWithoutMemory = 15;

    static uint32_t Load(const uint8_t* pixel)
    {
        return uint32_t(pixel[0]) | uint32_t(pixel[1]) << 8 | uint32_t(pixel[2]) << 16;
    }
    static void Store(uint32_t colour, uint8_t* pixel)
    {
        pixel[0] = uint8_t(colour);
        pixel[1] = uint8_t(colour >> 8);
        pixel[2] = uint8_t(colour >> 16);
    }

    // Screen images repeat few colours, so results are remembered by colour: a slot holds the colour
    // with a presence bit in its upper half and the result in its lower half.
    struct Memory {
        std::vector<uint64_t> recent = std::vector<uint64_t>(size_t(1) << kRecentBits, 0);
        int rowsWithoutMemory = 0;
    };

    uint32_t Recall(uint32_t colour, int& hits, Memory& memory) const
    {
        uint64_t& slot = memory.recent[(colour * 0x9E3779B1u) >> (32 - kRecentBits)];
        const bool known = slot >> 32 == (colour | kPresent);
        hits += known;
        if (!known)
            slot = uint64_t(colour | kPresent) << 32 | Adjust(colour);
        return uint32_t(slot);
    }
    void ProcessRowOn(ImageBuffer& image, int y, Memory& memory) const;
    template <int Bytes> void ProcessRowOf(uint8_t* pixel, int width, Memory& memory) const;

    int32_t hue_;
    int32_t saturation_;
    // Exact values of the divisions by 255 that RgbToHsl makes, so that a pixel costs two divisions.
    std::array<double, 256> unit_ {}; // v / 255
    std::array<double, 511> difference_ {}; // (v - 255) / 255
    std::array<double, 511> lightness_ {}; // (max + min) / 510
    std::array<uint8_t, 511> grey_ {}; // the result for max == min
    std::vector<Memory> memories_; // one per worker
};
