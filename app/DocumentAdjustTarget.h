#pragma once

#include "imaging/dialogs/AdjustTarget.h"

class CKestrelDoc;

// A document as the adjustment dialogs see it: previews replace its picture and refresh its views, and
// OK becomes one entry of its history.
class DocumentAdjustTarget final : public AdjustTarget {
public:
    explicit DocumentAdjustTarget(CKestrelDoc& document)
        : document_(document)
    {
    }

    const ImageBuffer& Picture() const override;
    void ShowPicture(ImageBuffer picture) override;
    bool ApplyStep(std::span<ImageEffect* const> effects) override;

private:
    CKestrelDoc& document_;
};
