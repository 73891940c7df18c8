#include "imaging/filters/GridEffect.h"

#include "imaging/filters/FilterMath.h"

#include <algorithm>

namespace {

enum RowCondition { kSecondRow = 1, kSecondToLastRow = 2, kInnerRow = 4 };

} // namespace

GridEffect::GridEffect(int cell, int depth)
    : cell_(std::max(cell, 1))
    , depth_(depth)
{
}

int GridEffect::RowSignature(int y) const
{
    const int n = cell_;
    int signature = 0;
    if ((y - 1) % n == 0)
        signature |= kSecondRow;
    if ((int64_t(y) + 2) % n == 0)
        signature |= kSecondToLastRow;
    if (y % n != 0 && (int64_t(y) + 1) % n != 0)
        signature |= kInnerRow;
    return signature;
}

int64_t GridEffect::Delta(int x, int y) const
{
    const int n = cell_;
    const int64_t d = depth_;
    const bool innerColumn = x % n != 0 && (int64_t(x) + 1) % n != 0;
    const int signature = RowSignature(y);
    if ((signature & kSecondRow) && innerColumn)
        return -d;
    if ((signature & kSecondToLastRow) && innerColumn)
        return d;
    if ((signature & kInnerRow) && (x - 1) % n == 0)
        return d;
    if ((signature & kInnerRow) && (int64_t(x) + 2) % n == 0)
        return -d;
    return 0;
}

void GridEffect::Begin(ImageBuffer& image)
{
    // One sample row per signature stands for all rows of that signature.
    const int width = image.Width();
    for (int signature = 0; signature < 8; ++signature)
        changes_[signature].clear();
    const int n = cell_;
    for (int x = 0; x < width; ++x) {
        const bool innerColumn = x % n != 0 && (int64_t(x) + 1) % n != 0;
        const bool secondColumn = (x - 1) % n == 0;
        const bool secondToLastColumn = (int64_t(x) + 2) % n == 0;
        for (int signature = 0; signature < 8; ++signature) {
            int64_t delta = 0;
            if ((signature & kSecondRow) && innerColumn)
                delta = -int64_t(depth_);
            else if ((signature & kSecondToLastRow) && innerColumn)
                delta = depth_;
            else if ((signature & kInnerRow) && secondColumn)
                delta = depth_;
            else if ((signature & kInnerRow) && secondToLastColumn)
                delta = -int64_t(depth_);
            if (delta != 0)
                changes_[signature].push_back({ x, int(std::clamp<int64_t>(delta, -255, 255)) });
        }
    }
}

void GridEffect::ProcessPixel(ImageBuffer&, int x, int y, uint8_t* pixel)
{
    const int64_t delta = Delta(x, y);
    for (int c = 0; c < 3; ++c)
        pixel[c] = filtermath::ClampByte(pixel[c] + delta);
}

void GridEffect::ProcessRow(ImageBuffer& image, int y)
{
    const int bpp = image.BitCount();
    if (bpp != 24 && bpp != 32) {
        PixelEffectImpl::ProcessRow(image, y);
        return;
    }
    const size_t step = size_t(bpp / 8);
    uint8_t* row = image.Row(y);
    for (const Change& change : changes_[RowSignature(y)]) {
        uint8_t* pixel = row + size_t(change.x) * step;
        for (int c = 0; c < 3; ++c) {
            const int value = pixel[c] + change.delta;
            pixel[c] = uint8_t(value < 0 ? 0 : value > 255 ? 255 : value);
        }
    }
}
