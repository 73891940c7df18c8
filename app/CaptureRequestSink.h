#pragma once

#include <cstdint>

// Where capture requests go, whatever their source: menu, toolbar, tray, hot key or another program.
class CaptureRequestSink {
public:
    virtual ~CaptureRequestSink() = default;
    // commandId is one of the six capture command ids.
    virtual void RequestCapture(int commandId) = 0;
    // An X11 window id; 0 only removes the previous highlight.
    virtual void HighlightWindow(uint64_t window) = 0;
    virtual void CaptureWindow(bool capture, uint64_t window) = 0;
};
