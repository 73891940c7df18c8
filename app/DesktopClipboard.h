#pragma once

#include "platform/ClipboardSink.h"

#include <memory>
#include <string>

// The window program's clipboard for copies and captures, chosen for the session: in a Wayland session
// wl-copy where it is installed (its own server keeps the picture after we end); else, for a program on
// Wayland itself, the toolkit's clipboard, which ends with the program; else our X11 clipboard server.
class DesktopClipboard final : public ClipboardSink {
public:
    // displayName: the X display for our clipboard server; empty for DISPLAY.
    explicit DesktopClipboard(std::string displayName = {});
    ~DesktopClipboard() override;

    bool SetImage(const ImageBuffer& image) override;
    // Whether a copied picture is gone once the program ends.
    bool EndsWithProgram() const { return !lasting_; }
    // The one line that says so.
    static std::string EndsWithProgramNote();

private:
    std::unique_ptr<ClipboardSink> lasting_;
};
