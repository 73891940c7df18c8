#include "app/FrameCapture.h"

#include "app/FrameWindowControl.h"
#include "app/PopupDismissal.h"
#include "app/ScrollBarWidth.h"
#include "capture/CCapDialog.h"
#include "capture/CapturePipeline.h"
#include "capture/ScrollProgressTip.h"
#include "editor/codecs/ImageBytes.h"
#include "editor/codecs/SaveImageFile.h"
#include "platform/DetachedSoundPlayer.h"
#include "platform/X11ClipboardOwner.h"
#include "platform/X11Display.h"
#include "platform/X11ScreenInput.h"
#include "platform/X11ScreenSource.h"
#include "platform/X11ScrollInput.h"
#include "platform/X11WindowSystem.h"

#include <QGuiApplication>
#include <QThread>

FrameCapture::FrameCapture(CaptureSettings& settings, QWidget& mainWindow, CaptureDocumentSink* documents,
    std::string configPath, std::string soundFolder)
    : display_(X11Display::Open())
{
    if (!display_)
        return;
    screen_ = std::make_unique<X11ScreenSource>(*display_);
    windows_ = std::make_unique<X11WindowSystem>(*display_);
    clipboard_ = std::make_unique<X11ClipboardOwner>(&EncodeImageBytes, display_->Name());
    sound_ = std::make_unique<DetachedSoundPlayer>();
    mainWindow_ = std::make_unique<FrameWindowControl>(mainWindow);
    popups_ = std::make_unique<PopupDismissal>(*screen_);
    // The overlay must be a window on the same X server as the screen it covers.
    if (QGuiApplication::platformName() == "xcb") {
        input_ = std::make_unique<X11ScreenInput>(*display_);
        overlay_ = std::make_unique<CCapDialog>(*windows_, *input_);
    }
    CaptureServices services { *screen_, *windows_, *mainWindow_, *clipboard_, *sound_, documents, overlay_.get(),
        SaveImageFile, [](int milliseconds) { QThread::msleep(milliseconds); }, std::move(configPath),
        std::move(soundFolder) };
    pipeline_ = std::make_unique<CapturePipeline>(settings, std::move(services));
    scrollInput_ = std::make_unique<X11ScrollInput>(*display_);
}

void FrameCapture::SetScrollingHooks(
    std::function<bool()> stop, std::function<void()> clearStop, std::function<void(int steps)> progress)
{
    if (!pipeline_)
        return;
    CapturePipeline::ScrollingServices scrolling { scrollInput_.get(), ScrollBarWidth(), std::move(stop),
        std::move(progress), std::move(clearStop), {}, {}, {} };
    // The status bar is hidden with the main window for the whole capture: a tip beside the scrolled
    // window shows the steps.
    if (QGuiApplication::platformName() == "xcb") {
        tip_ = std::make_unique<ScrollProgressTip>();
        scrolling.begin = [this](const ImageRect& window) { tip_->Begin(window, screen_->Monitors()); };
        scrolling.progress = [this, shown = std::move(scrolling.progress)](int steps) {
            if (shown)
                shown(steps);
            tip_->SetSteps(steps);
        };
        scrolling.end = [this] { tip_->End(); };
    }
    pipeline_->SetScrolling(std::move(scrolling));
}

FrameCapture::~FrameCapture() = default;

void FrameCapture::RequestCapture(int commandId)
{
    if (!pipeline_ || busy_)
        return;
    busy_ = true;
    popups_->Dismiss();
    pipeline_->Capture(CaptureMode(commandId));
    busy_ = false;
}

void FrameCapture::HighlightWindow(uint64_t window)
{
    if (pipeline_ && !busy_)
        pipeline_->HighlightWindow(WindowId(window));
}

void FrameCapture::CaptureWindow(bool capture, uint64_t window)
{
    if (!pipeline_ || busy_)
        return;
    busy_ = true;
    if (capture)
        popups_->Dismiss();
    pipeline_->CaptureWindowRequest(capture, WindowId(window));
    busy_ = false;
}
