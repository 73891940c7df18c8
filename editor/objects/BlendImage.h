#pragma once

class ImageBuffer;

// Composites a 32-bpp source onto a 32-bpp target with the source's top-left corner at (x, y), clipped
// to the target. strength (0..100) scales the source alpha. Other depths and empty images are left
// alone.
void BlendImage(ImageBuffer& target, const ImageBuffer& source, int x, int y, int strength);
