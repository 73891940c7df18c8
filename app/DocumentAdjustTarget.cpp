#include "app/DocumentAdjustTarget.h"

#include "editor/document/CKestrelDoc.h"

#include <utility>

const ImageBuffer& DocumentAdjustTarget::Picture() const
{
    return std::as_const(document_).Image();
}

void DocumentAdjustTarget::ShowPicture(ImageBuffer picture)
{
    document_.SetImage(std::move(picture));
    document_.UpdateAllViews();
}

bool DocumentAdjustTarget::ApplyStep(std::span<ImageEffect* const> effects)
{
    return document_.ApplyImageEffects(effects);
}
