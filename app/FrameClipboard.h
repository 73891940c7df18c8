#pragma once

#include "editor/document/ImageClipboard.h"

#include <memory>

class CKestrelView;
class DesktopClipboard;
class X11ClipboardReader;

// The Edit menu's Copy, Cut and Paste in the window program: the desktop's clipboard (X11, or wl-copy on
// Wayland), the expand question as a message box, and what the view does around each command.
class FrameClipboard {
public:
    // An empty ask shows the message box.
    explicit FrameClipboard(ImageClipboard::AskExpand ask = {});
    ~FrameClipboard();

    // Runs Copy, Cut or Paste (by command id) on the view's document and selection.
    void Run(int commandId, CKestrelView& view);

private:
    bool ReadOffer(std::string& mimeType, std::vector<char>& bytes);
    // Where the copy cannot outlive the program, the status bar says so.
    void SayIfCopyEndsWithProgram(CKestrelView& view) const;

    std::unique_ptr<DesktopClipboard> owner_;
    std::unique_ptr<X11ClipboardReader> reader_;
    std::unique_ptr<ImageClipboard> clipboard_;
};
