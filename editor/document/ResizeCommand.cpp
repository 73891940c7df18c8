#include "editor/document/ResizeCommand.h"

#include "editor/document/CKestrelDoc.h"

#include <utility>

ResizeCommand::ResizeCommand(int width, int height, int quality)
    : width_(width)
    , height_(height)
    , quality_(quality)
{
}

bool ResizeCommand::Apply(CKestrelDoc& document, std::span<ImageEffect* const>, ProgressSink* progress)
{
    RecordBefore(document, std::as_const(document).Image());
    if (std::as_const(document).Image().IsEmpty())
        return true;
    if (quality_ == Good)
        document.Image().ResizeNearest(width_, height_);
    else
        document.Image().ResizeBilinear(width_, height_, progress);
    // A resize without the memory for its new picture leaves none.
    if (!std::as_const(document).Image().IsEmpty())
        return true;
    RestoreBefore(document);
    return false;
}
