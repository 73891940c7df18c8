#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The oil paint choice for windows of any size, one row of windows at a time, by a histogram of the
// window slid along the row: for a w x w window of grey values scanned row by row, the window row and
// column where the scan first reaches the top count of any grey. For the windows too large for
// SlidingWindowMode. One per thread.
class LargeWindowMode {
public:
    // rows[0 .. window) each hold width + window - 1 grey values. Fills chosenRows and
    // chosenColumns[0 .. width).
    void ChooseRow(const uint8_t* const* rows, int width, int window, int32_t* chosenRows, int32_t* chosenColumns);

private:
    // Branch-free: the values of a noisy image make every test a coin toss.
    void Add(uint8_t value)
    {
        const int32_t c = counts_[value]++;
        --valuesWithCount_[size_t(c)];
        ++valuesWithCount_[size_t(c) + 1];
        top_ = c + 1 > top_ ? c + 1 : top_;
    }
    void Remove(uint8_t value)
    {
        const int32_t c = counts_[value]--;
        --valuesWithCount_[size_t(c)];
        ++valuesWithCount_[size_t(c) - 1];
        top_ -= int(c == top_) & int(valuesWithCount_[size_t(c)] == 0);
    }
    // The window position (row * window + column) where the scan first reaches the top count.
    int64_t FirstToTopCount(const uint8_t* const* rows, int x, int window);

    // A count per grey value over the window, the number of grey values having each count, and the top
    // count.
    std::array<int32_t, 256> counts_ {};
    std::vector<int32_t> valuesWithCount_;
    int top_ = 0;
    std::array<uint32_t, 256> seen_ {}; // per grey value: the last search that met it
    uint32_t search_ = 0;
};
