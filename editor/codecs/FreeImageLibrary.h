#pragma once

#include <FreeImage.h>

#include <cstdio>
#include <memory>

class ImageBuffer;

// FreeImage is set up once per process, on first use from any thread.
void EnsureFreeImage();

// Whether a decoder said, since the last reset on this thread, that the data ended before the picture
// did (libjpeg's premature end, libtiff's read errors): such a file would open as a picture of padding.
void ResetShortDataReport();
bool DataEndedEarly();

struct FreeImageBitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using FreeImageBitmap = std::unique_ptr<FIBITMAP, FreeImageBitmapDeleter>;

// A FreeImage bitmap holding a copy of image at its own depth (null when it cannot be made).
FreeImageBitmap ToFreeImageBitmap(const ImageBuffer& image);

// Writes bitmap as fif into an open stream through FreeImage's handle interface.
bool SaveFreeImageBitmap(FREE_IMAGE_FORMAT fif, FIBITMAP* bitmap, std::FILE* stream, int flags = 0);
