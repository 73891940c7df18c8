#include "imaging/filters/EdgePadding.h"

#include <cstring>

ImageBuffer PadWithEdges(const ImageBuffer& source, int margin)
{
    ImageBuffer padded;
    if (source.IsEmpty() || source.BitCount() < 8 || margin < 0)
        return padded;
    const int64_t width = int64_t(source.Width()) + 2 * int64_t(margin);
    const int64_t height = int64_t(source.Height()) + 2 * int64_t(margin);
    if (width > INT32_MAX || height > INT32_MAX || !padded.Create(int(width), int(height), source.BitCount()))
        return padded;
    padded.SetOrigin(source.OriginX() - margin, source.OriginY() - margin);

    const size_t step = size_t(source.BitCount() / 8);
    const size_t contentBytes = size_t(source.Width()) * step;
    const size_t marginBytes = size_t(margin) * step;
    for (int y = 0; y < source.Height(); ++y)
        PadRowWithEdges(source.Row(y), size_t(source.Width()), step, size_t(margin), padded.Row(y + margin));
    const size_t rowBytes = contentBytes + 2 * marginBytes;
    for (int i = 0; i < margin; ++i) {
        std::memcpy(padded.Row(i), padded.Row(margin), rowBytes);
        std::memcpy(padded.Row(int(height) - 1 - i), padded.Row(int(height) - 1 - margin), rowBytes);
    }
    return padded;
}

void PadRowWithEdges(const uint8_t* from, size_t width, size_t step, size_t margin, uint8_t* to)
{
    const size_t contentBytes = width * step;
    const size_t marginBytes = margin * step;
    std::memcpy(to + marginBytes, from, contentBytes);
    const uint8_t* last = from + contentBytes - step;
    for (size_t i = 0; i < margin; ++i) {
        std::memcpy(to + i * step, from, step);
        std::memcpy(to + marginBytes + contentBytes + i * step, last, step);
    }
}
