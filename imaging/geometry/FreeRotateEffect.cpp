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

// Destination columns whose source positions are computed at once: a tile's width.
constexpr int kRunColumns = 64;

// The columns [first, end) of [0, count) where lo <= f(x) <= hi, for f monotonic in x. The rounded sums of a
// row are: each adds a constant to a multiple of the column, and rounding keeps the order.
template <class F> std::pair<int, int> ColumnsWithin(int count, int lo, int hi, F f)
{
    auto firstWhere = [count](auto holds) {
        int low = 0, high = count;
        while (low < high) {
            const int middle = low + (high - low) / 2;
            if (holds(middle))
                high = middle;
            else
                low = middle + 1;
        }
        return low;
    };
    if (f(0) <= f(count - 1))
        return { firstWhere([&](int x) { return f(x) >= lo; }), firstWhere([&](int x) { return f(x) > hi; }) };
    return { firstWhere([&](int x) { return f(x) <= hi; }), firstWhere([&](int x) { return f(x) < lo; }) };
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
    return { RotationPositions::Round(cx + u * c + v * s), RotationPositions::Round(cy - (v * c - u * s)) };
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
    halfX_ = (newWidth_ - sourceWidth_) & 1;
    halfY_ = (newHeight_ - sourceHeight_) & 1;
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
    const RowSpan span = SpanOfRow(y);
    if (bytesPerPixel_ == 4)
        ProcessRowOf<4>(image.Row(y), y, span, 0, newWidth_);
    else
        ProcessRowOf<3>(image.Row(y), y, span, 0, newWidth_);
}

void FreeRotateEffect::ProcessRows(ImageBuffer& image, int first, int end, int)
{
    if (!SourceSnapshot() || end <= first)
        return;
    std::vector<RowSpan> spans(size_t(end - first));
    for (int y = first; y < end; ++y)
        spans[size_t(y - first)] = SpanOfRow(y);
    // A row of the result crosses the source on a slant, touching a new source row every pixel or so;
    // the neighbouring rows of a narrow tile reuse the same source lines.
    for (int left = 0; left < newWidth_; left += kRunColumns) {
        const int right = std::min(newWidth_, left + kRunColumns);
        for (int y = first; y < end; ++y) {
            const RowSpan& span = spans[size_t(y - first)];
            if (bytesPerPixel_ == 4)
                ProcessRowOf<4>(image.Row(y), y, span, left, right);
            else
                ProcessRowOf<3>(image.Row(y), y, span, left, right);
        }
    }
}

RotationPositions::Row FreeRotateEffect::PositionsOfRow(int y) const
{
    // The same products as RotatePoint; the offsets turn a position of the rotated box into the source pixel
    // at or left of / above it, (2 p - (W_new - W)) >> 1.
    const double v = centreY_ - y;
    return { v * sin_, v * cos_, centreY_, -(newWidth_ - sourceWidth_) >> 1, -(newHeight_ - sourceHeight_) >> 1 };
}

FreeRotateEffect::RowSpan FreeRotateEffect::SpanOfRow(int y) const
{
    // Positions doubled, so that halves are whole numbers, exactly as the per-pixel test reads them.
    const RotationPositions::Row p = PositionsOfRow(y);
    const int twiceShiftX = newWidth_ - sourceWidth_;
    const int twiceShiftY = newHeight_ - sourceHeight_;
    auto tx = [&](int x) { return 2 * RotationPositions::Round(columnX_[size_t(x)] + p.rowX) - twiceShiftX; };
    auto ty
        = [&](int x) { return 2 * RotationPositions::Round(p.centreY - (p.rowY - columnY_[size_t(x)])) - twiceShiftY; };
    const int twiceLastX = 2 * (sourceWidth_ - 1);
    const int twiceLastY = 2 * (sourceHeight_ - 1);
    const auto [insideX, endX] = ColumnsWithin(newWidth_, 0, twiceLastX, tx);
    const auto [insideY, endY] = ColumnsWithin(newWidth_, 0, twiceLastY, ty);
    RowSpan span { std::max(insideX, insideY), 0, 0, std::min(endX, endY) };
    if (span.end <= span.first)
        return {};
    const auto [innerX, innerEndX] = ColumnsWithin(newWidth_, 0, twiceLastX - 1, tx);
    const auto [innerY, innerEndY] = ColumnsWithin(newWidth_, 0, twiceLastY - 1, ty);
    span.innerFirst = std::max(innerX, innerY);
    span.innerEnd = std::min(innerEndX, innerEndY);
    if (span.innerEnd <= span.innerFirst)
        span.innerFirst = span.innerEnd = span.first;
    return span;
}

// The row form of MapPoint and SampleInto. Pixels on the last source column or row go through the general
// sample; the others read their source pixels directly.
template <int Bytes>
void FreeRotateEffect::ProcessRowOf(uint8_t* row, int y, const RowSpan& span, int left, int right) const
{
    const int first = std::max(left, span.first);
    const int end = std::min(right, span.end);
    if (first >= end)
        return;
    const RotationPositions::Row positions = PositionsOfRow(y);
    const int innerFirst = std::clamp(span.innerFirst, first, end);
    const int innerEnd = std::clamp(span.innerEnd, first, end);
    auto sampleEdge = [&](int x) {
        int32_t xs, ys;
        RotationPositions::Compute(positions, &columnX_[size_t(x)], &columnY_[size_t(x)], 1, &xs, &ys);
        SampleInto((2 * xs + halfX_) * 0.5, (2 * ys + halfY_) * 0.5, row + size_t(x) * Bytes);
    };
    for (int x = first; x < innerFirst; ++x)
        sampleEdge(x);
    int32_t xs[kRunColumns], ys[kRunColumns];
    for (int x = innerFirst; x < innerEnd; x += kRunColumns) {
        const int count = std::min(kRunColumns, innerEnd - x);
        RotationPositions::Compute(positions, &columnX_[size_t(x)], &columnY_[size_t(x)], count, xs, ys);
        SampleInner<Bytes>(row + size_t(x) * Bytes, xs, ys, count);
    }
    for (int x = innerEnd; x < end; ++x)
        sampleEdge(x);
}

// Whole positions copy their pixel, and a half between two opaque pixels is their exact truncated mean. Halves
// occur for quarter turns whose sides differ by an odd number, in one direction only; halves in both and
// translucent pixels go through the general sample.
template <int Bytes>
void FreeRotateEffect::SampleInner(uint8_t* out, const int32_t* xs, const int32_t* ys, int count) const
{
    const ImageBuffer& source = *SourceSnapshot();
    // Rows are evenly spaced in one block.
    const uint8_t* top = source.Row(0);
    const ptrdiff_t step = source.Row(1) - top;
    auto at = [&](int i) { return top + ptrdiff_t(ys[i]) * step + ptrdiff_t(xs[i]) * Bytes; };
    const bool halfX = halfX_, halfY = halfY_;
    if (!halfX && !halfY) {
        // At 24 bpp four bytes move at once, the fourth overwritten by the next pixel: the source pixel is
        // never the last of its row.
        for (int i = 0; i + 1 < count; ++i)
            std::memcpy(out + size_t(i) * Bytes, at(i), 4);
        std::memcpy(out + size_t(count - 1) * Bytes, at(count - 1), Bytes);
        return;
    }
    for (int i = 0; i < count; ++i, out += Bytes) {
        const uint8_t* p00 = at(i);
        const uint8_t* p01 = p00 + step;
        if ((halfX && halfY) || (Bytes == 4 && (p00[3] & p00[Bytes + 3] & p01[3] & p01[Bytes + 3]) != 255)) {
            SampleInto((2 * xs[i] + halfX) * 0.5, (2 * ys[i] + halfY) * 0.5, out);
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
