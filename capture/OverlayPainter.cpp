#include "capture/OverlayPainter.h"

#include "capture/OverlayLayout.h"
#include "imaging/ImageBuffer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

const QColor kPanelGrey(150, 150, 150);
const QColor kMouseTextYellow(255, 255, 123);

QRect ToQRect(const ImageRect& rect)
{
    return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

// The frame of the given thickness just inside the rectangle, as bands that never overlap (an inverting
// pen must touch each pixel once).
std::array<QRect, 4> FrameBands(const ImageRect& rect, int width)
{
    const int w = rect.Width();
    const int h = rect.Height();
    const int topHeight = std::min(width, h);
    const int bottomHeight = std::min(width, h - topHeight);
    const int innerHeight = h - topHeight - bottomHeight;
    const int leftWidth = std::min(width, w);
    const int rightWidth = std::min(width, w - leftWidth);
    return { QRect(rect.left, rect.top, w, topHeight), QRect(rect.left, rect.bottom - bottomHeight, w, bottomHeight),
        QRect(rect.left, rect.top + topHeight, leftWidth, innerHeight),
        QRect(rect.right - rightWidth, rect.top + topHeight, rightWidth, innerHeight) };
}

// Every other pixel of the rectangle's edge, in a checkerboard as a focus rectangle has it; only those
// within bounds, so that an absurd size builds no huge list.
QPolygon FocusDots(const ImageRect& rect, const ImageRect& bounds)
{
    QPolygon dots;
    for (const QRect& whole : FrameBands(rect, 1)) {
        const QRect band = whole & ToQRect(bounds);
        if (!band.isValid() || band.isEmpty())
            continue;
        // The checkerboard is by screen position, so a cut band keeps the dots it had.
        for (int y = band.top(); y <= band.bottom(); ++y)
            for (int x = band.left() + ((band.left() + y) & 1); x <= band.right(); x += 2)
                dots << QPoint(x, y);
    }
    return dots;
}

void FrameRect(QPainter& painter, const ImageRect& rect, const QColor& colour, int width = 1)
{
    if (rect.IsEmpty())
        return;
    for (const QRect& band : FrameBands(rect, width))
        if (band.isValid())
            painter.fillRect(band, colour);
}

void AddFrame(QRegion& region, const ImageRect& rect, int width)
{
    if (rect.IsEmpty())
        return;
    for (const QRect& band : FrameBands(rect, width))
        if (band.isValid())
            region += band;
}

// Text in a rectangle of the panel, in the panel's own units: horizontally inset by 15, vertically from
// top to bottom below the panel's top.
QRect PanelText(int top, int bottom)
{
    constexpr int kInset = 15;
    return QRect(QPoint(kInset, top), QPoint(OverlayLayout::kPanelWidth - kInset - 1, bottom - 1));
}

// From here on the painter draws in the panel's units at the desktop's scale.
void EnterPanel(QPainter& painter, const ImageRect& panel, double scale)
{
    painter.translate(panel.left, panel.top);
    painter.scale(scale, scale);
}

// The fixed rectangle's outline: not cut at the monitor's edge, but no larger than the monitor, as the
// capture is.
ImageRect FocusRect(const OverlayView& view)
{
    return OverlayLayout::CentredRect(view.currentX, view.currentY, std::min(view.fixedWidth, view.monitor.Width()),
        std::min(view.fixedHeight, view.monitor.Height()));
}

QString MouseText(const OverlayView& view)
{
    return QString("Mouse: x = %1; y = %2").arg(view.currentX).arg(view.currentY);
}

} // namespace

OverlayPainter::OverlayPainter(const QFont& labelFont)
    : labelFont_(labelFont)
    , panelFont_("Arial")
{
    panelFont_.setPixelSize(14);
    panelFont_.setWeight(QFont::Bold);
    panelFont_.setStyleHint(QFont::SansSerif);
}

QImage OverlayPainter::Magnify(ImageBuffer& around, int size)
{
    using namespace OverlayLayout;
    if (around.Width() != kMagnifierSource || around.Height() != kMagnifierSource || around.BitCount() != 24
        || size < 1)
        return {};
    // The cross-hair: the middle row and column inverted, the centre pixel kept.
    constexpr int kMiddle = kMagnifierRadius;
    auto invert = [](uint8_t* pixel) {
        pixel[0] = uint8_t(~pixel[0]);
        pixel[1] = uint8_t(~pixel[1]);
        pixel[2] = uint8_t(~pixel[2]);
    };
    uint8_t* middleRow = around.Row(kMiddle);
    for (int x = 0; x < kMagnifierSource; ++x)
        if (x != kMiddle)
            invert(middleRow + x * 3);
    for (int y = 0; y < kMagnifierSource; ++y)
        if (y != kMiddle)
            invert(around.Row(y) + kMiddle * 3);
    // Nearest source pixel, as a colour-on-colour stretch picks it.
    std::vector<int> sourceOf(size_t(size), 0);
    for (int i = 0; i < size; ++i)
        sourceOf[size_t(i)] = i * kMagnifierSource / size;
    QImage picture(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        const uint8_t* from = around.Row(sourceOf[size_t(y)]);
        QRgb* to = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const uint8_t* pixel = from + sourceOf[size_t(x)] * 3;
            to[x] = qRgb(pixel[2], pixel[1], pixel[0]);
        }
    }
    return picture;
}

void OverlayPainter::Paint(QPainter& painter, const OverlayView& view) const
{
    if (view.mode == OverlayMode::WindowObject)
        PaintPickPanel(painter, view);
    else
        PaintRegionPanel(painter, view);
}

void OverlayPainter::PaintRegionPanel(QPainter& painter, const OverlayView& view) const
{
    using namespace OverlayLayout;
    const ImageRect panel = PanelRect(view.mode, view.panelBottomRight, view.monitor, view.scale);
    const ImageRect magnifier = MagnifierRect(view.panelBottomRight, view.monitor, view.scale);
    painter.fillRect(ToQRect(panel), kPanelGrey);
    if (!view.magnifier.isNull())
        painter.drawImage(QPoint(magnifier.left, magnifier.top), view.magnifier);
    FrameRect(painter, magnifier, Qt::green);
    FrameRect(painter, panel, Qt::blue);
    PaintSizeLabel(painter, view.selection, view.scale);

    painter.save();
    EnterPanel(painter, panel, view.scale);
    painter.setFont(panelFont_);
    painter.setPen(Qt::white);
    painter.drawText(PanelText(185, 230), Qt::TextWordWrap,
        "- Click and hold the left mouse button as you drag to select a region.");
    painter.drawText(PanelText(230, 260), Qt::TextWordWrap, "- Release the button to capture.");
    painter.drawText(PanelText(260, 290), Qt::TextWordWrap, "- Right click or press [Esc] to cancel.");
    painter.setPen(kMouseTextYellow);
    painter.drawText(PanelText(290, 305), Qt::TextWordWrap, MouseText(view));
    painter.restore();

    FrameRect(painter, view.selection, Qt::black);
    if (view.mode == OverlayMode::FixedRect) {
        // A focus rectangle: every other pixel of its edge inverted.
        const ImageRect focus = FocusRect(view);
        if (!focus.IsEmpty()) {
            painter.save();
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            painter.setPen(QPen(Qt::white, 0));
            painter.drawPoints(FocusDots(focus, view.desktop));
            painter.restore();
        }
    }
}

void OverlayPainter::PaintPickPanel(QPainter& painter, const OverlayView& view) const
{
    using namespace OverlayLayout;
    if (!view.windowRect.IsEmpty()) {
        // Red combined with what lies below as NOT(pen XOR screen): red kept, green and blue inverted, so
        // the outline shows on every background.
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        FrameRect(painter, view.windowRect, Qt::red, 4);
        painter.restore();
    }
    const ImageRect panel = PanelRect(view.mode, view.panelBottomRight, view.monitor, view.scale);
    painter.fillRect(ToQRect(panel), kPanelGrey);
    FrameRect(painter, panel, Qt::blue);
    painter.save();
    EnterPanel(painter, panel, view.scale);
    painter.setFont(panelFont_);
    painter.setPen(Qt::white);
    painter.drawText(PanelText(30, 45), Qt::TextSingleLine, "- Left click to capture");
    painter.drawText(PanelText(50, 80), Qt::TextWordWrap, "- Right click or press [Esc] to cancel");
    painter.setPen(kMouseTextYellow);
    painter.drawText(PanelText(85, 100), Qt::TextWordWrap, MouseText(view));
    painter.restore();
}

ImageRect OverlayPainter::LabelRect(const ImageRect& selection, double scale) const
{
    const QFontMetricsF metrics(labelFont_);
    const QString text = QString("%1X%2").arg(selection.Width()).arg(selection.Height());
    const int width = int(std::ceil(metrics.horizontalAdvance(text) * scale));
    const int height = int(std::ceil(metrics.height() * scale));
    const OverlayLayout::LabelPlace place = OverlayLayout::SizeLabelPlace(selection, width, height);
    return { place.x, place.y, place.x + width, place.y + height };
}

void OverlayPainter::PaintSizeLabel(QPainter& painter, const ImageRect& selection, double scale) const
{
    const ImageRect rect = LabelRect(selection, scale);
    painter.fillRect(ToQRect(rect), Qt::black);
    painter.save();
    painter.translate(rect.left, rect.top);
    painter.scale(scale, scale);
    painter.setFont(labelFont_);
    painter.setPen(Qt::white);
    painter.drawText(QPointF(0, QFontMetricsF(labelFont_).ascent()),
        QString("%1X%2").arg(selection.Width()).arg(selection.Height()));
    painter.restore();
}

QRegion OverlayPainter::Touched(const OverlayView& view) const
{
    using namespace OverlayLayout;
    QRegion region(ToQRect(PanelRect(view.mode, view.panelBottomRight, view.monitor, view.scale)));
    if (view.mode == OverlayMode::WindowObject) {
        AddFrame(region, view.windowRect, 4);
    } else {
        region += ToQRect(LabelRect(view.selection, view.scale));
        AddFrame(region, view.selection, 1);
        if (view.mode == OverlayMode::FixedRect)
            AddFrame(region,
                Intersection(FocusRect(view),
                    { view.desktop.left - 1, view.desktop.top - 1, view.desktop.right + 1, view.desktop.bottom + 1 }),
                1);
    }
    return region & ToQRect(view.desktop);
}
