#include "capture/PresetSelection.h"

#include "platform/WindowSystem.h"

PresetSelection::PresetSelection(const ImageRect& rect)
    : rect_(rect)
{
}

PresetSelection::PresetSelection(WindowSystem& windows, WindowId window)
    : windows_(&windows)
    , window_(window)
{
}

std::optional<ImageRect> PresetSelection::Select(const OverlayRequest&, ScreenSource&)
{
    if (windows_)
        return windows_->WindowRect(window_);
    return rect_;
}
