#pragma once

#include "capture/CaptureMode.h"
#include "imaging/BitmapTypes.h"
#include "platform/WindowId.h"

#include <optional>
#include <vector>

class ScreenSource;

// What the overlay is asked to let the user choose.
struct OverlayRequest {
    OverlayMode mode = OverlayMode::Region;
    int fixedWidth = 0;
    int fixedHeight = 0;
    // The window under every third pixel, row-major, for the window/object mode (see WindowMap).
    const std::vector<WindowId>* windowMap = nullptr;
    int windowMapWidth = 0;
};

// The full-screen selection overlay, shown modally over a frozen copy of the screen.
class SelectionOverlay {
public:
    virtual ~SelectionOverlay() = default;
    // The chosen rectangle in screen coordinates, or nothing when the user cancelled.
    virtual std::optional<ImageRect> Select(const OverlayRequest& request, ScreenSource& frozenScreen) = 0;
    // The window picked in the last window/object selection that ended with a rectangle, or 0.
    virtual WindowId PickedWindow() const { return 0; }
    // Whether the user ended the last selection by asking to pin it.
    virtual bool PinRequested() const { return false; }
    // Whether the user asked for the text of the last region rather than its picture.
    virtual bool TextWanted() const { return false; }
};
