#pragma once

// What a scrolling capture does to the window it scrolls: wheel notches sent with the pointer over the
// window, and the Esc key read wherever the focus is.
class ScrollInput {
public:
    virtual ~ScrollInput() = default;
    // Puts the pointer at the screen point, noting where the user had it.
    virtual void PlacePointer(int x, int y) = 0;
    // Puts the pointer back where PlacePointer found it.
    virtual void RestorePointer() = 0;
    // One notch of the wheel towards the user, at the pointer.
    virtual void WheelDown() = 0;
    virtual bool EscapeDown() = 0;
};
