#pragma once

#include "capture/CaptureMode.h"
#include "capture/CaptureServices.h"
#include "imaging/BitmapTypes.h"
#include "platform/CursorImage.h"
#include "platform/WindowId.h"
#include "settings/CaptureSettings.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class ImageBuffer;
class ImageScreenSource;
class ScrollInput;
struct ImageRect;

// The capture routines of the main frame and the output sequence they share. Each routine returns 1 when
// an image was delivered and 0 otherwise; the settings record is the main frame's and is read at every
// capture (StartNum is advanced by auto-saves).
class CapturePipeline {
public:
    static constexpr int kActiveWindowDelay = 1000;
    static constexpr int kGivenWindowDelay = 200;
    static constexpr int kScrollStartDelay = 100;

    CapturePipeline(CaptureSettings& settings, CaptureServices services);

    int CaptureFullScreen();
    int CaptureActiveWindow();
    int CaptureRegion();
    int CaptureFixedRect();
    int CaptureWindowObject();
    // The window is picked with the overlay, or given (a nonzero target).
    int CaptureScrollingWindow(WindowId target = 0);
    // Dispatches a capture command id; an unknown one does nothing.
    int Capture(CaptureMode mode);
    // Another program asked for a capture by kind: 0 full screen, 1 window/object, 2 region, 3 active
    // window; other values do nothing.
    int CaptureByMessageType(int type);
    // Another program asked for this window: no delay, no hiding, no cursor.
    int CaptureGivenWindow(WindowId window);
    // The request as it arrives, with its flag: the previous mark goes in every case, and only a flag
    // that asks for it captures.
    int CaptureWindowRequest(bool capture, WindowId window);
    // Another program points at a window: the previous mark is taken away and this one marked.
    void HighlightWindow(WindowId window);

    // Clipboard, editor, auto-saved file, in this order. The window restore is the routine's own.
    void DeliverCapture(const ImageBuffer& image);
    void CopyImageToClipboard(const ImageBuffer& image);
    void HandToEditor(const ImageBuffer& image);
    // Returns the file name used, or nothing when auto-save is off.
    std::optional<std::string> AutoSaveCapture(const ImageBuffer& image);

    // The auto-save file name for the settings' current StartNum.
    static std::string AutoSaveFileName(const CaptureSettings& settings);

    // The command line's --delay replaces the configured wait of every kind.
    void SetDelayOverride(std::optional<int> milliseconds) { delayOverride_ = milliseconds; }
    // Whether the screen gave no picture at all (a desktop portal that failed or never answered): full screen
    // then delivers nothing. Without it an unreadable screen still delivers its empty image.
    void SetScreenFailedCheck(std::function<bool()> failed) { screenFailed_ = std::move(failed); }
    // The command line's --screen: the desktop part "full screen" takes instead of the primary monitor.
    void SetFullScreenArea(std::optional<ImageRect> area) { fullScreenArea_ = area; }
    // The command line's --pin: every capture but a scrolling one goes to the pins.
    void SetPinCaptures(bool pin) { pinCaptures_ = pin; }
    // What the scrolling capture needs beyond the other kinds: wheel and Esc, the scroll bar's width,
    // whether the user asked it to stop, and where the steps taken so far are shown.
    struct ScrollingServices {
        ScrollInput* input = nullptr;
        int scrollBarWidth = 0;
        std::function<bool()> stop;
        std::function<void(int steps)> progress;
        // Forgets an Esc pressed before this capture began.
        std::function<void()> clearStop;
        // A clock in milliseconds for the waits that watch the window settle; tests pass their own.
        std::function<int64_t()> nowMs;
        // Called when the steps begin on the window (its rectangle) and when they end.
        std::function<void(const ImageRect& window)> begin;
        std::function<void()> end;
    };
    void SetScrolling(ScrollingServices scrolling) { scrolling_ = std::move(scrolling); }
    struct AutoSaveOutcome {
        std::string path;
        bool written = false;
    };
    // The file of the last capture's auto-save, when it ran.
    const std::optional<AutoSaveOutcome>& LastAutoSave() const { return lastAutoSave_; }
    struct DeliveryOutcome {
        int width = 0;
        int height = 0;
        bool copied = false;
        // Pinned on the screen in place of every other destination.
        bool pinned = false;
    };
    // The last capture handed out: its size and whether it went to the clipboard.
    const DeliveryOutcome& LastDelivery() const { return lastDelivery_; }

private:
    void EraseHighlight();
    int Delay(int configured) const { return delayOverride_.value_or(configured); }
    void Wait(int milliseconds);
    // Grabs the rectangle, with the pointer drawn in when cursor is set.
    ImageBuffer Grab(ScreenSource& source, const ImageRect& rect, const std::optional<CursorImage>& cursor);
    // The same as a 32-bit picture, which the overlay paints without converting it.
    QImage GrabPicture(
        const ImageRect& rect, const std::vector<ImageRect>& monitors, const std::optional<CursorImage>& cursor);
    std::optional<CursorImage> CursorIfWanted();
    int CaptureThroughOverlay(OverlayMode mode);
    void RestoreAfterDelivery();
    void RecordDelivery(const ImageBuffer& image);
    // Hands the capture to the pins when asked to; false when it goes to the other destinations.
    bool PinInstead(const ImageBuffer& image, const ImageRect& where, bool overlayAsked);
    // Opens the overlay over a frozen copy of the screen (with the pointer drawn in when cursor is set),
    // which frozen keeps for cutting the result from.
    std::optional<ImageRect> SelectOnFrozenScreen(
        OverlayMode mode, const std::optional<CursorImage>& cursor, ImageScreenSource& frozen);

    CaptureSettings& settings_;
    CaptureServices services_;
    std::optional<int> delayOverride_;
    std::optional<ImageRect> fullScreenArea_;
    bool pinCaptures_ = false;
    std::function<bool()> screenFailed_;
    ScrollingServices scrolling_;
    std::optional<AutoSaveOutcome> lastAutoSave_;
    DeliveryOutcome lastDelivery_;
    WindowId highlighted_ = 0;
};
