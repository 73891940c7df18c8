#pragma once

#include "imaging/BitmapTypes.h"
#include "imaging/ImageBuffer.h"

#include <cstdint>
#include <functional>

class ScreenSource;
class ScrollInput;

// Scrolls a window one wheel notch at a time and stitches what comes into view into one tall image.
class ScrollingCapture {
public:
    static constexpr int kMaxStrips = 199;
    // A grab counts as settled once it stayed the same this long (smooth scrolling animates over frames).
    static constexpr int kQuietMs = 40;
    static constexpr int kPollMs = 8;
    // A notch that changed nothing by then met the end of the content.
    static constexpr int kNoMoveMs = 700;
    // A window that keeps changing (an animation) is taken as it is after this long.
    static constexpr int kSettleLimitMs = 2500;

    struct Hooks {
        // Asked before every step; true ends the capture with what was taken.
        std::function<bool()> stop;
        std::function<void(int steps)> progress;
        std::function<void(int milliseconds)> sleep;
        std::function<int64_t()> nowMs;
    };

    ScrollingCapture(ScreenSource& screen, ScrollInput& input, Hooks hooks);

    // window: the target's screen rectangle, frame included. scrollBarWidth columns at the right take
    // no part in measuring and are cut from the result. Empty when the window cannot be read.
    ImageBuffer Run(const ImageRect& window, int scrollBarWidth);
    int Steps() const { return steps_; }

    // Grabs until two grabs kQuietMs apart are equal, or a limit passes (see above).
    ImageBuffer WaitUntilSettled(const ImageRect& window, const ImageBuffer& previous);

private:
    ImageBuffer Grab(const ImageRect& window);
    void Sleep(int milliseconds);
    int64_t Now() const;

    ScreenSource& screen_;
    ScrollInput& input_;
    Hooks hooks_;
    int steps_ = 0;
};
