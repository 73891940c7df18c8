#pragma once

#include "editor/objects/AnnotationObject.h"
#include "editor/objects/ColourRef.h"

// A straight line, or an arrow with its head at the end point. An arrow's shaft is always drawn one
// pixel wide in black; its colour fills the head.
class LineObject final : public AnnotationObject {
public:
    // Line styles.
    static constexpr int32_t kSolid = 0;
    static constexpr int32_t kDot = 1;
    static constexpr int32_t kDash = 2;
    // Arrow styles.
    static constexpr int32_t kFillArrow = 0;
    static constexpr int32_t kEmptyArrow = 1;

    // kind is Line or Arrow; any other kind makes a line.
    explicit LineObject(ObjectKind kind = ObjectKind::Line);

    bool IsArrow() const { return Kind() == ObjectKind::Arrow; }

    int32_t startX = 0;
    int32_t startY = 0;
    int32_t endX = 0;
    int32_t endY = 0;
    int32_t width = 2;
    ColourRef colour = 0;
    int32_t style = kSolid;
};
