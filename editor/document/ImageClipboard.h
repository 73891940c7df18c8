#pragma once

#include "imaging/BitmapTypes.h"
#include "imaging/ImageBuffer.h"

#include <functional>
#include <string>
#include <vector>

class CKestrelDoc;

// Copy, Cut and Paste of pixels between a document and the desktop clipboard. The desktop side comes in
// as three hooks, so the commands run the same against the X11 clipboard and a test's stand-in. Cut and
// Paste are undoable; the annotation objects never travel, only the picture's own pixels, except that
// redactions are applied to what is copied: what they hide never leaves the document.
class ImageClipboard {
public:
    enum class ExpandAnswer { Yes, No, Cancel };
    // DecoderFailed: the offered picture's decoder failed (crashed, was killed, ran out of memory or time).
    enum class PasteResult { Nothing, Pasted, Expanded, Cancelled, DecoderFailed };

    // Offers a 24- or 32-bpp picture to other programs; false when the clipboard could not be taken.
    using Offer = std::function<bool(const ImageBuffer& image)>;
    // The picture another program offers, as its MIME type and file bytes; false when there is none.
    using Fetch = std::function<bool(std::string& mimeType, std::vector<char>& bytes)>;
    // Asked when the clipboard's picture is wider or higher than the document's.
    using AskExpand = std::function<ExpandAnswer()>;

    static constexpr const char* kExpandQuestion = "Clipboard image is large than the image, expand the image?";

    ImageClipboard(Offer offer, Fetch fetch, AskExpand ask);

    // The part of the picture inside selection (image coordinates) when it has a positive size, else the
    // whole picture.
    bool Copy(const CKestrelDoc& document, const ImageRect& selection) const;
    // The pixels that leave the document as Copy hands them over (its redactions applied, cut to the
    // selection when there is one); empty when they cannot be made.
    static ImageBuffer SharedPixels(const CKestrelDoc& document, const ImageRect& selection);
    // Copy, then the selection turns opaque white. Without a selection nothing is erased; when the copy
    // fails nothing is erased either, so the pixels are never only gone.
    bool Cut(CKestrelDoc& document, const ImageRect& selection) const;
    // The clipboard's picture at the top-left corner; a larger one asks whether to expand the picture.
    PasteResult Paste(CKestrelDoc& document) const;

    // An offered picture read the way a clipboard bitmap is: 32 bpp and opaque. Bitmaps (BMP) go through
    // the bounds-checked DIB reader, every other type through the file decoders. Empty when it does not
    // decode; decoderFailed, when given, tells whether the decoder itself failed.
    static ImageBuffer DecodeOffer(
        const std::string& mimeType, const std::vector<char>& bytes, bool* decoderFailed = nullptr);

private:
    Offer offer_;
    Fetch fetch_;
    AskExpand ask_;
};
