#pragma once

#include "imaging/BitmapTypes.h"
#include "platform/WindowId.h"

#include <optional>
#include <vector>

// Picking other programs' windows: which one is in front, where it is, what lies below ours.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // The window that has the user's focus, or 0.
    virtual WindowId ForegroundWindow() = 0;
    // The window's screen rectangle including its frame, or nothing when it does not exist.
    virtual std::optional<ImageRect> WindowRect(WindowId window) = 0;
    // The visible window right below the given one in stacking order, or 0.
    virtual WindowId WindowBelow(WindowId window) = 0;
    // Raises the window above all others and makes it the active one.
    virtual void BringToTop(WindowId window) = 0;
    // The visible top-level windows, bottom to top.
    virtual std::vector<WindowId> StackingOrder() = 0;
    // Marks another program's window with a 3-pixel black frame drawn into the window itself, and takes
    // the mark away again by having the window and its children repaint.
    virtual void DrawHighlight(WindowId window) = 0;
    virtual void EraseHighlight(WindowId window) = 0;
};
