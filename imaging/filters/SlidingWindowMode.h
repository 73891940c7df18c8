#pragma once

#include <cstdint>
#include <vector>

// The oil paint choice for windows of 9 x 9 to 127 x 127, one row of windows at a time: for a w x w window
// of grey values scanned row by row, the window row and column where the scan first reaches the top
// count of any grey. Counts per grey are kept for every column of the window's height, slid down from
// one row to the next, and for the window, slid along the row. One per thread.
class SlidingWindowMode {
public:
    static constexpr int kMaxWindow = 127;
    // Rows are read this many bytes before their first window.
    static constexpr int kRowMargin = 16;

    // Greys counted per step: one (plain C++), 16 (SSE2) or 32 (AVX2).
    enum class Lanes { One, Sixteen, ThirtyTwo };
    // The widest this processor runs.
    static Lanes Widest();
    // Lanes this build or processor lacks fall back to the next narrower.
    explicit SlidingWindowMode(Lanes lanes = Widest());

    // rows[0 .. window) are the grey rows of the windows of output row y, each holding width + window - 1
    // bytes. Fills chosenRows and chosenColumns[0 .. width). Following the call for row y - 1 with the
    // same rows one further down, only the rows that enter and leave are counted.
    void ChooseRow(
        const uint8_t* const* rows, int y, int width, int window, int32_t* chosenRows, int32_t* chosenColumns);

private:
    // Counts the columns of rows[0 .. window) afresh.
    void Recount(const uint8_t* const* rows, int columns, int window);
    // Adds the column entering the window and takes away the one leaving; returns the top count.
    int Slide(const uint8_t* entering, const uint8_t* leaving);
    // Each grey holding the top count as a bit of four words.
    void TopGreys(int top, uint64_t* bits) const;
    // The column of the last grey among the window bytes of row; negative when there is none.
    int LastColumn(const uint8_t* row, uint8_t grey) const;
    // The window place where the scan of the window at x first reaches the top count, above 1.
    void EarliestLastPlace(const uint8_t* const* rows, int x, int top, int* row, int* column) const;

    std::vector<uint8_t> columnCounts_; // 256 per column
    Lanes lanes_;
    alignas(32) int16_t counts_[256] = {};
    const uint8_t* topRow_ = nullptr; // rows[0] of the last call
    int lastY_ = -1;
    int width_ = 0;
    int window_ = 0;
};
