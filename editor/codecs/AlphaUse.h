#pragma once

class ImageBuffer;

// A 32-bpp image carries transparency only when its alpha bytes differ from the opaque 255 and from the
// all-zero alpha of bitmaps that never set it (as 32-bpp BMP files and fresh images have).
bool HasMeaningfulAlpha(const ImageBuffer& image);
