#pragma once

#include "platform/ScreenInput.h"

#include <QPointer>
#include <QWindow>

#include <memory>

class X11Display;
class X11PointerWatch;

// Grabs through the toolkit's own connection (the events must reach the toolkit's window) and moves the
// pointer with XTest, so that the server reports the motion like any other.
class X11ScreenInput final : public ScreenInput {
public:
    explicit X11ScreenInput(X11Display& display);
    ~X11ScreenInput() override;

    bool Grab(WindowId window) override;
    void Release() override;
    void MovePointer(int x, int y) override;
    std::optional<PointerPosition> Pointer() override;
    bool WatchPointer(std::function<void(const PointerEvent&)> handler) override;

private:
    X11Display& display_;
    QPointer<QWindow> grabbed_;
    std::unique_ptr<X11PointerWatch> watch_;
};
