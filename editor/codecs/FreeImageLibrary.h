#pragma once

#include <FreeImage.h>

#include <cstdio>
#include <memory>

class ImageBuffer;

// FreeImage is set up once per process, on first use from any thread.
void EnsureFreeImage();

struct FreeImageBitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using FreeImageBitmap = std::unique_ptr<FIBITMAP, FreeImageBitmapDeleter>;

// A FreeImage bitmap holding a copy of image at its own depth (null when it cannot be made).
FreeImageBitmap ToFreeImageBitmap(const ImageBuffer& image);

// Writes bitmap as fif into an open stream through FreeImage's handle interface.
bool SaveFreeImageBitmap(FREE_IMAGE_FORMAT fif, FIBITMAP* bitmap, std::FILE* stream, int flags = 0);
