#pragma once

#include "editor/codecs/CodecRegistry.h"

#include <string>

// Loading and saving through a given registry; ImageBuffer::Load and Save use the current one.
// A failed load leaves image unchanged. Only the first decoded frame or page is kept.
bool LoadWithRegistry(ImageBuffer& image, const std::string& path, const CodecRegistry& registry);

enum class LoadOutcome {
    kLoaded,
    kUnreadable, // missing, unreadable, or no picture we read
    kDecoderFailed, // the sandboxed decoder crashed, was killed, or ran out of memory or time
};
// As ImageBuffer::Load, telling a failing decoder apart; the callers report it as its own error.
LoadOutcome LoadImageFile(ImageBuffer& image, const std::string& path);
// The one error for a failed decoder: "cannot read NAME: the decoder failed".
std::string DecoderFailedMessage(const std::string& name);
LoadOutcome LoadImageFileWithRegistry(ImageBuffer& image, const std::string& path, const CodecRegistry& registry);
bool SaveWithRegistry(const ImageBuffer& image, const std::string& path, int option, const CodecRegistry& registry);
