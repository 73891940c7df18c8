#include "app/FrameCapture.h"

#include "app/DesktopClipboard.h"
#include "app/FrameTextCopy.h"
#include "app/FrameWindowControl.h"
#include "app/PopupDismissal.h"
#include "app/ScrollBarWidth.h"
#include "app/WaylandCapture.h"
#include "app/WaylandSession.h"
#include "capture/CCapDialog.h"
#include "capture/CapturePipeline.h"
#include "capture/ScrollProgressTip.h"
#include "capture/ToolkitScreenInput.h"
#include "editor/codecs/ImageBytes.h"
#include "editor/codecs/SaveImageFile.h"
#include "platform/DBusDesktopNotifier.h"
#include "platform/DesktopScreens.h"
#include "platform/DetachedSoundPlayer.h"
#include "platform/PortalScreenSource.h"
#include "platform/PortalScreenshot.h"
#include "platform/WaylandWindowSystem.h"
#include "platform/X11Display.h"
#include "platform/X11ScreenInput.h"
#include "platform/X11ScreenSource.h"
#include "platform/X11ScrollInput.h"
#include "platform/X11WindowSystem.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QStatusBar>
#include <QThread>
#include <QWidget>

#include <cctype>
#include <string>
#include <vector>

FrameCapture::FrameCapture(CaptureSettings& settings, QWidget& mainWindow, CaptureDocumentSink* documents,
    std::string configPath, std::string soundFolder, CapturePinSink* pins)
    : settings_(settings)
    , window_(mainWindow)
    , withDocuments_(documents != nullptr)
{
    if (WaylandSession::Detected() && PortalScreenshot::Available())
        UsePortal();
    else
        UseX11();
    if (!screen_)
        return;
    sound_ = std::make_unique<DetachedSoundPlayer>();
    mainWindow_ = std::make_unique<FrameWindowControl>(mainWindow);
    CaptureServices services { *screen_, *windows_, *mainWindow_, *clipboard_, *sound_, documents, overlay_.get(),
        SaveImageFile, [](int milliseconds) { QThread::msleep(milliseconds); }, std::move(configPath),
        std::move(soundFolder), pins };
    services.readText
        = [this](const ImageBuffer& region) { FrameTextCopy::Run(region, settings_.OcrLanguage, &window_); };
    pipeline_ = std::make_unique<CapturePipeline>(settings, std::move(services));
    if (portal_)
        pipeline_->SetScreenFailedCheck([this] { return !portal_->Error().empty(); });
    notifier_ = std::make_unique<DBusDesktopNotifier>("Lumora", "lumora");
}

void FrameCapture::UseX11()
{
    display_ = X11Display::Open();
    if (!display_)
        return;
    auto screen = std::make_unique<X11ScreenSource>(*display_);
    auto windows = std::make_unique<X11WindowSystem>(*display_);
    // The overlay must be a window on the same X server as the screen it covers.
    if (QGuiApplication::platformName() == "xcb") {
        input_ = std::make_unique<X11ScreenInput>(*display_);
        overlay_ = std::make_unique<CCapDialog>(*windows, *input_);
    }
    clipboard_ = std::make_unique<DesktopClipboard>(display_->Name());
    popups_ = std::make_unique<PopupDismissal>(screen.get());
    scrollInput_ = std::make_unique<X11ScrollInput>(*display_);
    screen_ = std::move(screen);
    windows_ = std::move(windows);
}

void FrameCapture::UsePortal()
{
    auto portal = std::make_unique<PortalScreenSource>(DesktopScreens(), WaylandCapture::PortalLimit());
    portal_ = portal.get();
    screen_ = std::move(portal);
    windows_ = std::make_unique<WaylandWindowSystem>();
    // On Xwayland the X server still takes the overlay's grab.
    if (QGuiApplication::platformName() == "xcb")
        display_ = X11Display::Open();
    if (display_)
        input_ = std::make_unique<X11ScreenInput>(*display_);
    else
        input_ = std::make_unique<ToolkitScreenInput>();
    overlay_ = std::make_unique<CCapDialog>(*windows_, *input_);
    overlay_->SetScreenPlacer(
        [](const QScreen& screen, const ImageRect& desktop) { return ScreenInPicture(screen, desktop.Width()); });
    clipboard_ = std::make_unique<DesktopClipboard>();
    // Each read of the portal is a new screenshot: nothing to watch settle.
    popups_ = std::make_unique<PopupDismissal>(nullptr);
}

void FrameCapture::Say(const std::string& line)
{
    if (QMainWindow* frame = qobject_cast<QMainWindow*>(&window_))
        frame->statusBar()->showMessage(QString::fromStdString(line));
    auto* box
        = new QMessageBox(QMessageBox::Information, "Lumora", QString::fromStdString(line), QMessageBox::Ok, &window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void FrameCapture::SetScrollingHooks(
    std::function<bool()> stop, std::function<void()> clearStop, std::function<void(int steps)> progress)
{
    if (!pipeline_ || portal_)
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
    const CaptureMode mode = CaptureMode(commandId);
    if (portal_) {
        if (const std::optional<std::string> why = WaylandCapture::WindowProgramRefusal(mode)) {
            Say(*why);
            return;
        }
        // A new picture for every capture, of the monitors as they are now.
        portal_->Reset(DesktopScreens());
    }
    busy_ = true;
    popups_->Dismiss();
    if (pipeline_->Capture(mode))
        SayWhereItWent();
    busy_ = false;
    if (!portal_)
        return;
    if (!portal_->Error().empty())
        Say("The screen could not be read: " + portal_->Error() + ".");
    else if (settings_.CopyToClipboard && clipboard_->EndsWithProgram() && !clipboardNoteShown_) {
        clipboardNoteShown_ = true;
        Say(DesktopClipboard::EndsWithProgramNote());
    }
    // The picture is not kept between captures.
    portal_->Reset(DesktopScreens());
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
    if (portal_) {
        if (capture)
            Say(*WaylandCapture::WindowProgramRefusal(CaptureMode::WindowObject));
        return;
    }
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
    // A pin shows itself.
    if (pipeline_->LastDelivery().pinned)
        return;
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
