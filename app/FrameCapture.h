#pragma once

#include "app/CaptureRequestSink.h"
#include "settings/CaptureSettings.h"

#include <functional>
#include <memory>

class CaptureDocumentSink;
class CapturePinSink;
class DBusDesktopNotifier;
class CCapDialog;
class CapturePipeline;
class DesktopClipboard;
class DetachedSoundPlayer;
class FrameWindowControl;
class PopupDismissal;
class PortalScreenSource;
class ScreenInput;
class ScreenSource;
class ScrollProgressTip;
class QWidget;
class WindowSystem;
class X11Display;
class X11ScrollInput;

// The window program's capture routines on the live screen: every capture request (menu, toolbar, tray,
// hot key, session bus) runs here against the frame's settings record. In a Wayland session with the desktop
// portal the screen is the portal's (also when the program itself runs on Xwayland) and the kinds that need
// other programs' windows say in one line that they cannot run; otherwise it is X11's. Without either every
// request does nothing. Documents are optional: without them a capture goes to the clipboard and the
// auto-saved file only.
class FrameCapture final : public CaptureRequestSink {
public:
    // pins: where captures the user asked to pin go (none: nothing is pinned).
    FrameCapture(CaptureSettings& settings, QWidget& mainWindow, CaptureDocumentSink* documents, std::string configPath,
        std::string soundFolder, CapturePinSink* pins = nullptr);
    ~FrameCapture() override;

    bool IsAvailable() const { return pipeline_ != nullptr; }
    // The selection overlay, for driving it in process where no pointer exists (a headless compositor).
    CCapDialog* Overlay() const { return overlay_.get(); }
    // Whether captures read the screen through the desktop portal.
    bool ReadsThroughPortal() const { return portal_ != nullptr; }
    // The frame's Esc flag, and where the steps of a running scrolling capture are shown.
    void SetScrollingHooks(
        std::function<bool()> stop, std::function<void()> clearStop, std::function<void(int steps)> progress);
    void RequestCapture(int commandId) override;
    void HighlightWindow(uint64_t window) override;
    void CaptureWindow(bool capture, uint64_t window) override;

private:
    void UseX11();
    void UsePortal();
    // A line the user reads even with the main window away: a message box that does not block.
    void Say(const std::string& line);
    // One notification when the capture ended with the main window not on show: where the capture went.
    void SayWhereItWent();
    std::string WhereItWent(QWidget* tab) const;

    CaptureSettings& settings_;
    QWidget& window_;
    bool withDocuments_;
    // Captures delivered since the program started; the notification names each by its number.
    int delivered_ = 0;
    std::unique_ptr<X11Display> display_;
    std::unique_ptr<ScreenSource> screen_;
    PortalScreenSource* portal_ = nullptr;
    std::unique_ptr<WindowSystem> windows_;
    std::unique_ptr<DesktopClipboard> clipboard_;
    std::unique_ptr<DetachedSoundPlayer> sound_;
    std::unique_ptr<FrameWindowControl> mainWindow_;
    std::unique_ptr<ScreenInput> input_;
    std::unique_ptr<CCapDialog> overlay_;
    std::unique_ptr<PopupDismissal> popups_;
    std::unique_ptr<CapturePipeline> pipeline_;
    std::unique_ptr<X11ScrollInput> scrollInput_;
    std::unique_ptr<ScrollProgressTip> tip_;
    std::unique_ptr<DBusDesktopNotifier> notifier_;
    // That the clipboard ends with the program is said once.
    bool clipboardNoteShown_ = false;
    // A request arriving while a capture runs (a hot key during the wait) is ignored.
    bool busy_ = false;
};
