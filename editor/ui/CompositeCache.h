#pragma once

#include "editor/objects/ObjectPainter.h"
#include "imaging/ImageBuffer.h"

#include <QRect>

#include <cstdint>
#include <optional>
#include <vector>

class AnnotationObject;
class ObjectList;

// The picture a view shows: the document image with every annotation object rendered on top, kept
// between paints. Rows are brought up to date only when a paint reads them, and a change of one object
// redraws only the area it touched, so the first line drawn on a large capture, or a dragged object,
// costs a band of rows rather than a copy of the whole picture.
//
// The cache remembers a digest of every object as it drew it, and each read compares the objects with
// it: an object changed without a word (a dialog filling in a text, a property applied) is redrawn all
// the same, so the composite always shows what saving and printing render.
class CompositeCache {
public:
    // The composite, up to date inside part (image pixels). With no objects over a 32-bpp image that
    // image itself is returned, and nothing is copied.
    const ImageBuffer& Get(const ImageBuffer& image, const ObjectList& objects, const QRect& part);
    // Every row is redrawn when next read.
    void Invalidate() { dirty_ = true; }
    // Redraws area (image pixels) after a change of objects confined to it; the rest is kept. Every
    // change of grown (an object being drawn, say) since the last read lies inside area: its digest is
    // taken as it is now without redrawing all it reaches.
    void Patch(const ImageBuffer& image, const ObjectList& objects, const QRect& area,
        const AnnotationObject* grown = nullptr);

private:
    // The columns of a row that are up to date, left to right (exclusive).
    struct Span {
        int left = 0;
        int right = 0;
        bool IsEmpty() const { return right <= left; }
        bool operator==(const Span&) const = default;
    };
    struct Drawn {
        const AnnotationObject* object = nullptr;
        uint64_t fingerprint = 0;
        std::optional<LongRect> reach;
    };

    static std::vector<Drawn> Survey(const ObjectList& objects);
    // Every pixel an object reaches that differs between what was drawn and now.
    QRect ChangedArea(const std::vector<Drawn>& now, const AnnotationObject* grown) const;
    // Brings the composite up to the objects as they are, redrawing area besides what changed.
    void CatchUp(const ImageBuffer& image, const ObjectList& objects, QRect area, const AnnotationObject* grown);
    // Redraws what is up to date inside part; the rest is drawn when read.
    void RedrawCurrent(const ImageBuffer& image, const ObjectList& objects, const QRect& part);
    // After an invalidation: the image alone, or a composite of its size whose rows are all stale.
    void Prepare(const ImageBuffer& image, const ObjectList& objects);
    // Copies and renders whatever of part is stale, from top to bottom.
    void Refresh(const ImageBuffer& image, const ObjectList& objects, const QRect& part);
    // Redraws part (taking in the redactions it cuts through), which lies inside the image, onto the
    // composite, and counts it up to date.
    void Redraw(const ImageBuffer& image, const ObjectList& objects, const QRect& part);
    // The columns of row y to draw so that it is up to date from left to right: none when it is already.
    Span Stale(int y, int left, int right) const;

    ImageBuffer composite_;
    std::vector<Span> current_; // per row
    std::vector<Drawn> drawn_;
    bool isImage_ = false;
    bool dirty_ = true;
};
