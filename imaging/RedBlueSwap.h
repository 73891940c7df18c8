#pragma once

#include <cstddef>
#include <cstdint>

// Pixels between the byte order of files (red first) and of our buffers (blue first), which are each
// other's mirror: out gets three bytes a pixel, in is read inStep (3 or 4) bytes a pixel and a fourth byte
// is dropped. in and out must not overlap.
void SwapRedBlue(const uint8_t* in, int inStep, uint8_t* out, size_t pixels);
