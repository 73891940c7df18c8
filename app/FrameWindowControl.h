#pragma once

#include "capture/MainWindowControl.h"

class QWidget;

// The main window as the capture routines hide and show it.
class FrameWindowControl final : public MainWindowControl {
public:
    explicit FrameWindowControl(QWidget& window)
        : window_(window)
    {
    }

    void ShowWindow(ShowCommand command) override;
    void MakeForeground() override;
    void Invalidate() override;
    WindowId NativeWindow() const override;

private:
    QWidget& window_;
};
