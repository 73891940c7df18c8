#pragma once

#include "editor/objects/RectObject.h"
#include "imaging/ImageBuffer.h"

#include <cstdint>
#include <memory>

// A picture stretched over its rectangle. The object owns its own copy of the picture.
//
// The picture as drawn (resized to the rectangle, shadowed when asked) costs far more than drawing it,
// so the object keeps it until its size, its shadow or its picture changes. A copy of the object shares
// the kept picture, which is never changed once made. The picture itself changes only through SetImage
// and EditImage, each of which gives it a new identity and drops what was kept.
class StampObject final : public RectObject {
public:
    StampObject();

    // The property bar's stamp choice: list index + 1, 0 for none.
    int32_t stampIndex = 0;

    const ImageBuffer& Image() const { return image_; }
    void SetImage(ImageBuffer image);
    ImageBuffer& EditImage();
    // Changes whenever the picture does; copies of the object keep it.
    uint64_t PictureId() const { return pictureId_; }

    // The drawn picture for this width, height and shadow, when one was kept for them.
    std::shared_ptr<const ImageBuffer> KeptPicture(int width, int height, bool withShadow) const;
    void KeepPicture(int width, int height, bool withShadow, std::shared_ptr<const ImageBuffer> picture) const;
    // Whether the stamp was drawn at this width, height and shadow last time, kept or not.
    bool WasDrawnAt(int width, int height, bool withShadow) const;
    void NoteDrawnAt(int width, int height, bool withShadow) const { KeepPicture(width, height, withShadow, nullptr); }

private:
    struct Kept {
        int width = 0;
        int height = 0;
        bool withShadow = false;
        std::shared_ptr<const ImageBuffer> picture;
    };

    void Renew();

    ImageBuffer image_;
    uint64_t pictureId_ = 0;
    // Rendering runs on the GUI thread only.
    mutable Kept kept_;
};
