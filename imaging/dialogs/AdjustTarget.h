#pragma once

#include <span>

class ImageBuffer;
class ImageEffect;

// What the adjustment dialogs work on: the picture they start from, show their live preview on and
// change when OK is pressed. The document implements it; the dialogs know nothing else of it.
class AdjustTarget {
public:
    virtual ~AdjustTarget() = default;

    virtual const ImageBuffer& Picture() const = 0;
    // Shows picture in place of the present one, outside the history: a live preview, or the picture
    // from before the dialog put back.
    virtual void ShowPicture(ImageBuffer picture) = 0;
    // Runs effects over the picture in order as one undoable step; false when that failed and the
    // picture is as it was.
    virtual bool ApplyStep(std::span<ImageEffect* const> effects) = 0;
};
