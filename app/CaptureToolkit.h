#pragma once

#include <functional>
#include <memory>

class CapturePinSink;
class ImageBuffer;
class SelectionOverlay;
class X11Display;
class X11WindowSystem;

// What a capture from the command line needs of the widget toolkit: the selection overlay of the
// interactive kinds and the scroll bar width of a scrolling capture. The small front executable runs
// without it (empty members), so that a plain capture does not load the toolkit's libraries.
struct CaptureToolkit {
    // Owns the overlay and whatever it stands on (the application object, the input grab).
    class Overlay {
    public:
        virtual ~Overlay() = default;
        virtual SelectionOverlay& Selection() = 0;
    };

    // The pins a capture or a file is shown in, on whatever display the toolkit runs (made after the
    // overlay, which may have started the toolkit already).
    class Pins {
    public:
        virtual ~Pins() = default;
        virtual CapturePinSink& Sink() = 0;
        // In the middle of the monitor under the pointer.
        virtual void Show(const ImageBuffer& picture) = 0;
        // Returns once no pin is left on the screen.
        virtual void RunUntilClosed() = 0;
    };

    std::function<std::unique_ptr<Overlay>(X11Display&, X11WindowSystem&)> makeOverlay;
    std::function<int()> scrollBarWidth;
    // Nothing when no window can be shown.
    std::function<std::unique_ptr<Pins>()> makePins;
    // The overlay over the portal's picture in a Wayland session; made before anything else makes the
    // application object, which it creates on the display that is there (Wayland, else Xwayland).
    std::function<std::unique_ptr<Overlay>()> makeWaylandOverlay;
};

// The window program's toolkit, on the X server being captured.
CaptureToolkit WindowToolkit();
