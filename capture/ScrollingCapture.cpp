#include "capture/ScrollingCapture.h"

#include "capture/ScrollStitcher.h"
#include "platform/GrabScreenRect.h"
#include "platform/ScrollInput.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

bool SamePixels(const ImageBuffer& a, const ImageBuffer& b)
{
    return a.Width() == b.Width() && a.Height() == b.Height() && a.BitCount() == b.BitCount()
        && std::memcmp(a.Pixels(), b.Pixels(), a.PixelBytes()) == 0;
}

} // namespace

ScrollingCapture::ScrollingCapture(ScreenSource& screen, ScrollInput& input, Hooks hooks)
    : screen_(screen)
    , input_(input)
    , hooks_(std::move(hooks))
{
}

void ScrollingCapture::Sleep(int milliseconds)
{
    if (hooks_.sleep)
        hooks_.sleep(milliseconds);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

int64_t ScrollingCapture::Now() const
{
    if (hooks_.nowMs)
        return hooks_.nowMs();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

ImageBuffer ScrollingCapture::Grab(const ImageRect& window)
{
    ImageBuffer image;
    GrabScreenRect(image, screen_, window.left, window.top, window.right, window.bottom);
    return image;
}

int ScrollingCapture::Follow(const ImageRect& window, ScrollStitcher& stitcher, ImageBuffer& previous, int enough)
{
    const int64_t start = Now();
    int64_t lastChange = start;
    int moved = 0;
    bool unexplained = false;
    // A grab that differs from the last frame taken is used once the next grab shows it again, so
    // that a frame caught while the program draws it is never stitched.
    ImageBuffer candidate;
    for (;;) {
        ImageBuffer grab = Grab(window);
        const int64_t now = Now();
        if (!candidate.IsEmpty() && SamePixels(grab, candidate)) {
            ImageBuffer kept;
            kept.CopyFrom(grab);
            const ScrollStitcher::Outcome outcome = stitcher.Add(std::move(grab));
            unexplained = outcome == ScrollStitcher::Outcome::Lost;
            if (!unexplained) {
                if (outcome == ScrollStitcher::Outcome::Moved)
                    moved += stitcher.LastShift();
                previous = std::move(kept);
                candidate = ImageBuffer();
                if (enough > 0 && moved >= enough)
                    return moved;
            }
        } else if (!SamePixels(grab, candidate.IsEmpty() ? previous : candidate)) {
            candidate = std::move(grab);
            lastChange = now;
        }
        const bool quiet = now - lastChange >= (moved > 0 ? kQuietMs : kNoMoveMs);
        if (quiet || now - start >= kSettleLimitMs)
            return unexplained && moved == 0 ? -1 : moved;
        Sleep(kPollMs);
    }
}

ImageBuffer ScrollingCapture::Run(const ImageRect& window, int scrollBarWidth)
{
    steps_ = 0;
    ImageBuffer first = Grab(window);
    if (first.IsEmpty())
        return first;
    const int compareWidth = std::max(first.Width() - std::max(scrollBarWidth, 0), 1);
    ScrollStitcher stitcher(compareWidth);
    ImageBuffer previous;
    previous.CopyFrom(first);
    stitcher.Start(std::move(first));

    // The middle of the window lies in its client area for any frame the window manager draws.
    input_.PlacePointer((window.left + window.right) / 2, (window.top + window.bottom) / 2);
    // The first notch is followed until it settles, which tells how far a notch moves. Later notches go
    // out while the content still moves, once no more than kLeadNotches of travel is left to see, so
    // that a smooth scroll's animations run into each other instead of one after the other; bounding
    // what is still to come keeps every frame's shift within reach.
    int notchRows = 0;
    int seen = 0;
    bool stopped = false;
    while (steps_ < kMaxStrips && !(stopped = (hooks_.stop && hooks_.stop()) || input_.EscapeDown())) {
        input_.WheelDown();
        const int toSee = int((steps_ + 1 - kLeadNotches) * notchRows) - seen;
        const int moved = Follow(window, stitcher, previous, steps_ == 0 ? 0 : std::max(toSee, 1));
        if (moved <= 0)
            break;
        seen += moved;
        ++steps_;
        // A first notch whose animation paused longer than the settle wait is not its whole distance.
        notchRows = std::max(notchRows, seen / steps_);
        if (hooks_.progress)
            hooks_.progress(steps_);
    }
    // The last notches may still be moving the content.
    if (steps_ == kMaxStrips && !stopped)
        Follow(window, stitcher, previous, 0);
    input_.RestorePointer();
    return stitcher.Stitch(compareWidth);
}
