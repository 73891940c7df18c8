#pragma once

#include "app/PinView.h"
#include "imaging/ImageBuffer.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <optional>

// A copy of a picture kept on the screen: a frameless window above the others, showing the picture 1:1
// in device pixels at first. A drag moves it, the wheel zooms it around the pointer, Ctrl+wheel changes
// its opacity; a double click or Esc closes it, and its context menu offers Copy, Save As, Open in Editor
// and Close. It deletes itself when closed.
class PinWindow final : public QWidget {
public:
    // What the menu's items do with the picture. Open in Editor is greyed out while hasEditor says no.
    struct Actions {
        std::function<void(const ImageBuffer&)> copy;
        std::function<void(const ImageBuffer&, QWidget& pin)> saveAs;
        std::function<void(const ImageBuffer&)> openInEditor;
        std::function<bool()> hasEditor;
    };

    // at: the desktop position (device pixels) of the picture's top-left corner. The picture is copied.
    PinWindow(const ImageBuffer& picture, QPoint at, Actions actions);

    // Where a picture lies in the middle of the monitor under the pointer.
    static QPoint CentredOnPointer(const ImageBuffer& picture);

    const PinView& View() const { return view_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Gives the window the view's rectangle, in device pixels where the platform allows it.
    void ApplyView();
    // The view's position after the window manager moved the window.
    void FollowWindow();
    QPoint DevicePosition(QPointF local) const;

    ImageBuffer picture_;
    QImage shown_;
    PinView view_;
    Actions actions_;
    std::optional<QPoint> pressedAt_;
    bool manualDrag_ = false;
    QPoint dragOffset_;
    int wheelRest_ = 0;
};
