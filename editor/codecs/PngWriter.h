#pragma once

#include <cstdio>

class ImageBuffer;

// Writes image as PNG into an open stream. Tuned for screenshots, the auto-save path: unfiltered rows at
// zlib level 3, pieces of a large image deflated on every core into one stream. Opaque 32-bpp images are
// written as RGB, palette images at their own depth with their palette, 16-bpp images as RGB.
bool WritePng(const ImageBuffer& image, std::FILE* out);
