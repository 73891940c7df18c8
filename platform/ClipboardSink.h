#pragma once

class ImageBuffer;

// Where captures are copied to: the desktop clipboard, or a test's recorder.
class ClipboardSink {
public:
    virtual ~ClipboardSink() = default;
    // Offers the image to other programs; false when the clipboard could not be taken.
    virtual bool SetImage(const ImageBuffer& image) = 0;
};
