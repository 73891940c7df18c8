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

void ImageEffect::BeginBlocks(const ImageBuffer&, int)
{
}

void ImageEffect::ProcessRows(ImageBuffer& image, int first, int end, int)
{
    // Such rows may go in any order: the order of memory (bottom-up) is the one the prefetcher follows.
    if (end - first > 1 && image.Row(end - 1) < image.Row(first)) {
        for (int y = end - 1; y >= first; --y)
            ProcessRow(image, y);
        return;
    }
    for (int y = first; y < end; ++y)
        ProcessRow(image, y);
}
