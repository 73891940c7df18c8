#pragma once

#include "ClipboardSink.h"

#include <string>
#include <sys/types.h>

// The desktop clipboard on X11. The image is offered as image/png and image/bmp by a small background
// process that owns the CLIPBOARD selection and serves it (large images in increments) until another
// program takes the clipboard, so a copy outlives the program that made it, as xclip's does. A
// clipboard manager that takes the data over ends it the same way.
class X11ClipboardOwner final : public ClipboardSink {
public:
    // displayName empty means $DISPLAY.
    explicit X11ClipboardOwner(std::string displayName = {});

    bool SetImage(const ImageBuffer& image) override;

    // The serving process of the last successful SetImage, for callers that need to wait for it.
    pid_t ServerPid() const { return serverPid_; }

private:
    std::string displayName_;
    pid_t serverPid_ = 0;
};
