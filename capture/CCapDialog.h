#pragma once

#include "capture/OverlayPainter.h"
#include "capture/SelectionOverlay.h"

#include <QEventLoop>
#include <QWidget>

#include <functional>

class ScreenInput;
class WindowSystem;

// The selection overlay: a borderless window above all others covering the primary screen with the
// frozen copy, on which the user drags a region (mode 0), picks a window (mode 1) or places a rectangle
// of fixed size (mode 3). It holds the pointer and the keyboard while open, so Esc and the arrow keys
// work even where the window manager gives it no focus.
class CCapDialog final : public QWidget, public SelectionOverlay {
public:
    CCapDialog(WindowSystem& windows, ScreenInput& input);
    ~CCapDialog() override;

    std::optional<ImageRect> Select(const OverlayRequest& request, ScreenSource& frozenScreen) override;
    WindowId PickedWindow() const override { return pickedWindow_; }

    // Called each time the overlay is on the screen and holds the input.
    void SetShownHandler(std::function<void()> handler) { shown_ = std::move(handler); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Reset(const OverlayRequest& request, ScreenSource& frozenScreen);
    void Open();
    void End(bool accepted);
    void OnMouseMove(int x, int y);
    void OnKey(int key);
    WindowId WindowAt(int x, int y) const;
    ImageRect RectOf(WindowId window);
    void Repaint();

    WindowSystem& windows_;
    ScreenInput& input_;
    OverlayPainter painter_;
    std::function<void()> shown_;
    QEventLoop loop_;
    bool accepted_ = false;
    bool ended_ = false;
    bool ready_ = false;
    bool open_ = false;

    OverlayRequest request_;
    ScreenSource* frozen_ = nullptr;
    QImage picture_;
    OverlayView view_;
    QRegion touched_;
    int anchorX_ = 0;
    int anchorY_ = 0;
    bool dragging_ = false;
    ImageRect fixedRect_;
    WindowId pickedWindow_ = 0;
    WindowId lastLookedUp_ = 0;
};
