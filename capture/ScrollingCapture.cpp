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

ImageBuffer ScrollingCapture::WaitUntilSettled(const ImageRect& window, const ImageBuffer& previous)
{
    const int64_t start = Now();
    ImageBuffer current = Grab(window);
    int64_t since = start;
    for (;;) {
        const int64_t now = Now();
        const bool moved = !SamePixels(current, previous);
        if ((moved && now - since >= kQuietMs) || (!moved && now - start >= kNoMoveMs) || now - start >= kSettleLimitMs)
            return current;
        Sleep(kPollMs);
        ImageBuffer next = Grab(window);
        if (!SamePixels(next, current)) {
            current = std::move(next);
            since = Now();
        }
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
    while (stitcher.Strips() < kMaxStrips && !(hooks_.stop && hooks_.stop()) && !input_.EscapeDown()) {
        input_.WheelDown();
        ImageBuffer settled = WaitUntilSettled(window, previous);
        ImageBuffer kept;
        kept.CopyFrom(settled);
        if (stitcher.Add(std::move(settled)) != ScrollStitcher::Outcome::Moved)
            break;
        previous = std::move(kept);
        steps_ = stitcher.Strips();
        if (hooks_.progress)
            hooks_.progress(steps_);
    }
    input_.RestorePointer();
    return stitcher.Stitch(compareWidth);
}
