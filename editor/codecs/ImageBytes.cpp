#include "editor/codecs/ImageBytes.h"

#include "editor/codecs/BmpCodec.h"
#include "editor/codecs/PngWriter.h"
#include "imaging/ImageBuffer.h"

#include <cstdio>
#include <cstdlib>

std::vector<char> EncodeImageBytes(const ImageBuffer& image, const std::string& mimeType)
{
    const bool png = mimeType == "image/png";
    if (image.IsEmpty() || (!png && mimeType != "image/bmp"))
        return {};
    char* data = nullptr;
    size_t size = 0;
    std::FILE* out = open_memstream(&data, &size);
    if (!out)
        return {};
    const bool written = png ? WritePng(image, out) : BmpCodec::Write(image, out);
    const bool closed = std::fclose(out) == 0;
    std::vector<char> bytes;
    if (written && closed)
        bytes.assign(data, data + size);
    std::free(data);
    return bytes;
}
