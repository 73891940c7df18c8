#pragma once

#include "platform/WindowSystem.h"

#include <vector>

class X11Display;

// Window picking on X11 through the window manager's hints (EWMH): _NET_ACTIVE_WINDOW for the foreground
// window, _NET_FRAME_EXTENTS for the frame around it, _GTK_FRAME_EXTENTS for the invisible margins of a
// frame the program draws itself, _NET_CLIENT_LIST_STACKING for the stacking order.
// Without a window manager it falls back to the input focus and the root window's children.
class X11WindowSystem final : public WindowSystem {
public:
    explicit X11WindowSystem(X11Display& display);

    WindowId ForegroundWindow() override;
    std::optional<ImageRect> WindowRect(WindowId window) override;
    WindowId WindowBelow(WindowId window) override;
    void BringToTop(WindowId window) override;
    std::vector<WindowId> StackingOrder() override;
    void DrawHighlight(WindowId window) override;
    void EraseHighlight(WindowId window) override;

private:
    std::vector<unsigned long> ReadProperty(WindowId window, const char* name, unsigned long type) const;
    WindowId TopLevelAncestor(WindowId window) const;
    std::vector<WindowId> RootChildren() const;
    bool IsShown(WindowId window) const;
    void ClearWithChildren(unsigned long window, int depth) const;

    X11Display& display_;
};
