#pragma once

#include "capture/OverlayPainter.h"
#include "capture/SelectionOverlay.h"

#include <QEventLoop>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class OverlayWindow;
class QMouseEvent;
class QScreen;
class ScreenInput;
struct PointerEvent;
class WindowSystem;

// The selection overlay: one borderless window above all others on every monitor, together showing the
// frozen copy of the whole desktop, on which the user drags a region (mode 0), picks a window (mode 1) or
// places a rectangle of fixed size (mode 3). Positions and results are in device pixels of the desktop;
// the panel and its texts follow the scale of the monitor under the pointer. It holds the pointer and the
// keyboard while open, so Esc and the arrow keys work even where the window manager gives it no focus.
// P ends it as a release would, with the choice to be pinned on the screen.
class CCapDialog final : public QObject, public SelectionOverlay {
public:
    CCapDialog(WindowSystem& windows, ScreenInput& input);
    ~CCapDialog() override;

    std::optional<ImageRect> Select(const OverlayRequest& request, ScreenSource& frozenScreen) override;
    WindowId PickedWindow() const override { return pickedWindow_; }
    bool PinRequested() const override { return pinRequested_; }
    bool TextWanted() const override { return textWanted_; }

    // Which pixels of the frozen desktop (of the given size) each monitor's window shows. Without one, the
    // monitor's own device pixels of the X11 desktop.
    using ScreenPlacer = std::function<ImageRect(const QScreen& screen, const ImageRect& desktop)>;
    void SetScreenPlacer(ScreenPlacer placer) { placer_ = std::move(placer); }
    // Called each time the overlay is on the screen and holds the input.
    void SetShownHandler(std::function<void()> handler) { shown_ = std::move(handler); }
    // A pointer event at a desktop position in device pixels, as the server reports it.
    void OnPointer(const PointerEvent& event);
    // The overlay's windows while it is open, one per monitor.
    const std::vector<std::unique_ptr<OverlayWindow>>& Windows() const { return screens_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Reset(const OverlayRequest& request, ScreenSource& frozenScreen);
    void Open();
    void Close();
    void End(bool accepted);
    void OnToolkitPointer(QMouseEvent& event, int x, int y);
    void OnPress(int button, int x, int y);
    void OnRelease(int button, int x, int y);
    void OnMouseMove(int x, int y);
    void OnKey(int key);
    // P: ends with what a release would take now, to be pinned.
    void PinCurrent();
    void FollowMonitor(int x, int y);
    WindowId WindowAt(int x, int y) const;
    ImageRect RectOf(WindowId window);
    void Repaint();
    void PaintDesktop(QPainter& painter, const QRegion& pixels) const;

    WindowSystem& windows_;
    ScreenInput& input_;
    OverlayPainter painter_;
    std::function<void()> shown_;
    ScreenPlacer placer_;
    QEventLoop loop_;
    bool accepted_ = false;
    bool ended_ = false;
    bool ready_ = false;
    bool open_ = false;
    bool serverPointer_ = false;

    OverlayRequest request_;
    ScreenSource* frozen_ = nullptr;
    QImage picture_;
    std::vector<ImageRect> monitors_;
    std::vector<std::unique_ptr<OverlayWindow>> screens_;
    OverlayView view_;
    QRegion touched_;
    int anchorX_ = 0;
    int anchorY_ = 0;
    bool dragging_ = false;
    ImageRect fixedRect_;
    WindowId pickedWindow_ = 0;
    bool pinRequested_ = false;
    bool textWanted_ = false;
    WindowId lastLookedUp_ = 0;
    int lastMoveX_ = 0;
    int lastMoveY_ = 0;
};
