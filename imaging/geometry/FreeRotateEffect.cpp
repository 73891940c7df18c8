#include "imaging/geometry/FreeRotateEffect.h"

#include "imaging/colour/PixelMath.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
// Source positions are kept this far inside the last column and row, so that the right and lower
// neighbours always exist.
constexpr double kEdgeLimit = 1.1;

// RoundHalfAwayFromZero for positions, which always fit an int: the conversion truncates.
inline int RoundToInt(double value)
{
    return int(value > 0 ? value + 0.5 : value - 0.5);
}

} // namespace

FreeRotateEffect::FreeRotateEffect(int degrees)
{
    int reduced = degrees % 360;
    if (reduced < 0)
        reduced += 360;
    angle_ = reduced * kRadiansPerDegree;
    inverseAngle_ = (360 - reduced) * kRadiansPerDegree;
}

bool FreeRotateEffect::CanApply(const ImageBuffer& image) const
{
    return !image.IsEmpty() && image.BitCount() >= 24 && image.Width() > 1 && image.Height() > 1;
}

FreeRotateEffect::Point FreeRotateEffect::RotatePoint(int x, int y, double cx, double cy, double radians)
{
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    const double u = x - cx;
    const double v = cy - y;
    return { RoundToInt(cx + u * c + v * s), RoundToInt(cy - (v * c - u * s)) };
}

void FreeRotateEffect::Begin(ImageBuffer& image)
{
    newWidth_ = 0;
    newHeight_ = 0;
    AdoptSourceSnapshot(std::move(image));
    const ImageBuffer& source = *SourceSnapshot();
    sourceWidth_ = source.Width();
    sourceHeight_ = source.Height();
    bytesPerPixel_ = source.BitCount() / 8;

    const double cx = sourceWidth_ * 0.5;
    const double cy = sourceHeight_ * 0.5;
    const Point corners[4] = { RotatePoint(0, 0, cx, cy, angle_), RotatePoint(sourceWidth_, 0, cx, cy, angle_),
        RotatePoint(0, sourceHeight_, cx, cy, angle_), RotatePoint(sourceWidth_, sourceHeight_, cx, cy, angle_) };
    int minX = corners[0].x, maxX = corners[0].x, minY = corners[0].y, maxY = corners[0].y;
    for (const Point& p : corners) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    if (!image.Create(maxX - minX, maxY - minY, source.BitCount())) {
        image.Destroy();
        return;
    }
    newWidth_ = image.Width();
    newHeight_ = image.Height();

    shiftX_ = (newWidth_ - sourceWidth_) * 0.5;
    shiftY_ = (newHeight_ - sourceHeight_) * 0.5;
    edgeFractionX_ = (sourceWidth_ - kEdgeLimit) - (sourceWidth_ - 2);
    edgeFractionY_ = (sourceHeight_ - kEdgeLimit) - (sourceHeight_ - 2);
    centreX_ = (newWidth_ - 1) * 0.5;
    centreY_ = (newHeight_ - 1) * 0.5;
    cos_ = std::cos(inverseAngle_);
    sin_ = std::sin(inverseAngle_);
    columnX_.resize(size_t(newWidth_));
    columnY_.resize(size_t(newWidth_));
    for (int x = 0; x < newWidth_; ++x) {
        const double u = x - centreX_;
        columnX_[size_t(x)] = centreX_ + u * cos_;
        columnY_[size_t(x)] = u * sin_;
    }
}

bool FreeRotateEffect::MapPoint(int x, int y, double& sx, double& sy) const
{
    const Point p = RotatePoint(x, y, centreX_, centreY_, inverseAngle_);
    sx = p.x - shiftX_;
    sy = p.y - shiftY_;
    return sx >= 0 && sx <= sourceWidth_ - 1 && sy >= 0 && sy <= sourceHeight_ - 1;
}

void FreeRotateEffect::SampleInto(double sx, double sy, uint8_t* pixel) const
{
    sx = std::clamp(sx, 0.0, sourceWidth_ - kEdgeLimit);
    sy = std::clamp(sy, 0.0, sourceHeight_ - kEdgeLimit);
    const int x0 = int(sx);
    const int y0 = int(sy);
    const ImageBuffer& source = *SourceSnapshot();
    const uint8_t* p00 = source.PixelAddress(x0, y0);
    const uint8_t* p01 = source.PixelAddress(x0, y0 + 1);
    const uint32_t value = ImageBuffer::BilinearSample(
        sx - x0, sy - y0, bytesPerPixel_ == 4, p00, p00 + bytesPerPixel_, p01, p01 + bytesPerPixel_);
    std::memcpy(pixel, &value, size_t(bytesPerPixel_));
}

void FreeRotateEffect::ProcessPixel(ImageBuffer&, int x, int y, uint8_t* pixel)
{
    double sx, sy;
    if (SourceSnapshot() && MapPoint(x, y, sx, sy))
        SampleInto(sx, sy, pixel);
}

void FreeRotateEffect::ProcessRow(ImageBuffer& image, int y)
{
    if (!SourceSnapshot())
        return;
    if (bytesPerPixel_ == 4)
        ProcessRowOf<4>(image.Row(y), y, 0, newWidth_);
    else
        ProcessRowOf<3>(image.Row(y), y, 0, newWidth_);
}

void FreeRotateEffect::ProcessRows(ImageBuffer& image, int first, int end, int)
{
    if (!SourceSnapshot())
        return;
    // A row of the result crosses the source on a slant, touching a new source row every pixel or so;
    // the neighbouring rows of a narrow tile reuse the same source lines.
    constexpr int kTileWidth = 64;
    for (int left = 0; left < newWidth_; left += kTileWidth) {
        const int right = std::min(newWidth_, left + kTileWidth);
        for (int y = first; y < end; ++y) {
            if (bytesPerPixel_ == 4)
                ProcessRowOf<4>(image.Row(y), y, left, right);
            else
                ProcessRowOf<3>(image.Row(y), y, left, right);
        }
    }
}

// The row form of MapPoint and SampleInto. The source positions are whole or half pixels (halves only in
// one direction, for quarter turns of sides that differ by an odd number), so they are kept doubled as
// integers, and a half between two opaque pixels is their exact truncated mean. The last column and row
// and translucent pixels go through the general sample.
template <int Bytes> void FreeRotateEffect::ProcessRowOf(uint8_t* row, int y, int left, int right) const
{
    uint8_t* out = row + size_t(left) * Bytes;
    const ImageBuffer& source = *SourceSnapshot();
    const double v = centreY_ - y;
    const double rowX = v * sin_;
    const double rowY = v * cos_;
    const int twiceShiftX = newWidth_ - sourceWidth_;
    const int twiceShiftY = newHeight_ - sourceHeight_;
    const int twiceLastX = 2 * (sourceWidth_ - 1);
    const int twiceLastY = 2 * (sourceHeight_ - 1);
    for (int x = left; x < right; ++x, out += Bytes) {
        // The same sums, in the same order, as RotatePoint.
        const int rx = RoundToInt(columnX_[size_t(x)] + rowX);
        const int ry = RoundToInt(centreY_ - (rowY - columnY_[size_t(x)]));
        const int tx = 2 * rx - twiceShiftX;
        const int ty = 2 * ry - twiceShiftY;
        if (tx < 0 || tx > twiceLastX || ty < 0 || ty > twiceLastY)
            continue;
        if (tx == twiceLastX || ty == twiceLastY) {
            SampleInto(tx * 0.5, ty * 0.5, out);
            continue;
        }
        const uint8_t* p00 = source.Row(ty >> 1) + (tx >> 1) * Bytes;
        const int halfX = tx & 1;
        const int halfY = ty & 1;
        if (!(halfX | halfY)) {
            std::memcpy(out, p00, Bytes);
            continue;
        }
        const uint8_t* p01 = source.Row((ty >> 1) + 1) + (tx >> 1) * Bytes;
        if ((halfX & halfY) || (Bytes == 4 && (p00[3] & p00[Bytes + 3] & p01[3] & p01[Bytes + 3]) != 255)) {
            SampleInto(tx * 0.5, ty * 0.5, out);
            continue;
        }
        // top + (bottom - top) * fy with one fraction 0 and the other 0.5 is exact.
        const uint8_t* other = halfX ? p00 + Bytes : p01;
        for (int c = 0; c < 3; ++c)
            out[c] = uint8_t((p00[c] + other[c]) >> 1);
        if (Bytes == 4)
            out[3] = 255;
    }
}
