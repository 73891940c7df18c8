#pragma once

class ImageBuffer;
class RedactObject;

// Pixelates or blurs the part of a 32-bpp target under a redaction's rectangle, in place: the target
// already holds the picture under the object, and nothing outside the rectangle is written.
class RedactRenderer {
public:
    static void Render(const RedactObject& redact, ImageBuffer& target);
};
