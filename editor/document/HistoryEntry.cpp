#include "editor/document/HistoryEntry.h"

#include "editor/document/CKestrelDoc.h"

#include <utility>

void HistoryEntry::RecordBefore(const CKestrelDoc& document, const ImageBuffer& image)
{
    beforeImage_ = &image == &document.Image() ? document.ShareImage() : std::make_shared<const ImageBuffer>(image);
    beforeObjects_ = document.Objects();
}

bool HistoryEntry::Apply(CKestrelDoc& document, std::span<ImageEffect* const> effects, ProgressSink* progress)
{
    if (effects.empty())
        return true;
    RecordBefore(document, std::as_const(document).Image());
    for (ImageEffect* effect : effects) {
        if (!document.Image().ApplyEffect(*effect, progress)) {
            RestoreBefore(document);
            return false;
        }
    }
    return true;
}

void HistoryEntry::RestoreBefore(CKestrelDoc& document) const
{
    if (beforeImage_)
        document.AdoptImage(beforeImage_);
}

void HistoryEntry::Undo(CKestrelDoc& document)
{
    afterImage_ = document.ShareImage();
    afterObjects_ = document.Objects();
    document.AdoptImage(beforeImage_);
    document.Objects() = beforeObjects_;
    document.UpdateAllViews();
}

void HistoryEntry::Redo(CKestrelDoc& document)
{
    beforeImage_ = document.ShareImage();
    beforeObjects_ = document.Objects();
    document.AdoptImage(afterImage_);
    document.Objects() = afterObjects_;
    document.UpdateAllViews();
}
