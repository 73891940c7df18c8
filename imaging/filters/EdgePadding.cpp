#include "imaging/filters/EdgePadding.h"

#include <cstring>

void PadRowWithEdges(const uint8_t* from, size_t width, size_t step, size_t margin, uint8_t* to)
{
    const size_t contentBytes = width * step;
    const size_t marginBytes = margin * step;
    std::memcpy(to + marginBytes, from, contentBytes);
    const uint8_t* last = from + contentBytes - step;
    for (size_t i = 0; i < margin; ++i) {
        std::memcpy(to + i * step, from, step);
        std::memcpy(to + marginBytes + contentBytes + i * step, last, step);
    }
}
