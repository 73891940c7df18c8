#include "platform/PortalScreenSource.h"

#include <algorithm>
#include <cmath>

namespace {

ImageRect BoundingBox(const std::vector<LogicalScreen>& screens)
{
    ImageRect box = screens.front().geometry;
    for (const LogicalScreen& screen : screens) {
        box.left = std::min(box.left, screen.geometry.left);
        box.top = std::min(box.top, screen.geometry.top);
        box.right = std::max(box.right, screen.geometry.right);
        box.bottom = std::max(box.bottom, screen.geometry.bottom);
    }
    return box;
}

int Scaled(int logical, double scale)
{
    return int(std::lround(logical * scale));
}

} // namespace

std::vector<ImageRect> MapScreensToPicture(const std::vector<LogicalScreen>& screens, int pictureWidth)
{
    if (screens.empty())
        return {};
    const ImageRect box = BoundingBox(screens);
    double scale = 0;
    if (pictureWidth > 0 && box.Width() > 0)
        scale = double(pictureWidth) / box.Width();
    else
        for (const LogicalScreen& screen : screens)
            scale = std::max(scale, screen.scale);
    std::vector<ImageRect> mapped;
    for (const LogicalScreen& screen : screens) {
        const ImageRect& g = screen.geometry;
        mapped.push_back({ Scaled(g.left - box.left, scale), Scaled(g.top - box.top, scale),
            Scaled(g.right - box.left, scale), Scaled(g.bottom - box.top, scale) });
    }
    return mapped;
}

PortalScreenSource::PortalScreenSource(std::vector<LogicalScreen> screens, std::chrono::milliseconds limit)
    : screens_(std::move(screens))
    , limit_(limit)
{
}

PortalScreenSource::~PortalScreenSource()
{
    if (started_)
        PortalScreenshot::Finish(*started_);
}

void PortalScreenSource::UseStarted(std::unique_ptr<PortalScreenshot::Request> request)
{
    started_ = std::move(request);
}

void PortalScreenSource::Reset(std::vector<LogicalScreen> screens)
{
    if (started_)
        PortalScreenshot::Finish(*started_);
    started_.reset();
    screens_ = std::move(screens);
    picture_.SetImage(ImageBuffer());
    error_.clear();
}

bool PortalScreenSource::TakePicture() const
{
    if (!picture_.Image().IsEmpty())
        return true;
    PortalScreenshot::Result taken = started_ ? PortalScreenshot::Finish(*started_) : PortalScreenshot::Take(limit_);
    started_.reset();
    if (taken.image.IsEmpty()) {
        error_ = taken.error;
        return false;
    }
    picture_.SetImage(std::move(taken.image));
    return true;
}

std::vector<ImageRect> PortalScreenSource::Monitors() const
{
    if (screens_.empty())
        return TakePicture() ? std::vector<ImageRect> { DesktopRect() } : std::vector<ImageRect> {};
    return MapScreensToPicture(screens_, picture_.Image().Width());
}

ImageRect PortalScreenSource::PrimaryScreenRect() const
{
    const std::vector<ImageRect> monitors = Monitors();
    return monitors.empty() ? ImageRect {} : monitors.front();
}

ScreenSize PortalScreenSource::PrimaryScreenSize() const
{
    const ImageRect primary = PrimaryScreenRect();
    return { primary.Width(), primary.Height() };
}

ImageRect PortalScreenSource::DesktopRect() const
{
    if (!picture_.Image().IsEmpty())
        return { 0, 0, picture_.Image().Width(), picture_.Image().Height() };
    ImageRect box {};
    for (const ImageRect& monitor : Monitors())
        box = { 0, 0, std::max(box.right, monitor.right), std::max(box.bottom, monitor.bottom) };
    return box;
}

bool PortalScreenSource::ReadPixels(const ImageRect& rect, ImageBuffer& image)
{
    return TakePicture() && picture_.ReadPixels(rect, image);
}
