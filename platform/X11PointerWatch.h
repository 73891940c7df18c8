#pragma once

#include "platform/ScreenInput.h"

#include <QAbstractNativeEventFilter>

#include <functional>

// Reads the toolkit's pointer events as the X server sent them (core or XInput 2), before the toolkit
// turns them into its logical units, and hands their device positions on.
class X11PointerWatch final : public QAbstractNativeEventFilter {
public:
    // xinputOpcode: the server's major opcode of XInput, whose generic events carry the pointer.
    X11PointerWatch(int xinputOpcode, std::function<void(const PointerEvent&)> handler);
    ~X11PointerWatch() override;
    X11PointerWatch(const X11PointerWatch&) = delete;
    X11PointerWatch& operator=(const X11PointerWatch&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    int xinputOpcode_;
    std::function<void(const PointerEvent&)> handler_;
};
