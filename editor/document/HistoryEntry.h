#pragma once

#include "editor/objects/ObjectList.h"
#include "imaging/ImageBuffer.h"

#include <memory>
#include <span>

class CKestrelDoc;
class ImageEffect;
class ProgressSink;

// One undoable step: the image and the objects on either side of it. The images are shared with the
// document (and with other entries) until the document changes its own, so a step that only edits
// objects holds no picture of its own. Undo and redo each refresh the state they leave.
class HistoryEntry {
public:
    HistoryEntry() = default;
    virtual ~HistoryEntry() = default;
    HistoryEntry(const HistoryEntry&) = delete;
    HistoryEntry& operator=(const HistoryEntry&) = delete;

    // Snapshots the document, then runs effects on its image in order when there are any. False when the
    // change failed part way (out of memory): the document then has its image as before.
    virtual bool Apply(CKestrelDoc& document, std::span<ImageEffect* const> effects, ProgressSink* progress);
    virtual void Undo(CKestrelDoc& document);
    virtual void Redo(CKestrelDoc& document);

    // Takes the before state from the document's objects and the given image.
    void RecordBefore(const CKestrelDoc& document, const ImageBuffer& image);
    // Gives the document back its image from before.
    void RestoreBefore(CKestrelDoc& document) const;

    const ImageBuffer& BeforeImage() const { return beforeImage_ ? *beforeImage_ : kNoImage; }
    const ImageBuffer& AfterImage() const { return afterImage_ ? *afterImage_ : kNoImage; }
    const ObjectList& BeforeObjects() const { return beforeObjects_; }
    const ObjectList& AfterObjects() const { return afterObjects_; }

private:
    static inline const ImageBuffer kNoImage {};

    std::shared_ptr<const ImageBuffer> beforeImage_;
    std::shared_ptr<const ImageBuffer> afterImage_;
    ObjectList beforeObjects_;
    ObjectList afterObjects_;
};
