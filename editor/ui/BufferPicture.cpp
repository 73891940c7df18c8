#include "editor/ui/BufferPicture.h"

#include "imaging/ImageBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

void CopyOpaqueRow(const uint8_t* from, uint8_t* to, int count)
{
    const auto* source = reinterpret_cast<const uint32_t*>(from);
    auto* target = reinterpret_cast<uint32_t*>(to);
    for (int x = 0; x < count; ++x)
        target[x] = source[x] | 0xFF000000u;
}

} // namespace

QImage BufferPicture::Part(const ImageBuffer& source, const QRect& part)
{
    if (source.IsEmpty() || source.BitCount() != 32 || part.isEmpty())
        return {};
    QImage picture(part.size(), QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    if (!QRect(0, 0, source.Width(), source.Height()).contains(part))
        picture.fill(Qt::black);
    CopyInto(picture, part.topLeft(), source, part);
    return picture;
}

QImage BufferPicture::Sampled(const ImageBuffer& source, QSize displayed, const QRect& area)
{
    const QRect shown = area & QRect(QPoint(0, 0), displayed);
    if (source.IsEmpty() || source.BitCount() != 32 || shown.isEmpty())
        return {};
    QImage picture(shown.size(), QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    auto sourceIndex = [](int d, int sourceLength, int displayedLength) {
        const int index = int(std::floor((d + 0.5) * sourceLength / displayedLength));
        return std::clamp(index, 0, sourceLength - 1);
    };
    std::vector<int> columns(size_t(shown.width()));
    for (int x = 0; x < shown.width(); ++x)
        columns[size_t(x)] = sourceIndex(shown.left() + x, source.Width(), displayed.width());
    for (int y = 0; y < shown.height(); ++y) {
        const auto* from = reinterpret_cast<const uint32_t*>(
            source.Row(sourceIndex(shown.top() + y, source.Height(), displayed.height())));
        auto* to = reinterpret_cast<uint32_t*>(picture.scanLine(y));
        for (int x = 0; x < shown.width(); ++x)
            to[x] = from[columns[size_t(x)]] | 0xFF000000u;
    }
    return picture;
}

bool BufferPicture::CopyInto(QImage& target, QPoint origin, const ImageBuffer& source, const QRect& region)
{
    if (source.IsEmpty() || source.BitCount() != 32 || target.format() != QImage::Format_RGB32)
        return false;
    const QRect shown = QRect(origin, target.size());
    const QRect area = region & QRect(0, 0, source.Width(), source.Height()) & shown;
    if (area.isEmpty())
        return true;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        uchar* to = target.scanLine(y - origin.y()) + size_t(area.left() - origin.x()) * 4;
        CopyOpaqueRow(source.Row(y) + size_t(area.left()) * 4, to, area.width());
    }
    return true;
}
