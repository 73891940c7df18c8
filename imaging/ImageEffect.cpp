#include "imaging/ImageEffect.h"

#include "imaging/ImageBuffer.h"

void ImageEffect::Begin(ImageBuffer&)
{
}

void ImageEffect::ProcessPixel(ImageBuffer&, int, int, uint8_t*)
{
}

void ImageEffect::ProcessImage(ImageBuffer&, ProgressSink*)
{
}

void ImageEffect::End(ImageBuffer&)
{
}

void ImageEffect::ProcessRow(ImageBuffer& image, int y)
{
    const int width = image.Width();
    for (int x = 0; x < width; ++x)
        ProcessPixel(image, x, y, image.PixelAddress(x, y));
}

void ImageEffect::ProcessRows(ImageBuffer& image, int first, int end, int)
{
    for (int y = first; y < end; ++y)
        ProcessRow(image, y);
}
