#pragma once

#include "platform/WindowId.h"

// The ways a capture shows the main window again.
enum class ShowCommand { Hide, Show, ShowMinimized, ShowNoActivate, ShowNormal };

// The main window as the capture routines hide and restore it.
class MainWindowControl {
public:
    virtual ~MainWindowControl() = default;
    virtual void ShowWindow(ShowCommand command) = 0;
    virtual void MakeForeground() = 0;
    virtual void Invalidate() = 0;
    // The window's id on the desktop, or 0 when there is none.
    virtual WindowId NativeWindow() const = 0;
};

// For captures started without a main window (the command line): nothing to hide or show.
class NoMainWindow final : public MainWindowControl {
public:
    void ShowWindow(ShowCommand) override { }
    void MakeForeground() override { }
    void Invalidate() override { }
    WindowId NativeWindow() const override { return 0; }
};
