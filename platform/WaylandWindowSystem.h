#pragma once

#include "platform/WindowSystem.h"

// Wayland tells a program nothing about other programs' windows: there is no window to pick or raise.
class WaylandWindowSystem final : public WindowSystem {
public:
    WindowId ForegroundWindow() override { return 0; }
    std::optional<ImageRect> WindowRect(WindowId) override { return std::nullopt; }
    WindowId WindowBelow(WindowId) override { return 0; }
    void BringToTop(WindowId) override { }
    std::vector<WindowId> StackingOrder() override { return {}; }
    void DrawHighlight(WindowId) override { }
    void EraseHighlight(WindowId) override { }
};
