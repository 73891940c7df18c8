#pragma once

#include "imaging/ImageBuffer.h"

#include <string>

// Reads a PNG file straight into a 24 bpp image: a whole-desktop picture is large, and each intermediate
// copy costs as much as the decoding. Empty when the file is not a PNG that can be read (alpha is dropped:
// screens are opaque).
ImageBuffer ReadPngFile(const std::string& path);
