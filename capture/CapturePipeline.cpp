#include "capture/CapturePipeline.h"

#include "capture/CaptureDocumentSink.h"
#include "capture/CapturePinSink.h"
#include "capture/DesktopMonitors.h"
#include "capture/MainWindowControl.h"
#include "capture/ScrollingCapture.h"
#include "capture/SelectionOverlay.h"
#include "capture/WindowMap.h"
#include "imaging/ImageBuffer.h"
#include "platform/ClipboardSink.h"
#include "platform/GrabScreenRect.h"
#include "platform/ImageScreenSource.h"
#include "platform/SoundPlayer.h"
#include "platform/WindowSystem.h"
#include "settings/StartNumLock.h"

#include <chrono>
#include <cstdlib>
#include <thread>

CapturePipeline::CapturePipeline(CaptureSettings& settings, CaptureServices services)
    : settings_(settings)
    , services_(std::move(services))
{
}

void CapturePipeline::Wait(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    if (services_.sleep)
        services_.sleep(milliseconds);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::optional<CursorImage> CapturePipeline::CursorIfWanted()
{
    return settings_.IncludeCursor ? services_.screen.Cursor() : std::nullopt;
}

ImageBuffer CapturePipeline::Grab(ScreenSource& source, const ImageRect& rect, const std::optional<CursorImage>& cursor)
{
    ImageBuffer image;
    if (!GrabScreenRect(image, source, rect.left, rect.top, rect.right, rect.bottom))
        return image;
    DesktopMonitors::BlankOutside(image, rect.left, rect.top, source.Monitors());
    if (cursor)
        CompositeCursor(image, *cursor, rect.left, rect.top);
    return image;
}

QImage CapturePipeline::GrabPicture(
    const ImageRect& rect, const std::vector<ImageRect>& monitors, const std::optional<CursorImage>& cursor)
{
    if (services_.screen.BitsPerPixel() <= 8)
        return {};
    QImage picture = services_.screen.ReadPicture(rect);
    DesktopMonitors::BlankOutside(picture, rect.left, rect.top, monitors);
    if (cursor)
        CompositeCursor(picture, *cursor, rect.left, rect.top);
    return picture;
}

void CapturePipeline::RestoreAfterDelivery()
{
    services_.mainWindow.ShowWindow(settings_.RestoreWndAftCap ? ShowCommand::Show : ShowCommand::ShowMinimized);
}

int CapturePipeline::CaptureFullScreen()
{
    if (settings_.HideWndBeforCap)
        services_.mainWindow.ShowWindow(ShowCommand::Hide);
    Wait(Delay(settings_.CapDelayTime));
    // The primary monitor sits anywhere in the desktop, not necessarily at its top-left corner.
    const ImageRect area = fullScreenArea_.value_or(services_.screen.PrimaryScreenRect());
    const std::optional<CursorImage> cursor = CursorIfWanted();
    const ImageBuffer image = Grab(services_.screen, area, cursor);
    if (image.IsEmpty() && screenFailed_ && screenFailed_()) {
        services_.mainWindow.ShowWindow(ShowCommand::ShowNoActivate);
        return 0;
    }
    if (!PinInstead(image, area, false))
        DeliverCapture(image);
    RestoreAfterDelivery();
    return 1;
}

int CapturePipeline::CaptureActiveWindow()
{
    if (settings_.HideWndBeforCap) {
        // Asked before hiding: a hidden window has no place in the stacking order on X11.
        const WindowId below = services_.windows.WindowBelow(services_.mainWindow.NativeWindow());
        services_.mainWindow.ShowWindow(ShowCommand::Hide);
        if (below)
            services_.windows.BringToTop(below);
    }
    Wait(Delay(kActiveWindowDelay));
    const WindowId foreground = services_.windows.ForegroundWindow();
    const std::optional<ImageRect> rect
        = foreground ? services_.windows.WindowRect(foreground) : std::optional<ImageRect>();
    if (!rect || rect->left < 0 || rect->top < 0 || rect->right < 0 || rect->bottom < 0 || rect->Width() <= 0
        || rect->Height() <= 0) {
        services_.mainWindow.MakeForeground();
        services_.mainWindow.ShowWindow(ShowCommand::ShowNoActivate);
        return 0;
    }
    const ImageRect shown = DesktopMonitors::Clip(*rect, services_.screen.Monitors());
    const ImageRect taken = shown.IsEmpty() ? *rect : shown;
    const ImageBuffer image = Grab(services_.screen, taken, std::nullopt);
    if (!PinInstead(image, taken, false))
        DeliverCapture(image);
    if (settings_.RestoreWndAftCap) {
        services_.mainWindow.MakeForeground();
        services_.mainWindow.ShowWindow(ShowCommand::ShowNoActivate);
    } else {
        services_.mainWindow.ShowWindow(ShowCommand::Hide);
    }
    return 1;
}

int CapturePipeline::CaptureRegion()
{
    return CaptureThroughOverlay(OverlayMode::Region);
}

int CapturePipeline::CaptureFixedRect()
{
    return CaptureThroughOverlay(OverlayMode::FixedRect);
}

int CapturePipeline::CaptureWindowObject()
{
    return CaptureThroughOverlay(OverlayMode::WindowObject);
}

int CapturePipeline::CaptureScrollingWindow(WindowId target)
{
    if (scrolling_.clearStop)
        scrolling_.clearStop();
    // The wait comes before hiding here, unlike the other kinds.
    Wait(Delay(settings_.CapDelayTime));
    const WindowId below = services_.windows.WindowBelow(services_.mainWindow.NativeWindow());
    services_.mainWindow.ShowWindow(ShowCommand::Hide);
    if (below)
        services_.windows.BringToTop(below);
    ImageScreenSource frozen;
    const std::optional<ImageRect> rect = target
        ? services_.windows.WindowRect(target)
        : SelectOnFrozenScreen(OverlayMode::WindowObject, std::nullopt, frozen);
    if (!rect || rect->Width() < 1 || rect->Height() < 1 || !scrolling_.input) {
        services_.mainWindow.ShowWindow(ShowCommand::ShowNoActivate);
        return 0;
    }
    if (!target)
        target = services_.overlay->PickedWindow();
    Wait(kScrollStartDelay);
    if (target)
        services_.windows.BringToTop(target);
    ScrollingCapture::Hooks hooks { scrolling_.stop, scrolling_.progress, services_.sleep, scrolling_.nowMs };
    ScrollingCapture scrolling(services_.screen, *scrolling_.input, std::move(hooks));
    if (scrolling_.begin)
        scrolling_.begin(*rect);
    const ImageBuffer image = scrolling.Run(*rect, scrolling_.scrollBarWidth);
    if (scrolling_.end)
        scrolling_.end();
    if (image.IsEmpty()) {
        services_.mainWindow.ShowWindow(ShowCommand::ShowNoActivate);
        return 0;
    }
    DeliverCapture(image);
    if (settings_.RestoreWndAftCap) {
        services_.mainWindow.MakeForeground();
        if (target)
            services_.windows.BringToTop(target);
        services_.mainWindow.ShowWindow(ShowCommand::Show);
    } else {
        services_.mainWindow.ShowWindow(ShowCommand::ShowMinimized);
    }
    services_.mainWindow.Invalidate();
    return 1;
}

std::optional<ImageRect> CapturePipeline::SelectOnFrozenScreen(
    OverlayMode mode, const std::optional<CursorImage>& cursor, ImageScreenSource& frozen)
{
    if (!services_.overlay)
        return std::nullopt;
    // The overlay shows, and the capture is cut from, the whole desktop as it stood when the overlay opened.
    const ImageRect desktop = services_.screen.DesktopRect();
    const WindowMap map = mode == OverlayMode::WindowObject
        ? WindowMap::Build(services_.windows, { desktop.right, desktop.bottom })
        : WindowMap();
    frozen.SetMonitors(services_.screen.Monitors());
    frozen.SetPicture(GrabPicture({ 0, 0, desktop.right, desktop.bottom }, frozen.Monitors(), cursor));
    frozen.SetBitsPerPixel(services_.screen.BitsPerPixel());
    OverlayRequest request;
    request.mode = mode;
    request.fixedWidth = settings_.FixRectWidth;
    request.fixedHeight = settings_.FixRectHeight;
    if (mode == OverlayMode::WindowObject) {
        request.windowMap = &map.Entries();
        request.windowMapWidth = map.Width();
    }
    return services_.overlay->Select(request, frozen);
}

int CapturePipeline::CaptureThroughOverlay(OverlayMode mode)
{
    WindowId below = 0;
    if (mode == OverlayMode::WindowObject) {
        below = services_.windows.WindowBelow(services_.mainWindow.NativeWindow());
        services_.mainWindow.ShowWindow(ShowCommand::Hide);
    } else if (settings_.HideWndBeforCap) {
        services_.mainWindow.ShowWindow(ShowCommand::Hide);
    }
    Wait(Delay(settings_.CapDelayTime));
    const std::optional<CursorImage> cursor = CursorIfWanted();
    if (below)
        services_.windows.BringToTop(below);

    ImageScreenSource frozen;
    const std::optional<ImageRect> selected = SelectOnFrozenScreen(mode, cursor, frozen);
    // What no monitor shows is not captured: the result is cut to the parts that monitors show.
    const std::optional<ImageRect> chosen
        = selected ? std::optional(DesktopMonitors::Clip(*selected, frozen.Monitors())) : std::nullopt;
    if (!chosen || chosen->Width() < 1 || chosen->Height() < 1) {
        services_.mainWindow.ShowWindow(ShowCommand::ShowNoActivate);
        return 0;
    }
    const ImageBuffer image = Grab(frozen, *chosen, std::nullopt);
    if (services_.readText && services_.overlay->TextWanted()) {
        // Back as after a cancelled overlay (never minimised): the text's dialog belongs to the window.
        services_.mainWindow.ShowWindow(ShowCommand::ShowNoActivate);
        services_.readText(image);
        return 1;
    }
    if (!PinInstead(image, *chosen, services_.overlay->PinRequested()))
        DeliverCapture(image);
    RestoreAfterDelivery();
    services_.mainWindow.Invalidate();
    return 1;
}

int CapturePipeline::Capture(CaptureMode mode)
{
    switch (mode) {
    case CaptureMode::FullScreen:
        return CaptureFullScreen();
    case CaptureMode::Region:
        return CaptureRegion();
    case CaptureMode::WindowObject:
        return CaptureWindowObject();
    case CaptureMode::ActiveWindow:
        return CaptureActiveWindow();
    case CaptureMode::ScrollingWindow:
        return CaptureScrollingWindow();
    case CaptureMode::FixedRect:
        return CaptureFixedRect();
    }
    return 0;
}

int CapturePipeline::CaptureByMessageType(int type)
{
    switch (type) {
    case 0:
        return CaptureFullScreen();
    case 1:
        return CaptureWindowObject();
    case 2:
        return CaptureRegion();
    case 3:
        return CaptureActiveWindow();
    default:
        return 0;
    }
}

void CapturePipeline::EraseHighlight()
{
    if (highlighted_ != 0)
        services_.windows.EraseHighlight(highlighted_);
}

void CapturePipeline::HighlightWindow(WindowId window)
{
    EraseHighlight();
    highlighted_ = window;
    services_.windows.DrawHighlight(window);
}

int CapturePipeline::CaptureWindowRequest(bool capture, WindowId window)
{
    if (capture)
        return CaptureGivenWindow(window);
    EraseHighlight();
    highlighted_ = 0;
    return 0;
}

int CapturePipeline::CaptureGivenWindow(WindowId window)
{
    EraseHighlight();
    highlighted_ = window;
    const std::optional<ImageRect> rect = services_.windows.WindowRect(window);
    if (!rect)
        return 0;
    const ImageBuffer image = Grab(services_.screen, *rect, std::nullopt);
    RecordDelivery(image);
    if (settings_.CopyToClipboard)
        CopyImageToClipboard(image);
    Wait(kGivenWindowDelay);
    HandToEditor(image);
    AutoSaveCapture(image);
    services_.mainWindow.ShowWindow(ShowCommand::ShowNormal);
    return 1;
}

void CapturePipeline::RecordDelivery(const ImageBuffer& image)
{
    // The same test as the clipboard's own: an image it refuses was not copied.
    const bool copied = settings_.CopyToClipboard && !image.IsEmpty() && image.BitCount() >= 24;
    lastDelivery_ = DeliveryOutcome { image.Width(), std::abs(image.Height()), copied };
}

bool CapturePipeline::PinInstead(const ImageBuffer& image, const ImageRect& where, bool overlayAsked)
{
    if (!services_.pins || !(pinCaptures_ || overlayAsked) || image.IsEmpty())
        return false;
    lastDelivery_ = DeliveryOutcome { image.Width(), std::abs(image.Height()), false, true };
    services_.pins->PinCapture(image, where);
    return true;
}

void CapturePipeline::DeliverCapture(const ImageBuffer& image)
{
    RecordDelivery(image);
    if (settings_.CopyToClipboard)
        CopyImageToClipboard(image);
    HandToEditor(image);
    AutoSaveCapture(image);
}

void CapturePipeline::CopyImageToClipboard(const ImageBuffer& image)
{
    if (image.IsEmpty() || image.BitCount() < 24)
        return;
    services_.clipboard.SetImage(image);
}

void CapturePipeline::HandToEditor(const ImageBuffer& image)
{
    if (settings_.PlaySoundWhenCap)
        services_.sound.Play(services_.soundFolder + "capture.wav");
    CaptureDocumentSink* documents = services_.documents;
    if (!documents)
        return;
    switch (ViewMode(settings_.CapAppViewMode)) {
    case ViewMode::NewWindow:
        documents->CreateNewCaptureDocument();
        break;
    case ViewMode::ReplaceImage:
        if (!documents->HasActiveDocument())
            documents->CreateNewCaptureDocument();
        if (documents->HasActiveDocument())
            documents->RecordUndoSnapshot();
        break;
    default:
        return;
    }
    if (documents->HasActiveDocument())
        documents->ReplaceActiveImage(image);
}

std::string CapturePipeline::AutoSaveFileName(const CaptureSettings& settings)
{
    static const char* const kExtensions[] = { ".bmp", ".jpg", ".png", ".gif" };
    const int format = settings.ImageFormat;
    const char* extension = format >= 0 && format < 4 ? kExtensions[format] : "";
    // The separator is always added, even after a path that already ends in one.
    return settings.ImageSavePath + "/" + settings.ImageSaveTitle + std::to_string(settings.StartNum) + extension;
}

std::optional<std::string> CapturePipeline::AutoSaveCapture(const ImageBuffer& image)
{
    lastAutoSave_.reset();
    if (!settings_.IsAudoSave)
        return std::nullopt;
    // The number comes from config.ini under its lock, and the next one is there before any other
    // process can look: neither a crash nor a second process hands this number out again.
    if (!services_.configPath.empty())
        settings_.StartNum = StartNumLock::Take(services_.configPath, settings_.StartNum);
    const std::string fileName = AutoSaveFileName(settings_);
    settings_.StartNum = int32_t(uint32_t(settings_.StartNum) + 1u);
    const bool written = services_.writeImage && services_.writeImage(image, fileName);
    lastAutoSave_ = AutoSaveOutcome { fileName, written };
    // A document is named only after a file that was really written and that holds its image: an
    // unknown view mode placed nothing in the editor, so no document takes the file's name.
    const ViewMode mode = ViewMode(settings_.CapAppViewMode);
    CaptureDocumentSink* documents = services_.documents;
    if (written && documents && (mode == ViewMode::NewWindow || mode == ViewMode::ReplaceImage)
        && documents->HasActiveDocument())
        documents->SetActivePathName(fileName);
    return fileName;
}
