#pragma once

#include "imaging/ImageBuffer.h"

// The image grown by `margin` pixels on every side, the new pixels repeating the nearest edge pixel: the
// same as a copy followed by Expand(true, margin, margin, margin, margin), in one pass. For 8 bpp and
// above; returns an empty image when the copy cannot be made.
ImageBuffer PadWithEdges(const ImageBuffer& source, int margin);

// One row of width pixels of step bytes into to, grown by margin pixels at both ends repeating the end
// pixels: to holds (width + 2 * margin) * step bytes.
void PadRowWithEdges(const uint8_t* from, size_t width, size_t step, size_t margin, uint8_t* to);
