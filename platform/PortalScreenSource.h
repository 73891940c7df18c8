#pragma once

#include "platform/ImageScreenSource.h"
#include "platform/PortalScreenshot.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

// A monitor as the window system lays it out: its place in logical units and its scale.
struct LogicalScreen {
    ImageRect geometry;
    double scale = 1.0;
};

// The monitors' rectangles inside a picture of the whole desktop. A portal's picture covers the
// monitors' bounding box at one scale: the ratio of the picture to that box, else the largest scale.
std::vector<ImageRect> MapScreensToPicture(const std::vector<LogicalScreen>& screens, int pictureWidth);

// The screen of a Wayland session, read through the desktop portal: one picture of the whole desktop, taken
// at the first read (after any delay) and kept, so that every rectangle of one capture comes from it.
// Monitor 0 is the primary one. Where no monitors are known, the picture is the one monitor, taken when
// first asked for.
class PortalScreenSource final : public ScreenSource {
public:
    PortalScreenSource(std::vector<LogicalScreen> screens, std::chrono::milliseconds limit);
    // Waits for a started call's answer, so that its picture is not left in the portal's folder.
    ~PortalScreenSource() override;
    PortalScreenSource(const PortalScreenSource&) = delete;
    PortalScreenSource& operator=(const PortalScreenSource&) = delete;

    // The picture comes from this call, sent already, rather than from one sent at the first read.
    void UseStarted(std::unique_ptr<PortalScreenshot::Request> request);

    // Why the last read failed, in one line.
    const std::string& Error() const { return error_; }
    // Forgets the picture and the error, so that the next read takes a new one; the window program does so
    // before each capture, as its monitors may have changed since.
    void Reset(std::vector<LogicalScreen> screens);

    int BitsPerPixel() const override { return 24; }
    ScreenSize PrimaryScreenSize() const override;
    ImageRect PrimaryScreenRect() const override;
    std::vector<ImageRect> Monitors() const override;
    ImageRect DesktopRect() const override;
    bool ReadPixels(const ImageRect& rect, ImageBuffer& image) override;
    std::optional<CursorImage> Cursor() override { return std::nullopt; }

private:
    // Takes the picture unless it is there; false, with the error kept, when the portal gave none.
    bool TakePicture() const;

    std::vector<LogicalScreen> screens_;
    std::chrono::milliseconds limit_;
    // Taken on first use, also by the monitor queries.
    mutable ImageScreenSource picture_;
    mutable std::unique_ptr<PortalScreenshot::Request> started_;
    mutable std::string error_;
};
