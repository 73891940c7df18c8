#include "platform/ScreenSource.h"

#include "imaging/ImageBuffer.h"
#include "platform/GrabScreenRect.h"

#include <cstring>

QImage ScreenSource::ReadPicture(const ImageRect& rect)
{
    ImageBuffer screen;
    if (!GrabScreenRect(screen, *this, rect.left, rect.top, rect.right, rect.bottom))
        return {};
    QImage picture(screen.Width(), screen.Height(), QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    const int width = screen.Width();
    for (int y = 0; y < screen.Height(); ++y) {
        const uint8_t* from = screen.Row(y);
        QRgb* to = reinterpret_cast<QRgb*>(picture.scanLine(y));
        // Blue, green, red and the next pixel's blue read as one word, whose top byte becomes the alpha;
        // the row's last pixel is read bytewise so that nothing past the row is read.
        for (int x = 0; x < width - 1; ++x, from += 3) {
            uint32_t word = 0;
            std::memcpy(&word, from, 4);
            to[x] = word | 0xFF000000u;
        }
        to[width - 1] = qRgb(from[2], from[1], from[0]);
    }
    return picture;
}
