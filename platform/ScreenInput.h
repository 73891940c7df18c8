#pragma once

#include "platform/WindowId.h"

// The pointer and the keyboard as a full-screen window of ours takes them: even a window that the window
// manager never gives the focus receives every key and button while it holds them.
class ScreenInput {
public:
    virtual ~ScreenInput() = default;
    // Takes both for the window; false (holding neither) while another client holds one or the window
    // is not viewable yet.
    virtual bool Grab(WindowId window) = 0;
    virtual void Release() = 0;
    // Puts the pointer at a screen point as if the user had moved it there.
    virtual void MovePointer(int x, int y) = 0;
};
