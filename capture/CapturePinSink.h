#pragma once

#include "imaging/BitmapTypes.h"

class ImageBuffer;

// Where a capture goes when the user asked to pin it: a window showing it on the desktop where it was
// taken, in place of the editor, the clipboard and the auto-saved file.
class CapturePinSink {
public:
    virtual ~CapturePinSink() = default;
    // where: the captured rectangle, in device pixels of the desktop.
    virtual void PinCapture(const ImageBuffer& image, const ImageRect& where) = 0;
};
