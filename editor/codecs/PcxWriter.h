#pragma once

#include <cstdio>

class ImageBuffer;

// Writes image as a run-length PCX (version 5): 16-, 24- and 32-bpp images as three 8-bit planes (alpha
// is dropped), black-and-white 1-bpp images as one bit plane, other palette images as 8 bits per pixel
// with the 256-colour palette after the pixels.
bool WritePcx(const ImageBuffer& image, std::FILE* out);
