#pragma once

#include <cstdio>

class ImageBuffer;

// Writes image as a run-length PCX (version 5): 16-, 24- and 32-bpp images as three 8-bit planes (alpha
// is dropped), 8-bpp images with the 256-colour palette after the pixels, 1- and 4-bpp images with their
// palette in the header.
bool WritePcx(const ImageBuffer& image, std::FILE* out);
