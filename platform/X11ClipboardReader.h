#pragma once

#include <memory>
#include <string>
#include <vector>

// Reads what another program offers on the CLIPBOARD selection, over an X connection of its own so that
// the transfer does not wait on the toolkit's event loop. Large data arrives in increments (ICCCM INCR);
// an owner that stops answering is given up after a few seconds.
class X11ClipboardReader {
public:
    // displayName empty means $DISPLAY.
    explicit X11ClipboardReader(std::string displayName = {});
    ~X11ClipboardReader();
    X11ClipboardReader(const X11ClipboardReader&) = delete;
    X11ClipboardReader& operator=(const X11ClipboardReader&) = delete;

    // The types offered, in the owner's order; empty when nobody owns the clipboard.
    std::vector<std::string> Targets();
    // The data of one target; false when it is refused, larger than kMaxBytes or not delivered in time.
    bool Read(const std::string& target, std::vector<char>& bytes);
    // The picture offered, preferring a bitmap (BMP), then PNG, then any other image type in the owner's
    // order; false when no image is offered or none could be read.
    bool ReadImage(std::string& mimeType, std::vector<char>& bytes);

    static constexpr size_t kMaxBytes = size_t(1) << 31;
    static constexpr int kTimeoutMs = 3000;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
