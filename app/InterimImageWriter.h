#pragma once

#include <string>

class ImageBuffer;

// Writes a capture as PNG or BMP (by the name's extension) through Qt, replacing the target atomically.
// A stand-in until the editor's SaveImageFile is linked here: callers pass it as the capture's
// ImageFileWriter, so swapping it is one line.
bool WriteImageFileInterim(const ImageBuffer& image, const std::string& path);
