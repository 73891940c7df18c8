#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QRgb>
#include <QString>

#include <cstdint>
#include <memory>
#include <span>

class ImageBuffer;

enum class DashStyle { Solid, Dot, Dash };

struct StrokeStyle {
    uint32_t argb = 0xFF000000;
    double width = 1.0;
    DashStyle dash = DashStyle::Solid;
    // Round ends and corners instead of flat ends and mitred corners.
    bool round = false;
};

struct TextStyle {
    QString family;
    double pointSize = 16;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int alignment = 0; // 0 left, 1 centre, 2 right
    // One line centred vertically in the layout, unwrapped, instead of wrapped text from its top.
    bool centred = false;
    uint32_t argb = 0xFF000000;
};

// The temporary picture an object is drawn into, handed over as a non-premultiplied 32-bit ARGB image,
// and the vector drawing calls the objects need. Coordinates are in the object's own space; SetOrigin says which point
// of that space is the surface's top-left pixel. Pixel centres lie on integer coordinates. Pens are
// centred on the path, with flat caps and mitred corners.
class DrawingSurface {
public:
    DrawingSurface() = default;
    ~DrawingSurface();
    DrawingSurface(const DrawingSurface&) = delete;
    DrawingSurface& operator=(const DrawingSurface&) = delete;

    // Makes a width x height surface with every pixel set to fillArgb (0xAARRGGBB, not premultiplied).
    // False when it cannot be had.
    bool Create(int width, int height, uint32_t fillArgb);
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }

    void SetOrigin(double x, double y);
    // The part of the object's space the surface holds.
    QRectF Window() const { return QRectF(originX_, originY_, Width(), Height()); }
    // Antialiased drawing, for lines and ellipses.
    void SetSmoothing(bool on);

    void DrawLine(QPointF from, QPointF to, const StrokeStyle& pen);
    void DrawLines(std::span<const QPointF> points, const StrokeStyle& pen);
    void DrawRectangle(const QRectF& rect, const StrokeStyle& pen);
    void FillRectangle(const QRectF& rect, uint32_t argb);
    void DrawEllipse(const QRectF& rect, const StrokeStyle& pen);
    void FillEllipse(const QRectF& rect, uint32_t argb);
    void DrawPath(const QPainterPath& path, const StrokeStyle& pen);
    // A closed polygon filled with fillArgb and outlined with pen.
    void DrawPolygon(std::span<const QPointF> points, const StrokeStyle& pen, uint32_t fillArgb);
    // Word-wrapped text starting at the top of layout, aligned horizontally. Needs a QGuiApplication;
    // without one no glyphs are drawn.
    void DrawText(const QString& text, const TextStyle& style, const QRectF& layout);

    // Ends drawing and copies the pixels, not premultiplied, into a new 32-bpp image (top row first).
    // Pixels left fully transparent keep the fill's colour when the fill was transparent. False when the
    // surface is empty or the image cannot be made.
    bool CopyTo(ImageBuffer& out);
    // Ends drawing and blends the pixels straight onto a 32-bpp target, with the surface's top-left at
    // (x, y): the same as CopyTo followed by BlendImage, without the intermediate image. The surface must
    // lie wholly inside the target; false (and nothing drawn) otherwise.
    bool BlendOnto(ImageBuffer& target, int x, int y, int strength);

private:
    void ApplyTransform();
    void Unpremultiply(const QRgb* from, QRgb* to, int count) const;
    QRgb UnpremultiplyPixel(QRgb pixel) const;
    void SetPen(const StrokeStyle& pen);

    QImage image_;
    std::unique_ptr<QPainter> painter_;
    double originX_ = 0;
    double originY_ = 0;
    bool smoothing_ = false;
    uint32_t clearArgb_ = 0;
};
