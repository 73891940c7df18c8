#include "imaging/filters/LargeWindowMode.h"

#include <algorithm>

void LargeWindowMode::ChooseRow(
    const uint8_t* const* rows, int width, int window, int32_t* chosenRows, int32_t* chosenColumns)
{
    const int w = window;
    if (search_ > 0xF0000000u) {
        seen_.fill(0);
        search_ = 0;
    }
    counts_.fill(0);
    valuesWithCount_.assign(size_t(w) * size_t(w) + 1, 0);
    valuesWithCount_[0] = 256;
    top_ = 0;
    for (int i = 0; i < w; ++i)
        for (int j = 0; j < w; ++j)
            Add(rows[i][j]);

    for (int x = 0; x < width; ++x) {
        if (x > 0) {
            for (int i = 0; i < w; ++i) {
                Remove(rows[i][x - 1]);
                Add(rows[i][x + w - 1]);
            }
        }
        const int64_t position = FirstToTopCount(rows, x, w);
        chosenRows[x] = int32_t(position / w);
        chosenColumns[x] = int32_t(position % w);
    }
}

int64_t LargeWindowMode::FirstToTopCount(const uint8_t* const* rows, int x, int window)
{
    // The scan first reaches the top count at the last occurrence of some grey value that has the top
    // count; the earliest such last occurrence wins. Scanning backwards meets every such value's last
    // occurrence first, so the position where the last of them turns up is the answer.
    const int top = top_;
    if (top == 1)
        return 0;
    const int wanted = valuesWithCount_[size_t(top)];
    const uint32_t search = ++search_;
    int found = 0;
    for (int i = window - 1; i >= 0; --i) {
        const uint8_t* greys = rows[i] + x;
        for (int j = window - 1; j >= 0; --j) {
            const uint8_t value = greys[j];
            const bool first = int(counts_[value] == top) & int(seen_[value] != search);
            seen_[value] = first ? search : seen_[value];
            found += first;
            if (found == wanted)
                return int64_t(i) * window + j;
        }
    }
    return 0;
}
