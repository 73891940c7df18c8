#pragma once

#include "imaging/ImageBuffer.h"
#include "imaging/ImageEffect.h"

#include <memory>
#include <type_traits>

// Base of every per-pixel operation on 24- and 32-bpp images. Effects that read neighbouring or moved
// pixels take a copy of their input in Begin.
class PixelEffect : public ImageEffect {
public:
    bool CanApply(const ImageBuffer& image) const override;

    const ImageBuffer* SourceSnapshot() const { return sourceSnapshot_.get(); }

protected:
    // Replaces any earlier snapshot. Returns false when the copy could not be made.
    bool TakeSourceSnapshot(const ImageBuffer& image);
    void ReleaseSourceSnapshot() { sourceSnapshot_.reset(); }
    // Makes the image itself the snapshot, leaving it empty (origin kept): for effects that recreate the
    // image anyway, at no cost of a copy.
    void AdoptSourceSnapshot(ImageBuffer&& image) { sourceSnapshot_ = std::make_unique<ImageBuffer>(std::move(image)); }

private:
    std::unique_ptr<ImageBuffer> sourceSnapshot_;
};

// Runs fn with the pixel size in bytes as a compile-time constant (std::integral_constant) for 32 and
// 24 bpp, so that a row loop can be specialised for each; false for other depths.
template <class Fn> bool WithPixelSize(int bpp, Fn&& fn)
{
    if (bpp == 32)
        fn(std::integral_constant<int, 4> {});
    else if (bpp == 24)
        fn(std::integral_constant<int, 3> {});
    else
        return false;
    return true;
}

// Gives a concrete effect a row loop that calls its ProcessPixel directly, so the per-pixel call can be
// inlined. The visiting order is the same as ImageEffect::ProcessRow. Derived must be final.
template <class Derived, class Base = PixelEffect> class PixelEffectImpl : public Base {
public:
    using Base::Base;

    void ProcessRow(ImageBuffer& image, int y) override
    {
        const int bpp = image.BitCount();
        if (bpp < 8) {
            Base::ProcessRow(image, y);
            return;
        }
        auto* self = static_cast<Derived*>(this);
        const int width = image.Width();
        const int step = bpp / 8;
        uint8_t* pixel = image.Row(y);
        for (int x = 0; x < width; ++x, pixel += step)
            self->Derived::ProcessPixel(image, x, y, pixel);
    }
};
