#pragma once

#include "imaging/PixelEffect.h"
#include "imaging/filters/FilterMath.h"
#include "imaging/filters/RandSequence.h"

#include <cstdint>
#include <vector>

// The noise effects' common run: a copy of the C library's sequence, DrawsPerPixel numbers drawn per
// pixel in the per-pixel order, and rows that take a whole row's numbers at once and add one change per
// byte. Derived gives ProcessPixel, the plain order, and RowChanges<Step>, which turns a row's numbers
// (scratch.draws) into the change of each byte (scratch.changes, filtermath::PackedChange).
template <class Derived, int DrawsPerPixel> class NoiseEffect : public PixelEffectImpl<Derived> {
public:
    int Amount() const { return amount_; }

    void Begin(ImageBuffer& image) override
    {
        scratch_ = Scratch(image.Width());
        start_ = random_;
    }
    void ProcessRow(ImageBuffer& image, int y) override
    {
        if (!WithPixelSize(image.BitCount(), [&](auto size) {
                ProcessRowOf<decltype(size)::value>(image.Row(y), image.Width(), random_, scratch_);
            }))
            PixelEffectImpl<Derived>::ProcessRow(image, y);
    }
    // A block of rows starts its own copy of the sequence where a row-by-row run would stand.
    bool RowsInAnyOrder() const override { return true; }
    void ProcessRows(ImageBuffer& image, int first, int end, int) override
    {
        RandSequence random = start_;
        random.Discard(uint64_t(first) * uint64_t(image.Width()) * DrawsPerPixel);
        Scratch scratch(image.Width());
        for (int y = first; y < end; ++y)
            WithPixelSize(image.BitCount(),
                [&](auto size) { ProcessRowOf<decltype(size)::value>(image.Row(y), image.Width(), random, scratch); });
    }
    void End(ImageBuffer& image) override
    {
        random_ = start_;
        random_.Discard(uint64_t(image.Width()) * uint64_t(image.Height()) * DrawsPerPixel);
    }

protected:
    NoiseEffect(int amount, unsigned seed)
        : amount_(amount)
        , random_(seed)
    {
    }

    // One row's scratch: the numbers, a value per pixel for the derived effect's own use, and the
    // change of each byte.
    struct Scratch {
        std::vector<uint16_t> draws;
        std::vector<int32_t> values;
        std::vector<uint16_t> changes;
        explicit Scratch(int width)
            : draws(size_t(width) * DrawsPerPixel)
            , values(size_t(width))
            , changes(size_t(width) * 4)
        {
        }
    };

    int amount_;
    RandSequence random_; // where ProcessPixel draws from

private:
    template <int Step> void ProcessRowOf(uint8_t* row, int width, RandSequence& random, Scratch& scratch) const
    {
        random.FillShort(scratch.draws.data(), size_t(width) * DrawsPerPixel);
        static_cast<const Derived*>(this)->template RowChanges<Step>(scratch, width);
        filtermath::AddPackedChanges(row, scratch.changes.data(), size_t(width) * Step);
    }

    RandSequence start_; // where this run's first row begins
    Scratch scratch_ { 0 };
};
