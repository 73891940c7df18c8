#pragma once

#include "platform/ClipboardSink.h"

#include <functional>
#include <string>
#include <vector>

// The clipboard of a Wayland desktop, kept after the program ends: wl-copy (Debian's wl-clipboard) takes
// the PNG on its standard input and serves it from a background process of its own until another program
// takes the clipboard.
class WlCopyClipboard final : public ClipboardSink {
public:
    using Encoder = std::function<std::vector<char>(const ImageBuffer& image, const std::string& mimeType)>;

    explicit WlCopyClipboard(Encoder encoder, std::string program = "wl-copy");

    // Whether the program is found on PATH (or, given with a slash, is executable).
    bool Installed() const;
    bool SetImage(const ImageBuffer& image) override;
    // Whether the last SetImage handed its picture to wl-copy.
    bool Copied() const { return copied_; }

private:
    bool Copy(const ImageBuffer& image);

    Encoder encoder_;
    std::string program_;
    bool copied_ = false;
};
