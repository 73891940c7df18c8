#include "imaging/filters/GrownRows.h"

#include "imaging/ImageBuffer.h"
#include "imaging/filters/EdgePadding.h"

void GrownRows::Create(const ImageBuffer& image, int margin, int slots)
{
    margin_ = margin;
    slots_ = slots;
    stride_ = (size_t(image.Width()) + 2 * size_t(margin)) * size_t(image.BitCount() / 8);
    rows_.assign(size_t(slots) * stride_, 0);
    first_ = 0;
    end_ = image.Height();
    lo_ = hi_ = 0;
}

void GrownRows::StartBlock(int first, int end)
{
    first_ = first;
    end_ = end;
    lo_ = hi_ = first;
}

void GrownRows::Load(const ImageBuffer& image, const BoundaryRows& kept, int grownRow)
{
    const int row = int(std::clamp<int64_t>(int64_t(grownRow) - margin_, 0, image.Height() - 1));
    PadRowWithEdges(kept.Input(image, row, first_, end_), size_t(image.Width()), size_t(image.BitCount() / 8),
        size_t(margin_), rows_.data() + size_t(grownRow % slots_) * stride_);
}
