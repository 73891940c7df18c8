#pragma once

#include "platform/WindowId.h"

#include <functional>
#include <optional>

// A pointer event as the X server reports it: the position in device pixels of the desktop, exact at every
// scale (the toolkit's own positions are rounded to its logical units).
struct PointerEvent {
    enum class Kind { Move, Press, Release };
    Kind kind = Kind::Move;
    int button = 0; // 1 left, 2 middle, 3 right; 0 for a move
    int x = 0;
    int y = 0;
};

struct PointerPosition {
    int x = 0;
    int y = 0;
};

// The pointer and the keyboard as a full-screen window of ours takes them: even a window that the window
// manager never gives the focus receives every key and button while it holds them.
class ScreenInput {
public:
    virtual ~ScreenInput() = default;
    // Takes both for the window; false (holding neither) while another client holds one or the window
    // is not viewable yet.
    virtual bool Grab(WindowId window) = 0;
    virtual void Release() = 0;
    // Puts the pointer at a screen point as if the user had moved it there.
    virtual void MovePointer(int x, int y) = 0;
    // Where the pointer is now, in device pixels.
    virtual std::optional<PointerPosition> Pointer() { return std::nullopt; }
    // Every pointer event that reaches the toolkit's windows goes to the handler as well, until it is
    // replaced by an empty one. False when this input cannot tell them.
    virtual bool WatchPointer(std::function<void(const PointerEvent&)> handler)
    {
        (void)handler;
        return false;
    }
};
