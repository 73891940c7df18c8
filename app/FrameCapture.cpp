#include "app/FrameCapture.h"

#include "app/FrameTextCopy.h"
#include "app/FrameWindowControl.h"
#include "app/PopupDismissal.h"
#include "app/ScrollBarWidth.h"
#include "capture/CCapDialog.h"
#include "capture/CapturePipeline.h"
#include "capture/ScrollProgressTip.h"
#include "editor/codecs/ImageBytes.h"
#include "editor/codecs/SaveImageFile.h"
#include "platform/DBusDesktopNotifier.h"
#include "platform/DetachedSoundPlayer.h"
#include "platform/X11ClipboardOwner.h"
#include "platform/X11Display.h"
#include "platform/X11ScreenInput.h"
#include "platform/X11ScreenSource.h"
#include "platform/X11ScrollInput.h"
#include "platform/X11WindowSystem.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QThread>
#include <QWidget>

#include <cctype>
#include <string>
#include <vector>

FrameCapture::FrameCapture(CaptureSettings& settings, QWidget& mainWindow, CaptureDocumentSink* documents,
    std::string configPath, std::string soundFolder)
    : settings_(settings)
    , window_(mainWindow)
    , withDocuments_(documents != nullptr)
    , display_(X11Display::Open())
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
    services.readText
        = [this](const ImageBuffer& region) { FrameTextCopy::Run(region, settings_.OcrLanguage, &window_); };
    pipeline_ = std::make_unique<CapturePipeline>(settings, std::move(services));
    scrollInput_ = std::make_unique<X11ScrollInput>(*display_);
    notifier_ = std::make_unique<DBusDesktopNotifier>("Lumora", "lumora");
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
    if (pipeline_->Capture(CaptureMode(commandId)))
        SayWhereItWent();
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
    if (pipeline_->CaptureWindowRequest(capture, WindowId(window)))
        SayWhereItWent();
    busy_ = false;
}

void FrameCapture::SayWhereItWent()
{
    ++delivered_;
    if (!settings_.NotifyWhenHidden || (window_.isVisible() && !window_.isMinimized()))
        return;
    const CapturePipeline::DeliveryOutcome& delivery = pipeline_->LastDelivery();
    const std::string summary = "Capture " + std::to_string(delivered_) + ": " + std::to_string(delivery.width) + " x "
        + std::to_string(delivery.height);
    QMdiSubWindow* tab = nullptr;
    const ViewMode mode = ViewMode(settings_.CapAppViewMode);
    if (withDocuments_ && (mode == ViewMode::NewWindow || mode == ViewMode::ReplaceImage))
        if (auto* area = window_.findChild<QMdiArea*>())
            // The frame's own rule: with the window away no tab is active, the current one took the capture.
            tab = area->activeSubWindow() ? area->activeSubWindow() : area->currentSubWindow();
    notifier_->Notify(summary, WhereItWent(tab ? tab->widget() : nullptr),
        [window = QPointer<QWidget>(&window_), tab = QPointer<QMdiSubWindow>(tab)] {
            if (!window)
                return;
            window->showNormal();
            window->raise();
            window->activateWindow();
            // The tab may have been closed since; the window is shown all the same.
            if (tab && tab->mdiArea())
                tab->mdiArea()->setActiveSubWindow(tab);
        });
}

std::string FrameCapture::WhereItWent(QWidget* tab) const
{
    std::vector<std::string> places;
    if (tab)
        places.push_back("tab \"" + tab->windowTitle().toStdString() + "\"");
    if (pipeline_->LastDelivery().copied)
        places.push_back("copied");
    if (const auto& saved = pipeline_->LastAutoSave()) {
        const std::string name = QFileInfo(QString::fromStdString(saved->path)).fileName().toStdString();
        places.push_back(saved->written ? "saved as " + name : "not saved: " + name);
    }
    std::string text;
    for (const std::string& place : places)
        text += (text.empty() ? "" : ", ") + place;
    if (!text.empty())
        text[0] = char(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}
