#pragma once

#include "editor/objects/ObjectPainter.h"

#include <memory>

class ImageBuffer;
class StampObject;

// A stamp's picture as drawn: resized to its rectangle, shadowed when asked, at 32 bpp.
class StampPicture {
public:
    // The whole picture, kept by the stamp until its size, shadow or picture changes.
    static std::shared_ptr<const ImageBuffer> Whole(const StampObject& stamp, int width, int height);
    // The pixels of the whole picture inside part (picture coordinates, inside the picture), with part's
    // top-left at pixel (0, 0): the same bytes as resizing the whole and cutting part out of it.
    // Shadowed when asked; the shadow of a cut piece is only right `reach` pixels away from the cut.
    static bool Part(const StampObject& stamp, int width, int height, const LongRect& part, ImageBuffer& out);
};
