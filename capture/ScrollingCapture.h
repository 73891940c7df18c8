#pragma once

#include "imaging/BitmapTypes.h"
#include "imaging/ImageBuffer.h"

#include <cstdint>
#include <functional>

class ScreenSource;
class ScrollInput;
class ScrollStitcher;

// Scrolls a window one wheel notch at a time and stitches what comes into view into one tall image.
class ScrollingCapture {
public:
    static constexpr int kMaxStrips = 199;
    static constexpr int kPollMs = 8;
    // The content counts as settled once it stayed the same this long (smooth scrolling animates over
    // frames, some 16 ms apart, more on a busy machine).
    static constexpr int kQuietMs = 40;
    // A notch that changed nothing by then met the end of the content.
    static constexpr int kNoMoveMs = 700;
    // Notches of travel still to come when the next notch goes out (see Run).
    static constexpr double kLeadNotches = 1.5;
    // A window that keeps changing in a way no shift explains (an animation) ends the capture after this.
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

    // Adds every frame of the content's movement to the stitcher, until it moved at least enough rows
    // (0: until it settled), or nothing moved for kNoMoveMs. previous is the last frame taken. Returns
    // the rows it moved, or -1 when the window changed in a way no shift explains.
    int Follow(const ImageRect& window, ScrollStitcher& stitcher, ImageBuffer& previous, int enough);

private:
    ImageBuffer Grab(const ImageRect& window);
    void Sleep(int milliseconds);
    int64_t Now() const;

    ScreenSource& screen_;
    ScrollInput& input_;
    Hooks hooks_;
    int steps_ = 0;
};
