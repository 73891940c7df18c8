#pragma once

#include "imaging/PixelEffect.h"

#include <array>
#include <cstdint>

// Maps chosen channels of every pixel through a table of 256 entries that MapValue fills in Begin.
// Channel mask: 1 red, 2 green, 4 blue.
class LookupTableEffect : public PixelEffect {
public:
    explicit LookupTableEffect(int channelMask);

    void Begin(ImageBuffer& image) override;
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;
    // The same replacements as ProcessPixel for a whole row, without a call per pixel.
    void ProcessRow(ImageBuffer& image, int y) override;
    bool RowsInAnyOrder() const override { return true; }

    virtual int MapValue(int value) const = 0;

    int TableEntry(int value) const { return table_[size_t(value)]; }
    bool MapsRed() const { return red_ != 0; }
    bool MapsGreen() const { return green_ != 0; }
    bool MapsBlue() const { return blue_ != 0; }

private:
    std::array<int32_t, 256> table_ {};
    // Low bytes of the table, or the identity for a channel that is not mapped.
    std::array<uint8_t, 256> blueBytes_ {};
    std::array<uint8_t, 256> greenBytes_ {};
    std::array<uint8_t, 256> redBytes_ {};
    // When every channel's table is v ^ k (invert is 255 - v = v ^ 255), the pixel's bytes are XORed with
    // these in whole words instead of being looked up one by one.
    bool xorOnly_ = false;
    uint8_t xorBytes_[3] = {};
    int32_t red_ = 0;
    int32_t green_ = 0;
    int32_t blue_ = 0;
};
