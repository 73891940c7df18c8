#include "editor/ui/ViewZoom.h"

namespace {

// Single precision, as the steps have always been stored.
constexpr float kFactors[ViewZoom::kStepCount] = { 0.1f, 0.25f, 0.5f, 0.75f, 1.0f, 1.5f, 2.0f, 4.0f, 6.0f, 8.0f };

} // namespace

float ViewZoom::Factor(int step)
{
    return step >= 0 && step < kStepCount ? kFactors[step] : 0.0f;
}

int ViewZoom::Round(double v)
{
    return static_cast<int>(v + 0.5);
}

int ViewZoom::CanvasToImage(int c, float zoom)
{
    // A zero factor never comes from the table; keep the division defined anyway.
    return zoom == 0.0f ? 0 : Round(static_cast<float>(c) / zoom);
}

int ViewZoom::ImageToCanvas(int i, float zoom)
{
    return Round(static_cast<float>(i) * zoom);
}

QPoint ViewZoom::CanvasToImage(QPoint c, float zoom)
{
    return { CanvasToImage(c.x(), zoom), CanvasToImage(c.y(), zoom) };
}

QPoint ViewZoom::ImageToCanvas(QPoint i, float zoom)
{
    return { ImageToCanvas(i.x(), zoom), ImageToCanvas(i.y(), zoom) };
}

ImageRect ViewZoom::CanvasToImage(const ImageRect& rect, float zoom)
{
    return { CanvasToImage(rect.left, zoom), CanvasToImage(rect.top, zoom), CanvasToImage(rect.right, zoom),
        CanvasToImage(rect.bottom, zoom) };
}

ImageRect ViewZoom::ImageToCanvas(const ImageRect& rect, float zoom)
{
    return { ImageToCanvas(rect.left, zoom), ImageToCanvas(rect.top, zoom), ImageToCanvas(rect.right, zoom),
        ImageToCanvas(rect.bottom, zoom) };
}

QSize ViewZoom::DisplayedSize(QSize image, float zoom)
{
    return { ImageToCanvas(image.width(), zoom), ImageToCanvas(image.height(), zoom) };
}

QSize ViewZoom::ScrollExtent(QSize image, float zoom)
{
    return DisplayedSize(image, zoom) + QSize(2 * kMargin, 2 * kMargin);
}
