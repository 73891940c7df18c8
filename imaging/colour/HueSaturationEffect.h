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
        Store(Recall(Load(pixel), memories_[0]), pixel);
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
    static constexpr int kRecentBits = 17;
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
        std::vector<uint32_t> recent = std::vector<uint32_t>(size_t(1) << kRecentBits, 0);
        // A row's colours not found, their results and their columns.
        std::vector<uint32_t> missed;
        std::vector<uint32_t> results;
        std::vector<int32_t> missedAt;
        int rowsWithoutMemory = 0;
    };

    // The colour scrambled one to one over its 24 bits: the upper bits pick the slot, and the slot keeps the
    // lower ones, with a presence bit, above the result. Four bytes a slot keep the memory in the cache.
    static uint32_t Scramble(uint32_t colour) { return (colour * 0x9E3779B1u) & 0xFFFFFF; }
    static size_t Slot(uint32_t scrambled) { return scrambled >> (24 - kRecentBits); }
    static uint32_t Tag(uint32_t scrambled) { return (scrambled & 0x7Fu) << 24 | 0x80000000u; }
    static bool Holds(uint32_t slot, uint32_t scrambled) { return (slot & 0xFF000000u) == Tag(scrambled); }
    uint32_t Recall(uint32_t colour, Memory& memory) const
    {
        const uint32_t scrambled = Scramble(colour);
        uint32_t& slot = memory.recent[Slot(scrambled)];
        if (!Holds(slot, scrambled))
            slot = Tag(scrambled) | Adjust(colour);
        return slot & 0xFFFFFFu;
    }
    void ProcessRowOn(ImageBuffer& image, int y, Memory& memory) const;
    template <int Bytes> void ProcessRowOf(uint8_t* pixel, int width, Memory& memory) const;
    // Computes every pixel, several at a time where the processor can.
    template <int Bytes> void AdjustEach(uint8_t* pixel, int width) const;

    int32_t hue_;
    int32_t saturation_;
    // Exact values of the divisions by 255 that RgbToHsl makes, so that a pixel costs two divisions.
    std::array<double, 256> unit_ {}; // v / 255
    std::array<double, 511> difference_ {}; // (v - 255) / 255
    std::array<double, 511> lightness_ {}; // (max + min) / 510
    std::array<uint8_t, 511> grey_ {}; // the result for max == min
    std::vector<Memory> memories_; // one per worker
};
