#include "imaging/dialogs/PreviewPicture.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

PreviewPicture::Thumbnail PreviewPicture::MakeThumbnail(const ImageBuffer& image, QSize area, bool to24)
{
    Thumbnail thumbnail { image, 1 };
    if (to24)
        thumbnail.image.ConvertTo(24);
    const int w = thumbnail.image.Width();
    const int h = thumbnail.image.Height();
    if (w > 0 && h > 0 && (area.width() < w || area.height() < h)) {
        thumbnail.scale = std::min(double(area.height()) / h, double(area.width()) / w);
        thumbnail.image.ResizeBilinear(std::max(1, int(w * thumbnail.scale)), std::max(1, int(h * thumbnail.scale)));
    }
    return thumbnail;
}

QImage PreviewPicture::ToImage(const ImageBuffer& image)
{
    if (image.IsEmpty())
        return {};
    ImageBuffer opaque(image);
    // RGB32 wants its fourth byte at 255; the bytes are then in the same order as ours.
    opaque.ConvertTo(32);
    if (opaque.BitCount() != 32)
        return {};
    opaque.SetAlpha(255);
    QImage picture(opaque.Width(), opaque.Height(), QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    for (int y = 0; y < opaque.Height(); ++y)
        std::memcpy(picture.scanLine(y), opaque.Row(y), size_t(opaque.Width()) * 4);
    return picture;
}

QRect PreviewPicture::Placement(const QRect& area, QSize picture, bool fit)
{
    const int w = picture.width();
    const int h = picture.height();
    if (!fit)
        return QRect(area.left() + (area.width() - w) / 2, area.top() + (area.height() - h) / 2, w, h);
    double factor = 1;
    if (w > area.width() || h > area.height())
        factor = std::min(double(area.height()) / h, double(area.width()) / w);
    const int insetX = (area.width() - int(w * factor)) / 2;
    const int insetY = (area.height() - int(h * factor)) / 2;
    return area.adjusted(insetX, insetY, -insetX, -insetY);
}

void PreviewPicture::Paint(QPainter& painter, const QRect& area, const QImage& picture, bool fit)
{
    painter.fillRect(area, AreaFill());
    if (picture.isNull())
        return;
    painter.save();
    painter.setClipRect(area);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, fit);
    painter.drawImage(Placement(area, picture.size(), fit), picture);
    painter.restore();
}

void PreviewPicture::PaintFrame(QPainter& painter, const QRect& area)
{
    painter.save();
    painter.setPen(QPen(Frame(), 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(-1, -1, 0, 0));
    painter.restore();
}
