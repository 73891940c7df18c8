#pragma once

#include "imaging/BitmapTypes.h"

#include <QLabel>

#include <optional>
#include <vector>

// A small note above all other windows beside the window being scrolled: the steps taken so far and that
// Esc stops. It is placed where the window is not, so it never appears in the captured pixels.
class ScrollProgressTip final : public QLabel {
public:
    ScrollProgressTip();

    // Shows the tip beside the window (device pixels of the desktop); stays hidden when no monitor has room
    // for it outside the window.
    void Begin(const ImageRect& window, const std::vector<ImageRect>& monitors);
    void SetSteps(int steps);
    void End();

    // Where a tip of the given size (device pixels) goes: below the window, else above, right or left of
    // it on a monitor, else in a corner of a monitor, always wholly on one monitor and clear of the
    // window; nothing when there is no such place.
    static std::optional<ImageRect> Place(
        const ImageRect& window, int width, int height, const std::vector<ImageRect>& monitors);
};
