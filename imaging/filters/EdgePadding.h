#pragma once

#include "imaging/ImageBuffer.h"

// The image grown by `margin` pixels on every side, the new pixels repeating the nearest edge pixel: the
// same as a copy followed by Expand(true, margin, margin, margin, margin), in one pass. For 8 bpp and
// above; returns an empty image when the copy cannot be made.
ImageBuffer PadWithEdges(const ImageBuffer& source, int margin);
