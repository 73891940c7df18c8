#pragma once

#include "editor/objects/RectObject.h"

// Hides what lies under its rectangle (the image and every object below it) by pixelating or blurring
// it. It never has a shadow or any transparency: hidden must mean hidden.
class RedactObject final : public RectObject {
public:
    static constexpr int32_t kPixelate = 0;
    static constexpr int32_t kBlur = 1;

    RedactObject();

    int32_t mode = kPixelate;
    // Cell size for pixelate, blur radius for blur; see the limits below.
    int32_t strength = DefaultStrength(kPixelate);

    static int32_t MinStrength(int32_t mode);
    static int32_t MaxStrength(int32_t mode);
    static int32_t DefaultStrength(int32_t mode);
    // The mode made valid (pixelate for anything unknown) and the strength limited to its range.
    static int32_t ValidMode(int32_t mode);
    static int32_t ValidStrength(int32_t mode, int32_t strength);
};
