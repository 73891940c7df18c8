#pragma once

class ImageBuffer;
class RedactObject;

// Pixelates or blurs the part of a 32-bpp target under a redaction's rectangle, in place: the target
// already holds the picture under the object, and nothing outside the rectangle is written. The target's
// first pixel lies at (left, top) of the picture; it must hold all of the rectangle that lies in the
// picture, or the cells and the blur near its edges come out unlike those of the whole picture.
class RedactRenderer {
public:
    static void Render(const RedactObject& redact, ImageBuffer& target, int left = 0, int top = 0);
};
