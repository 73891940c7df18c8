#pragma once

#include "imaging/BitmapTypes.h"

#include <QWidget>

#include <functional>
#include <thread>

class QScreen;

// One monitor's part of the selection overlay: a borderless window above all others over that monitor,
// painted in device pixels of the desktop whatever the toolkit's scale there, so the frozen picture shows
// 1:1. Pointer events go to the owner as device positions. The window shows the desktop pixels it is given:
// on X11 its monitor's own (ToolkitDeviceRect), on Wayland its monitor's part of the portal's picture.
class OverlayWindow final : public QWidget {
public:
    // Paints the given desktop pixels; the painter draws in device pixels of the desktop.
    using Painter = std::function<void(QPainter& painter, const QRegion& desktopPixels)>;
    using PointerHandler = std::function<void(QMouseEvent& event, int x, int y)>;

    OverlayWindow(QScreen& screen, const ImageRect& shows, Painter paint, PointerHandler pointer);
    ~OverlayWindow() override;

    // Makes the toolkit's backing store now and brings its memory in on another thread, while the window is
    // being mapped: on a 4K monitor a fresh store costs the first paint tens of milliseconds of page faults.
    void PrefaultBackingStore();

    // The desktop pixels this window covers.
    ImageRect DeviceRect() const { return shows_; }
    // Desktop pixels per unit of the toolkit.
    double Scale() const { return scale_; }
    // Repaints those desktop pixels where this window shows them.
    void UpdateDesktop(const QRegion& desktopPixels);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Forward(QMouseEvent* event);

    void WaitForPrefault();

    ImageRect shows_;
    std::thread prefault_;
    QPoint origin_;
    double scale_ = 1.0;
    Painter paint_;
    PointerHandler pointer_;
};
