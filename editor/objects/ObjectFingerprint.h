#pragma once

#include <cstdint>

class AnnotationObject;

// A 64-bit digest of everything that decides how an object is drawn: kind, style, geometry, text and
// the identity of a stamp's picture. Two objects with the same digest are drawn alike, so a kept picture
// of them can be checked against the objects as they are now without being told what changed.
class ObjectFingerprint {
public:
    static uint64_t Of(const AnnotationObject& object);
};
