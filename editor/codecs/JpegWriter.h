#pragma once

#include <cstdio>

class ImageBuffer;

// Writes image as a baseline JPEG with the library's default settings (quality 75). 24- and 32-bpp
// rows are handed over as they are; other depths go through a 24-bpp copy.
bool WriteJpeg(const ImageBuffer& image, std::FILE* out);
