#pragma once

#include <cstdio>

class ImageBuffer;

// Writes image as PNG into an open stream. Tuned for screenshots, the auto-save path: zlib's fastest
// level with the Sub filter, which keeps flat areas and text small at a fraction of the default
// settings' time. Opaque 32-bpp images are written as RGB, palette images at
// their own depth with their palette, 16-bpp images as RGB.
bool WritePng(const ImageBuffer& image, std::FILE* out);
