#pragma once

#include <cstdint>

// The kinds of annotation object, with the numbers the tools, the property bar and the history use.
enum class ObjectKind : int32_t {
    Line = 0,
    Text = 1,
    Box = 2,
    Arrow = 3,
    Highlight = 4,
    Stamp = 5,
    Redact = 6,
    Step = 7,
    Pen = 8,
};

// A floating layer over a document image. The kind is fixed at construction; the style fields are plain
// data that the tools and the property bar read and write directly.
class AnnotationObject {
public:
    virtual ~AnnotationObject() = default;

    ObjectKind Kind() const { return kind_; }

    // 0 opaque .. 100 invisible.
    int32_t transparency = 0;
    // Drawn with a drop shadow, and itself moved 5 pixels right and down.
    bool shadow = false;

protected:
    explicit AnnotationObject(ObjectKind kind)
        : kind_(kind)
    {
    }
    AnnotationObject(const AnnotationObject&) = default;
    AnnotationObject& operator=(const AnnotationObject&) = default;

private:
    ObjectKind kind_;
};
