#pragma once

#include "platform/ScrollInput.h"

class X11Display;

// Wheel notches as XTest presses of button 5; Esc read from the keyboard state, so that it stops a
// capture whichever program has the focus.
class X11ScrollInput final : public ScrollInput {
public:
    explicit X11ScrollInput(X11Display& display);

    void PlacePointer(int x, int y) override;
    void RestorePointer() override;
    void WheelDown() override;
    bool EscapeDown() override;

private:
    X11Display& display_;
    bool saved_ = false;
    int savedX_ = 0;
    int savedY_ = 0;
    unsigned char escape_ = 0;
};
