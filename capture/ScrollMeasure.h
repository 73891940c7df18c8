#pragma once

#include <optional>

class ImageBuffer;

// How the content of a window moved between two grabs of it.
struct ScrollStep {
    // Rows the content moved up; 0 when the two grabs are equal.
    int shift = 0;
    // Rows at the top and bottom that stayed as they were (toolbars, sticky headers, status bars).
    int fixedTop = 0;
    int fixedBottom = 0;
};

// Finds the vertical shift that makes two equally sized 24-bpp grabs match in the band between their
// unchanged top and bottom rows. Only the leftmost compareWidth columns count, so a moving scroll-bar
// thumb does not hide the unchanged bands.
class ScrollMeasure {
public:
    // Nothing when no shift fits (the content changed in another way). When several fit, as in blank
    // areas, the earlier step's shift wins if it is one of them, otherwise the smallest. The earlier
    // step's bands (negative: none yet) bound these: blank or repeating content at an edge of the band
    // looks unchanged and must not be taken for a fixed band.
    static std::optional<ScrollStep> Measure(
        const ImageBuffer& before, const ImageBuffer& after, int compareWidth, const ScrollStep& earlier);
};
