#pragma once

#include <cstdint>
#include <optional>

class AnnotationObject;
class DrawingSurface;

// A rectangle in 64-bit coordinates, so that object coordinates plus margins never overflow.
struct LongRect {
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;

    int64_t Width() const { return right - left; }
    int64_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
};

// Lays out and draws one object's temporary picture.
class ObjectPainter {
public:
    // Lines, arrows and boxes get this much room around their geometry, enough for the widest pen.
    static constexpr int kMargin = 10;

    struct Layout {
        LongRect area; // the picture's place in target coordinates
        uint32_t background; // 0xAARRGGBB every pixel starts with
    };

    // None when the object draws nothing (an empty rectangle, an unknown kind).
    static std::optional<Layout> LayoutOf(const AnnotationObject& object);

    // Draws a line, arrow, text, box, step marker or pen stroke; surface coordinates are relative to
    // area's top-left.
    // Highlights and stamps are pictures of their own and draw nothing here.
    static void Paint(const AnnotationObject& object, const LongRect& area, DrawingSurface& surface);
};
