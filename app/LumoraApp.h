#pragma once

#include "settings/CaptureSettings.h"

#include <QApplication>

#include <memory>

class CMainFrame;
class ImageBuffer;
class FrameCapture;
class FrameDocuments;
class IniSettingsStore;
class LumoraDBusService;
class PinBoard;

// The application object: creates the main frame and runs the program until the frame closes. Pins on
// the screen then keep it running until the last of them closes: closing the main window does not take
// away pictures the user put on the screen.
class LumoraApp : public QApplication {
    Q_OBJECT
public:
    LumoraApp(int& argc, char** argv);
    ~LumoraApp() override;

    // Creates and shows the main frame; file names on the command line open nothing.
    bool InitInstance();
    CMainFrame* MainFrame() const { return frame_.get(); }

private:
    void OpenInEditor(const ImageBuffer& picture);
    void OnFrameClosed();

    bool frameClosed_ = false;
    // The settings record of config.ini, shared by the frame and the capture routines.
    CaptureSettings settings_;
    std::unique_ptr<IniSettingsStore> store_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<FrameDocuments> documents_;
    std::unique_ptr<FrameCapture> capture_;
    std::unique_ptr<LumoraDBusService> bus_;
    std::unique_ptr<PinBoard> pins_;
};

// Starts the window program; returns its exit code.
int RunLumoraGui(int argc, char** argv);
