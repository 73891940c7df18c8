#pragma once

#include "platform/ScreenInput.h"

// The overlay's input where no program may grab the pointer or move it (Wayland): the full-screen overlay
// has the keyboard focus the compositor gives it, pointer events come through the toolkit, and the arrow
// keys move the overlay's own pointer position, which is reported to the watcher as a move.
class ToolkitScreenInput final : public ScreenInput {
public:
    bool Grab(WindowId) override { return true; }
    void Release() override { }
    void MovePointer(int x, int y) override
    {
        if (watcher_)
            watcher_({ PointerEvent::Kind::Move, 0, x, y });
    }
    // The toolkit reports the pointer itself: false, but the moves made here are told to the handler.
    bool WatchPointer(std::function<void(const PointerEvent&)> handler) override
    {
        watcher_ = std::move(handler);
        return false;
    }

private:
    std::function<void(const PointerEvent&)> watcher_;
};
