#include "editor/objects/ObjectFingerprint.h"

#include "editor/objects/HighlightObject.h"
#include "editor/objects/LineObject.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/RedactObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/StampObject.h"
#include "editor/objects/StepObject.h"
#include "editor/objects/TextObject.h"

#include <QString>

namespace {

// FNV-1a over the values' bytes.
class Digest {
public:
    Digest& Add(uint64_t value)
    {
        for (int i = 0; i < 8; ++i) {
            hash_ ^= (value >> (i * 8)) & 0xFF;
            hash_ *= 0x100000001B3ull;
        }
        return *this;
    }
    Digest& Add(const QString& text)
    {
        Add(uint64_t(text.size()));
        for (const QChar c : text)
            Add(c.unicode());
        return *this;
    }
    uint64_t Value() const { return hash_; }

private:
    uint64_t hash_ = 0xCBF29CE484222325ull;
};

void AddRect(Digest& digest, const RectObject& object)
{
    digest.Add(uint32_t(object.left))
        .Add(uint32_t(object.top))
        .Add(uint32_t(object.right))
        .Add(uint32_t(object.bottom));
}

} // namespace

uint64_t ObjectFingerprint::Of(const AnnotationObject& object)
{
    Digest digest;
    digest.Add(uint32_t(object.Kind())).Add(uint32_t(object.transparency)).Add(object.shadow);
    if (const auto* line = dynamic_cast<const LineObject*>(&object)) {
        digest.Add(uint32_t(line->startX)).Add(uint32_t(line->startY)).Add(uint32_t(line->endX));
        digest.Add(uint32_t(line->endY)).Add(uint32_t(line->width)).Add(line->colour).Add(uint32_t(line->style));
        return digest.Value();
    }
    if (const auto* pen = dynamic_cast<const PenObject*>(&object)) {
        digest.Add(uint32_t(pen->width)).Add(pen->colour).Add(uint64_t(pen->Points().size()));
        for (const PenObject::Point& point : pen->Points())
            digest.Add(uint64_t(uint32_t(point.x)) << 32 | uint32_t(point.y));
        return digest.Value();
    }
    const auto* boxed = dynamic_cast<const RectObject*>(&object);
    if (!boxed)
        return digest.Value();
    AddRect(digest, *boxed);
    if (const auto* text = dynamic_cast<const TextObject*>(&object)) {
        digest.Add(text->text).Add(text->fontFace).Add(uint32_t(text->fontSize)).Add(text->textColour);
        digest.Add(text->backColour).Add(uint32_t(text->alignment)).Add(text->bold).Add(text->italic);
        digest.Add(text->underline).Add(uint32_t(text->boxStyle));
    } else if (const auto* box = dynamic_cast<const ShapeObject*>(&object)) {
        digest.Add(box->borderColour).Add(box->fillColour).Add(uint32_t(box->shape)).Add(uint32_t(box->width));
    } else if (const auto* highlight = dynamic_cast<const HighlightObject*>(&object)) {
        digest.Add(highlight->colour);
    } else if (const auto* stamp = dynamic_cast<const StampObject*>(&object)) {
        digest.Add(stamp->PictureId());
    } else if (const auto* redact = dynamic_cast<const RedactObject*>(&object)) {
        digest.Add(uint32_t(redact->mode)).Add(uint32_t(redact->strength));
    } else if (const auto* step = dynamic_cast<const StepObject*>(&object)) {
        digest.Add(uint32_t(step->number)).Add(step->colour);
    }
    return digest.Value();
}
