#pragma once

// The six capture kinds, valued by the command that requests each.
enum class CaptureMode {
    FullScreen = 32835,
    Region = 32792,
    WindowObject = 32793,
    ActiveWindow = 32794,
    ScrollingWindow = 32921,
    FixedRect = 32929,
};

// What the editor does with a capture (the CapAppViewMode setting).
enum class ViewMode {
    NewWindow = 0,
    ReplaceImage = 1,
    DoNotExport = 2,
};

// How the selection overlay lets the user choose; 2 is not used.
enum class OverlayMode {
    Region = 0,
    WindowObject = 1,
    FixedRect = 3,
};
