#include "editor/codecs/PngDecoder.h"
#include "fuzz/FuzzDecoder.h"

// Our PNG reader in front of libpng: the chunk walk that picks it and the rows it reads.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ImageBuffer image;
    bool memoryShort = false;
    const auto ownBlock = [](const BitmapInfoHeader& header, ImageBuffer& out) { return out.CreateFromInfo(header); };
    if (!PngDecoder::Decode(data, size, ownBlock, image, memoryShort))
        return 0;
    const int step = image.PixelBytes() > (size_t(1) << 20) ? std::max(1, image.Height() / 8) : 1;
    volatile unsigned sum = ReadBack(image, step);
    (void)sum;
    return 0;
}
