#include "editor/document/ImageClipboard.h"

#include "editor/codecs/DibCodec.h"
#include "editor/codecs/MemoryImageCodec.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/objects/ObjectList.h"
#include "editor/objects/ObjectRenderer.h"

#include <algorithm>
#include <utility>

namespace {

bool IsBitmapType(const std::string& mimeType)
{
    return mimeType == "image/bmp" || mimeType == "image/x-bmp" || mimeType == "image/x-MS-bmp"
        || mimeType == "image/x-win-bitmap";
}

ImageBuffer WhiteImage(int width, int height)
{
    ImageBuffer image;
    if (image.Create(width, height, 32))
        std::fill(image.Pixels(), image.Pixels() + image.PixelBytes(), uint8_t(255));
    return image;
}

// Pastes onto the document's picture at (0, 0), clipped to it, after recording the step.
void PasteOnto(CKestrelDoc& document, const ImageBuffer& pasted)
{
    document.RecordUndoSnapshot(std::as_const(document).Image());
    ImageBuffer& image = document.Image();
    if (image.BitCount() != 32)
        image.ConvertTo(32);
    image.Paste(pasted, 0, 0);
}

bool HasRedaction(const ObjectList& objects)
{
    return std::any_of(
        objects.begin(), objects.end(), [](const auto& object) { return object->Kind() == ObjectKind::Redact; });
}

// The picture with its redactions applied, in list order; no other object travels. Empty when the copy
// cannot be made, so that the hidden pixels are never offered instead.
ImageBuffer Redacted(const CKestrelDoc& document)
{
    ImageBuffer copy;
    if (!copy.CopyFrom(document.Image()) || (copy.BitCount() != 32 && !copy.ConvertTo(32)))
        return {};
    for (const auto& object : document.Objects()) {
        if (object->Kind() == ObjectKind::Redact)
            ObjectRenderer::RenderObject(*object, copy);
    }
    return copy;
}

} // namespace

ImageClipboard::ImageClipboard(Offer offer, Fetch fetch, AskExpand ask)
    : offer_(std::move(offer))
    , fetch_(std::move(fetch))
    , ask_(std::move(ask))
{
}

bool ImageClipboard::Copy(const CKestrelDoc& document, const ImageRect& selection) const
{
    const ImageBuffer& image = document.Image();
    if (image.BitCount() != 24 && image.BitCount() != 32)
        return false;
    ImageBuffer redacted;
    if (HasRedaction(document.Objects())) {
        redacted = Redacted(document);
        if (redacted.IsEmpty())
            return false;
    }
    const ImageBuffer& source = redacted.IsEmpty() ? image : redacted;
    if (selection.IsEmpty())
        return offer_(source);
    ImageBuffer part;
    return source.CopyRegion(&part, selection) && offer_(part);
}

ImageBuffer ImageClipboard::SharedPixels(const CKestrelDoc& document, const ImageRect& selection)
{
    ImageBuffer source = HasRedaction(document.Objects()) ? Redacted(document) : document.Image();
    if (source.IsEmpty() || selection.IsEmpty())
        return source;
    ImageBuffer part;
    if (!source.CopyRegion(&part, selection))
        return {};
    return part;
}

bool ImageClipboard::Cut(CKestrelDoc& document, const ImageRect& selection) const
{
    if (!Copy(document, selection))
        return false;
    if (selection.IsEmpty())
        return true;
    document.RecordUndoSnapshot(std::as_const(document).Image());
    const uint8_t white[4] = { 255, 255, 255, 255 };
    document.Image().FillRect(selection, white);
    document.UpdateAllViews();
    return true;
}

ImageClipboard::PasteResult ImageClipboard::Paste(CKestrelDoc& document) const
{
    std::string mimeType;
    std::vector<char> bytes;
    if (!fetch_(mimeType, bytes))
        return PasteResult::Nothing;
    bool decoderFailed = false;
    const ImageBuffer pasted = DecodeOffer(mimeType, bytes, &decoderFailed);
    if (pasted.IsEmpty())
        return decoderFailed ? PasteResult::DecoderFailed : PasteResult::Nothing;

    const ImageBuffer& current = document.Image();
    if (current.Width() >= pasted.Width() && current.Height() >= pasted.Height()) {
        PasteOnto(document, pasted);
        document.UpdateAllViews();
        return PasteResult::Pasted;
    }
    switch (ask_()) {
    case ExpandAnswer::Yes: {
        ImageBuffer expanded
            = WhiteImage(std::max(current.Width(), pasted.Width()), std::max(current.Height(), pasted.Height()));
        if (expanded.IsEmpty())
            return PasteResult::Nothing;
        if (current.BitCount() == 32) {
            expanded.Paste(current, 0, 0);
        } else {
            ImageBuffer old(current);
            old.ConvertTo(32);
            expanded.Paste(old, 0, 0);
        }
        expanded.Paste(pasted, 0, 0);
        document.RecordUndoSnapshot(current);
        document.SetImage(std::move(expanded));
        document.UpdateAllViews();
        return PasteResult::Expanded;
    }
    case ExpandAnswer::No:
        PasteOnto(document, pasted);
        document.UpdateAllViews();
        return PasteResult::Pasted;
    case ExpandAnswer::Cancel:
        break;
    }
    return PasteResult::Cancelled;
}

ImageBuffer ImageClipboard::DecodeOffer(
    const std::string& mimeType, const std::vector<char>& bytes, bool* decoderFailed)
{
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    std::unique_ptr<ImageBuffer> image;
    if (IsBitmapType(mimeType)) {
        DibCodec codec;
        if (codec.DecodeBmpFile(data, bytes.size()))
            image = std::move(codec.TakeImages().front());
    } else {
        MemoryImageCodec codec;
        if (codec.Decode(data, bytes.size()) && !codec.DecodedImages().empty())
            image = std::move(codec.TakeImages().front());
        if (decoderFailed)
            *decoderFailed = codec.DecoderFailed();
    }
    if (!image || (image->BitCount() != 32 && !image->ConvertTo(32)))
        return {};
    // The document's pictures are opaque; a transparent corner would vanish from the view and the file.
    image->SetAlpha(255);
    return std::move(*image);
}
