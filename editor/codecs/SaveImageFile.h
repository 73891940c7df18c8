#pragma once

#include "imaging/ImageBuffer.h"

#include <string>

// Saves image in the format its path's extension names, at the image's own depth. Any letter case of
// ".pcx" writes PCX; every other format goes through the save registry. The file is written to a
// temporary file beside the target and renamed over it only on success, so a failed save leaves an
// existing file untouched.
bool SaveImageFile(const ImageBuffer& image, const std::string& path);
