#include "editor/objects/DrawingSurface.h"

#include "editor/objects/RowBlender.h"
#include "imaging/ImageBuffer.h"

#include <QFont>
#include <QGuiApplication>
#include <QPen>
#include <QRgb>

#include <cstring>
#include <vector>

namespace {

QColor ColourOf(uint32_t argb)
{
    return QColor::fromRgba(argb);
}

QString WithUnixLineEnds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

DrawingSurface::~DrawingSurface() = default;

bool DrawingSurface::Create(int width, int height, uint32_t fillArgb)
{
    painter_.reset();
    image_ = QImage();
    originX_ = originY_ = 0;
    smoothing_ = false;
    if (width <= 0 || height <= 0)
        return false;
    // Drawn premultiplied, which the raster engine blends several times faster, and handed over
    // non-premultiplied.
    image_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image_.isNull())
        return false;
    clearArgb_ = qAlpha(fillArgb) == 0 ? fillArgb : 0;
    // Point sizes are measured at 96 dots per inch, as on the screen the objects are drawn for.
    image_.setDotsPerMeterX(3780);
    image_.setDotsPerMeterY(3780);
    image_.fill(qPremultiply(fillArgb));
    painter_ = std::make_unique<QPainter>(&image_);
    SetSmoothing(false);
    return true;
}

void DrawingSurface::SetOrigin(double x, double y)
{
    originX_ = x;
    originY_ = y;
    ApplyTransform();
}

void DrawingSurface::SetSmoothing(bool on)
{
    smoothing_ = on;
    if (!painter_)
        return;
    painter_->setRenderHint(QPainter::Antialiasing, on);
    ApplyTransform();
}

void DrawingSurface::ApplyTransform()
{
    if (!painter_)
        return;
    // Qt puts pixel centres at half coordinates; antialiased paths are shifted so that a point on an
    // integer coordinate covers the whole pixel, as aliased drawing already does.
    const double half = smoothing_ ? 0.5 : 0.0;
    painter_->resetTransform();
    painter_->translate(half - originX_, half - originY_);
}

void DrawingSurface::SetPen(const StrokeStyle& style)
{
    QPen pen(ColourOf(style.argb));
    pen.setWidthF(style.width);
    pen.setCapStyle(style.round ? Qt::RoundCap : Qt::FlatCap);
    pen.setJoinStyle(style.round ? Qt::RoundJoin : Qt::MiterJoin);
    // Dash patterns in pen widths: dots are one on, one off; dashes three on, one off.
    if (style.dash == DashStyle::Dot)
        pen.setDashPattern({ 1.0, 1.0 });
    else if (style.dash == DashStyle::Dash)
        pen.setDashPattern({ 3.0, 1.0 });
    painter_->setPen(pen);
    painter_->setBrush(Qt::NoBrush);
}

void DrawingSurface::DrawLine(QPointF from, QPointF to, const StrokeStyle& pen)
{
    if (!painter_)
        return;
    SetPen(pen);
    painter_->drawLine(from, to);
}

void DrawingSurface::DrawLines(std::span<const QPointF> points, const StrokeStyle& pen)
{
    if (!painter_ || points.size() < 2)
        return;
    SetPen(pen);
    for (size_t i = 1; i < points.size(); ++i)
        painter_->drawLine(points[i - 1], points[i]);
}

void DrawingSurface::DrawPath(const QPainterPath& path, const StrokeStyle& pen)
{
    if (!painter_)
        return;
    SetPen(pen);
    painter_->drawPath(path);
}

void DrawingSurface::DrawRectangle(const QRectF& rect, const StrokeStyle& pen)
{
    if (!painter_)
        return;
    SetPen(pen);
    painter_->drawRect(rect);
}

void DrawingSurface::FillRectangle(const QRectF& rect, uint32_t argb)
{
    if (!painter_)
        return;
    // A fill covers the pixels whose centres lie inside: shift back by half a pixel when smoothing.
    const double half = smoothing_ ? 0.5 : 0.0;
    painter_->fillRect(rect.translated(-half, -half), ColourOf(argb));
}

void DrawingSurface::DrawEllipse(const QRectF& rect, const StrokeStyle& pen)
{
    if (!painter_)
        return;
    SetPen(pen);
    painter_->drawEllipse(rect);
}

void DrawingSurface::FillEllipse(const QRectF& rect, uint32_t argb)
{
    if (!painter_)
        return;
    painter_->setPen(Qt::NoPen);
    painter_->setBrush(ColourOf(argb));
    painter_->drawEllipse(rect);
}

void DrawingSurface::DrawPolygon(std::span<const QPointF> points, const StrokeStyle& pen, uint32_t fillArgb)
{
    if (!painter_ || points.empty())
        return;
    SetPen(pen);
    painter_->setBrush(ColourOf(fillArgb));
    painter_->drawPolygon(points.data(), int(points.size()));
}

void DrawingSurface::DrawText(const QString& text, const TextStyle& style, const QRectF& layout)
{
    if (!painter_ || text.isEmpty() || style.pointSize <= 0)
        return;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    QFont font(style.family);
    font.setPointSizeF(style.pointSize);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    painter_->setFont(font);
    painter_->setPen(ColourOf(style.argb));
    int flags = style.centred ? Qt::AlignVCenter : Qt::AlignTop | Qt::TextWordWrap;
    flags |= style.alignment == 1 ? Qt::AlignHCenter : style.alignment == 2 ? Qt::AlignRight : Qt::AlignLeft;
    painter_->save();
    painter_->setClipRect(layout);
    painter_->drawText(layout, flags, WithUnixLineEnds(text));
    painter_->restore();
}

bool DrawingSurface::CopyTo(ImageBuffer& out)
{
    painter_.reset();
    if (image_.isNull() || !out.Create(image_.width(), image_.height(), 32))
        return false;
    const int width = image_.width();
    for (int y = 0; y < image_.height(); ++y)
        Unpremultiply(
            reinterpret_cast<const QRgb*>(image_.constScanLine(y)), reinterpret_cast<QRgb*>(out.Row(y)), width);
    return true;
}

bool DrawingSurface::BlendOnto(ImageBuffer& target, int x, int y, int strength)
{
    painter_.reset();
    if (image_.isNull() || target.IsEmpty() || target.BitCount() != 32 || x < 0 || y < 0
        || int64_t(x) + image_.width() > target.Width() || int64_t(y) + image_.height() > target.Height())
        return false;
    const int width = image_.width();
    std::vector<QRgb> row(static_cast<size_t>(width));
    RowBlender blender(strength);
    for (int r = 0; r < image_.height(); ++r) {
        Unpremultiply(reinterpret_cast<const QRgb*>(image_.constScanLine(r)), row.data(), width);
        blender.BlendRow(reinterpret_cast<const uint8_t*>(row.data()), target.PixelAddress(x, y + r), width);
    }
    return true;
}

// Drawn pictures are mostly clear or opaque: groups of four such pixels are settled at once.
void DrawingSurface::Unpremultiply(const QRgb* from, QRgb* to, int count) const
{
    int x = 0;
    for (; x + 4 <= count; x += 4) {
        const QRgb all = from[x] & from[x + 1] & from[x + 2] & from[x + 3];
        const QRgb any = from[x] | from[x + 1] | from[x + 2] | from[x + 3];
        if (qAlpha(all) == 255) {
            std::memcpy(to + x, from + x, 4 * sizeof(QRgb));
        } else if (qAlpha(any) == 0) {
            to[x] = to[x + 1] = to[x + 2] = to[x + 3] = clearArgb_;
        } else {
            for (int k = x; k < x + 4; ++k)
                to[k] = UnpremultiplyPixel(from[k]);
        }
    }
    for (; x < count; ++x)
        to[x] = UnpremultiplyPixel(from[x]);
}

QRgb DrawingSurface::UnpremultiplyPixel(QRgb pixel) const
{
    const int alpha = qAlpha(pixel);
    return alpha == 255 ? pixel : alpha == 0 ? clearArgb_ : qUnpremultiply(pixel);
}
