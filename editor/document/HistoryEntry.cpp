#include "HistoryEntry.h"

#include "CKestrelDoc.h"

void HistoryEntry::RecordBefore(const CKestrelDoc& document, const ImageBuffer& image)
{
    beforeImage_ = image;
    beforeObjects_ = document.Objects();
}

void HistoryEntry::Apply(CKestrelDoc& document, ImageEffect* effect, ProgressSink* progress)
{
    if (!effect)
        return;
    RecordBefore(document, document.Image());
    document.Image().ApplyEffect(*effect, progress);
}

void HistoryEntry::Undo(CKestrelDoc& document)
{
    afterImage_ = document.Image();
    afterObjects_ = document.Objects();
    document.Image() = beforeImage_;
    document.Objects() = beforeObjects_;
    document.UpdateAllViews();
}

void HistoryEntry::Redo(CKestrelDoc& document)
{
    beforeImage_ = document.Image();
    beforeObjects_ = document.Objects();
    document.Image() = afterImage_;
    document.Objects() = afterObjects_;
    document.UpdateAllViews();
}
