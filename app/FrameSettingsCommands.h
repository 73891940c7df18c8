#pragma once

#include "app/ShellSettings.h"
#include "settings/CaptureSettings.h"

#include <functional>
#include <string>

class DesktopIntegration;
class QWidget;

// The frame's two settings commands: "Capture Setting" and "Define hotkey". Confirmed values reach
// config.ini (through the dialogs) and the records the frame and the capture routines work from.
class FrameSettingsCommands {
public:
    FrameSettingsCommands(QWidget& frame, ShellSettings& shell, CaptureSettings& record, std::string iniPath,
        std::function<DesktopIntegration*()> desktop);

    void RunCaptureSetting();
    // Our hot keys are given back while the dialog is open and taken again afterwards when enabled.
    void RunDefineHotkey();

private:
    QWidget& frame_;
    ShellSettings& shell_;
    CaptureSettings& record_;
    std::string iniPath_;
    std::function<DesktopIntegration*()> desktop_;
};
