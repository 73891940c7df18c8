#pragma once

#include "capture/ScrollMeasure.h"
#include "imaging/ImageBuffer.h"

#include <vector>

// Builds one tall image from successive grabs of a window whose content scrolls up between them. Every
// content row is kept once, in order; rows that never move (toolbars, sticky headers, status bars) once.
class ScrollStitcher {
public:
    enum class Outcome {
        Moved, // the rows that came in were added
        Still, // nothing moved: the end of the content
        Lost, // no shift explains the new grab; it was not used
    };

    // compareWidth: the columns that measure the shift (the window less its scroll bar).
    explicit ScrollStitcher(int compareWidth);

    void Start(ImageBuffer first);
    Outcome Add(ImageBuffer next);
    int Strips() const { return int(strips_.size()); }
    int LastShift() const { return earlier_.shift; }
    // The stitched image, cut to outputWidth columns from the left.
    ImageBuffer Stitch(int outputWidth) const;

private:
    int compareWidth_;
    ImageBuffer first_;
    ImageBuffer last_;
    // The last move; its bottom band stays as the first move found it, so that the strips join seamlessly.
    ScrollStep earlier_ { 0, -1, -1 };
    std::vector<ImageBuffer> strips_;
};
