#include "editor/document/ResizeCommand.h"

#include "editor/document/CKestrelDoc.h"

#include <utility>

ResizeCommand::ResizeCommand(int width, int height, int quality)
    : width_(width)
    , height_(height)
    , quality_(quality)
{
}

void ResizeCommand::Apply(CKestrelDoc& document, ImageEffect*, ProgressSink* progress)
{
    RecordBefore(document, std::as_const(document).Image());
    if (quality_ == Good)
        document.Image().ResizeNearest(width_, height_);
    else
        document.Image().ResizeBilinear(width_, height_, progress);
}
