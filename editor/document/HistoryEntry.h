#pragma once

#include "ImageBuffer.h"
#include "ObjectList.h"

class CKestrelDoc;
class ImageEffect;
class ProgressSink;

// One undoable step: full copies of the image and the objects on either side of it. Undo and redo each
// refresh the copy of the state they leave, so an undone entry holds two full images.
class HistoryEntry {
public:
    HistoryEntry() = default;
    virtual ~HistoryEntry() = default;
    HistoryEntry(const HistoryEntry&) = delete;
    HistoryEntry& operator=(const HistoryEntry&) = delete;

    // Snapshots the document, then runs effect on its image when there is one.
    virtual void Apply(CKestrelDoc& document, ImageEffect* effect, ProgressSink* progress);
    virtual void Undo(CKestrelDoc& document);
    virtual void Redo(CKestrelDoc& document);

    // Takes the before state from the document's objects and the given image.
    void RecordBefore(const CKestrelDoc& document, const ImageBuffer& image);

    const ImageBuffer& BeforeImage() const { return beforeImage_; }
    const ImageBuffer& AfterImage() const { return afterImage_; }
    const ObjectList& BeforeObjects() const { return beforeObjects_; }
    const ObjectList& AfterObjects() const { return afterObjects_; }

private:
    ImageBuffer beforeImage_;
    ImageBuffer afterImage_;
    ObjectList beforeObjects_;
    ObjectList afterObjects_;
};
