#pragma once

class ImageBuffer;
class ScreenSource;

// Reads the rectangle (right and bottom exclusive, screen coordinates) into a new 24-bpp image. Returns
// whether the image has pixels; on failure (an empty rectangle, a source of 8 or fewer bits per pixel, no
// memory, a failed read) the image is left untouched.
bool GrabScreenRect(ImageBuffer& image, ScreenSource& source, int left, int top, int right, int bottom);
