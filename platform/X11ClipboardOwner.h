#pragma once

#include "platform/ClipboardSink.h"

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// The desktop clipboard on X11. The image is offered as image/png and image/bmp by a small background
// process that owns the CLIPBOARD selection and serves it (large images in increments) until another
// program takes the clipboard, so a copy outlives the program that made it, as xclip's does. A
// clipboard manager that takes the data over ends it the same way.
class X11ClipboardOwner final : public ClipboardSink {
public:
    // Encodes the image as a file of the MIME type; empty when it cannot. The file codecs supply it, so
    // the clipboard and saved files share one encoder.
    using Encoder = std::function<std::vector<char>(const ImageBuffer& image, const std::string& mimeType)>;

    // displayName empty means $DISPLAY.
    explicit X11ClipboardOwner(Encoder encoder, std::string displayName = {});

    bool SetImage(const ImageBuffer& image) override;
    // Offers UTF-8 text the same way, so that it too outlives the program.
    bool SetText(const std::string& utf8);

    // The serving process of the last successful SetImage, for callers that need to wait for it.
    pid_t ServerPid() const { return serverPid_; }

private:
    Encoder encoder_;
    std::string displayName_;
    pid_t serverPid_ = 0;
};
