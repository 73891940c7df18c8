#pragma once

#include <cstddef>
#include <cstdint>

// One row of width pixels of step bytes into to, grown by margin pixels at both ends repeating the end
// pixels: to holds (width + 2 * margin) * step bytes.
void PadRowWithEdges(const uint8_t* from, size_t width, size_t step, size_t margin, uint8_t* to);
