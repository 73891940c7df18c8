#pragma once

#include <string>
#include <vector>

class ImageBuffer;

// The picture encoded in memory as a file of the MIME type would hold it, by the writers that save
// files: "image/png" and "image/bmp". Empty for other types and on failure.
std::vector<char> EncodeImageBytes(const ImageBuffer& image, const std::string& mimeType);
