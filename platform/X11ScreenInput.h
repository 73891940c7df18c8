#pragma once

#include "platform/ScreenInput.h"

#include <QPointer>
#include <QWindow>

class X11Display;

// Grabs through the toolkit's own connection (the events must reach the toolkit's window) and moves the
// pointer with XTest, so that the server reports the motion like any other.
class X11ScreenInput final : public ScreenInput {
public:
    explicit X11ScreenInput(X11Display& display);

    bool Grab(WindowId window) override;
    void Release() override;
    void MovePointer(int x, int y) override;

private:
    X11Display& display_;
    QPointer<QWindow> grabbed_;
};
