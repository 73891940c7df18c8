#pragma once

#include "editor/codecs/ImageCodec.h"
#include "editor/codecs/ImageFormat.h"

#include <memory>
#include <string_view>

// Maps an image format to a new codec for it. Loading goes through a DefaultCodecRegistry, saving
// through a SaveCodecRegistry.
class CodecRegistry {
public:
    virtual ~CodecRegistry();
    ImageFormat FormatFromName(std::string_view path) const { return ::FormatFromName(path); }
    // A new codec for format, or null when this registry has none.
    virtual std::unique_ptr<ImageCodec> CreateCodec(ImageFormat format) const = 0;
};

// Installs registry as the process's current one, replacing (and releasing) the previous one.
void SetCurrentRegistry(std::shared_ptr<CodecRegistry> registry);
// The current registry; a DefaultCodecRegistry until another is installed. Holding the pointer keeps
// it alive while another thread installs a different one.
std::shared_ptr<CodecRegistry> CurrentRegistry();
