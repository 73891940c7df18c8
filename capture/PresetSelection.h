#pragma once

#include "capture/SelectionOverlay.h"

class WindowSystem;

// Answers the overlay's question without showing anything, for scripts: a rectangle given beforehand, or
// the rectangle (frame included) of a given window as it stands when the capture reads the screen.
class PresetSelection final : public SelectionOverlay {
public:
    explicit PresetSelection(const ImageRect& rect);
    PresetSelection(WindowSystem& windows, WindowId window);

    std::optional<ImageRect> Select(const OverlayRequest& request, ScreenSource& frozenScreen) override;
    WindowId PickedWindow() const override { return window_; }

private:
    ImageRect rect_;
    WindowSystem* windows_ = nullptr;
    WindowId window_ = 0;
};
