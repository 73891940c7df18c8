#pragma once

#include "imaging/PixelEffect.h"

#include <cstring>
#include <vector>

// Shared set-up of the two quarter turns: the source is kept as a snapshot and the image is recreated
// with width and height exchanged. Works on any depth of 8 bits per pixel or more.
//
// The row loop copies a band of rows at once when it reaches the band's first row: a destination row is a
// source column, and walking the source a few columns at a time keeps every cache line it loads in use.
// At 32 bpp the band goes in 4 x 4 tiles turned in registers.
// Each destination pixel gets the same source pixel as from ProcessPixel; nothing reads the image.
class QuarterTurnEffect : public PixelEffect {
public:
    bool CanApply(const ImageBuffer& image) const override;
    void Begin(ImageBuffer& image) override;
    void ProcessRow(ImageBuffer& image, int y) override;
    // Each band is copied by the thread that meets its rows; bands never share a byte of state.
    bool RowsInAnyOrder() const override { return true; }

protected:
    // Where destination pixel (x, y) comes from, in snapshot coordinates.
    virtual void SourceOf(int x, int y, int& sx, int& sy) const = 0;

    void CopyFromSource(int x, int y, uint8_t* pixel) const;

    int sourceWidth_ = 0;
    int sourceHeight_ = 0;

public:
    // Destination rows copied together.
    static constexpr int kBandRows = 64;

private:
    template <int Bytes> void CopyBand(ImageBuffer& image, int firstRow, int endRow) const;

    int bytesPerPixel_ = 0;
    std::vector<uint8_t> bandDone_;
};
