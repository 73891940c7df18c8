#pragma once

#include "imaging/ImageBuffer.h"
#include "imaging/PixelEffect.h"
#include "imaging/filters/SlidingWindowMode.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

// Every pixel takes the colour of the most frequent grey value in its (2n + 1)^2 neighbourhood. Ties go
// to the grey value that reached the top count first in a row-by-row scan of the neighbourhood, and the
// colour is that of the pixel where it did.
class OilPaintEffect final : public PixelEffectImpl<OilPaintEffect> {
public:
    // radius is at least 1.
    explicit OilPaintEffect(int radius);

    int Radius() const { return radius_; }
    int Window() const { return window_; }

    void Begin(ImageBuffer& image) override;
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;
    void ProcessRow(ImageBuffer& image, int y) override;
    // Every row reads only the padded copy; each worker slides its own histogram.
    bool RowsInAnyOrder() const override { return true; }
    void ProcessRows(ImageBuffer& image, int first, int end, int worker) override;
    void End(ImageBuffer& image) override;

private:
    // A count per grey value over the window, the number of grey values having each count, and the
    // top count, kept up to date as the window slides along a row.
    struct Histogram {
        std::array<int32_t, 256> counts;
        std::vector<int32_t> valuesWithCount;
        int top = 0;

        void Reset(int window);
        // Branch-free: the values of a noisy image make every test a coin toss.
        void Add(uint8_t value)
        {
            const int32_t c = counts[value]++;
            --valuesWithCount[size_t(c)];
            ++valuesWithCount[size_t(c) + 1];
            top = c + 1 > top ? c + 1 : top;
        }
        void Remove(uint8_t value)
        {
            const int32_t c = counts[value]--;
            --valuesWithCount[size_t(c)];
            ++valuesWithCount[size_t(c) - 1];
            top -= int(c == top) & int(valuesWithCount[size_t(c)] == 0);
        }
    };

    // One worker's state.
    struct Scan {
        // Grey rows lo .. hi - 1 of padded_, row k at (k % (window + 1)) * greyStride + kGreyMargin: the
        // window's rows and the one just left, made as they are reached, while the colours they come from
        // are still in cache.
        std::vector<uint8_t> greys;
        size_t greyStride = 0;
        int lo = 0, hi = 0;
        std::vector<const uint8_t*> greyRows; // of the current row's windows
        std::vector<int8_t> positions; // small windows
        SlidingWindowMode sliding;
        std::vector<uint8_t> chosenRows, chosenColumns;
        // Windows too large for SlidingWindowMode:
        Histogram histogram;
        std::vector<uint32_t> seen = std::vector<uint32_t>(256, 0); // per grey value: the last search that met it
        uint32_t search = 0;
    };

    // Grey rows are readable this many bytes either side.
    static constexpr int kGreyMargin = 64;
    // Makes scan.greyRows the grey rows of output row y's windows.
    void ReachRow(int y, Scan& scan) const;

    void ProcessRowOn(ImageBuffer& image, int y, Scan& scan) const;
    template <int Step> void ProcessRowSliding(uint8_t* row, int width, int y, Scan& scan) const;
    template <int Step> void ProcessRowHistogram(uint8_t* row, int width, int y, Scan& scan) const;
    template <int Step> void ProcessRowPairwise(uint8_t* row, int width, int y, Scan& scan) const;
    template <int Step> static void CopyColour(uint8_t* pixel, const uint8_t* from)
    {
        if constexpr (Step == 4) {
            // The pixel's alpha stays.
            uint32_t colour, kept;
            std::memcpy(&colour, from, 4);
            std::memcpy(&kept, pixel, 4);
            colour = (colour & 0x00FFFFFFu) | (kept & 0xFF000000u);
            std::memcpy(pixel, &colour, 4);
        } else {
            std::memcpy(pixel, from, 3);
        }
    }
    // The window position (row * window + column) where the scan first reaches the top count.
    int FirstToTopCount(const uint8_t* const* greyRows, int x, Scan& scan) const;

    int radius_;
    int window_;
    ImageBuffer padded_; // the input grown by the radius with replicated edges

    std::vector<Scan> scans_; // one per worker
    std::array<int32_t, 256> scratchCounts_ {};
};
