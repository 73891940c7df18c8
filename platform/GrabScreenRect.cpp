#include "platform/GrabScreenRect.h"

#include "imaging/ImageBuffer.h"
#include "platform/ScreenSource.h"

#include <utility>

bool GrabScreenRect(ImageBuffer& image, ScreenSource& source, int left, int top, int right, int bottom)
{
    const ImageRect rect { left, top, right, bottom };
    if (rect.IsEmpty() || source.BitsPerPixel() <= 8)
        return false;
    ImageBuffer grabbed;
    if (!grabbed.Create(rect.Width(), rect.Height(), 24) || !source.ReadPixels(rect, grabbed))
        return false;
    image = std::move(grabbed);
    return true;
}
