#pragma once

#include "imaging/PixelEffect.h"
#include "imaging/geometry/RotationPositions.h"

#include <vector>

// Rotation by whole degrees, clockwise on screen for a positive angle. The image grows to the rotated
// bounding box; destination pixels that map outside the source stay zero (black, transparent at 32 bpp).
class FreeRotateEffect final : public PixelEffect {
public:
    struct Point {
        int x = 0;
        int y = 0;
        friend bool operator==(const Point&, const Point&) = default;
    };

    // The angle is reduced to 0..359.
    explicit FreeRotateEffect(int degrees);

    // Needs two columns and two rows to interpolate between.
    bool CanApply(const ImageBuffer& image) const override;
    void Begin(ImageBuffer& image) override;
    bool RowsInAnyOrder() const override { return true; }
    void ProcessPixel(ImageBuffer& image, int x, int y, uint8_t* pixel) override;
    void ProcessRow(ImageBuffer& image, int y) override;
    // The rows in tiles a few dozen pixels wide, whose source pixels stay in cache from row to row.
    void ProcessRows(ImageBuffer& image, int first, int end, int worker) override;

    // (x, y) turned by `radians` about (cx, cy), each coordinate rounded half away from zero.
    static Point RotatePoint(int x, int y, double cx, double cy, double radians);
    // The source position of destination pixel (x, y); false when it lies outside the source. Valid
    // between Begin and End.
    bool MapPoint(int x, int y, double& sx, double& sy) const;

    double Angle() const { return angle_; }
    double InverseAngle() const { return inverseAngle_; }
    int NewWidth() const { return newWidth_; }
    int NewHeight() const { return newHeight_; }

private:
    // The columns of a row that map inside the source, [first, end), and among them those whose right and
    // lower neighbours exist, [innerFirst, innerEnd); the rest lie at the ends of [first, end).
    struct RowSpan {
        int first = 0;
        int innerFirst = 0;
        int innerEnd = 0;
        int end = 0;
    };

    void SampleInto(double sx, double sy, uint8_t* pixel) const;
    RotationPositions::Row PositionsOfRow(int y) const;
    RowSpan SpanOfRow(int y) const;
    // Columns [left, right) of row y.
    template <int Bytes> void ProcessRowOf(uint8_t* row, int y, const RowSpan& span, int left, int right) const;
    // Count pixels whose source pixels (xs[i], ys[i]) and their right and lower neighbours all exist.
    template <int Bytes> void SampleInner(uint8_t* out, const int32_t* xs, const int32_t* ys, int count) const;

    double angle_;
    double inverseAngle_;
    int32_t newWidth_ = 0;
    int32_t newHeight_ = 0;

    // Set in Begin from the snapshot and the new size.
    int sourceWidth_ = 0;
    int sourceHeight_ = 0;
    int bytesPerPixel_ = 0;
    double shiftX_ = 0; // (W_new - W) / 2
    double shiftY_ = 0;
    double centreX_ = 0; // (W_new - 1) / 2
    double centreY_ = 0;
    double cos_ = 0;
    double sin_ = 0;
    // The source positions are whole or half pixels, the same kind for every pixel: halves in x when the
    // widths differ by an odd number, in y when the heights do.
    bool halfX_ = false;
    bool halfY_ = false;
    // The column parts of RotatePoint's two sums: cx + u cos a, and u sin a.
    std::vector<double> columnX_;
    std::vector<double> columnY_;
};
