#pragma once

#include "editor/codecs/CodecRegistry.h"

#include <string>

// Loading and saving through a given registry; ImageBuffer::Load and Save use the current one.
// A failed load leaves image unchanged. Only the first decoded frame or page is kept.
bool LoadWithRegistry(ImageBuffer& image, const std::string& path, const CodecRegistry& registry);
bool SaveWithRegistry(const ImageBuffer& image, const std::string& path, int option, const CodecRegistry& registry);
