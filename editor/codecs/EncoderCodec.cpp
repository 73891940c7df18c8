#include "editor/codecs/EncoderCodec.h"

#include "editor/codecs/AlphaUse.h"
#include "editor/codecs/AtomicFile.h"
#include "editor/codecs/FreeImageLibrary.h"
#include "editor/codecs/ImageFormat.h"
#include "editor/codecs/JpegWriter.h"
#include "editor/codecs/PngWriter.h"

namespace {

// The image as a FreeImage writer takes it: palette and 24-bpp images as they are, 32 bpp only when its
// alpha is kept, anything else as a 24-bpp copy.
const ImageBuffer& AtLeast24(const ImageBuffer& image, ImageBuffer& converted, bool keepAlpha)
{
    const int bpp = image.BitCount();
    if (bpp <= 8 || bpp == 24 || (bpp == 32 && keepAlpha))
        return image;
    converted.CopyFrom(image);
    converted.ConvertTo(24);
    return converted;
}

bool WriteGif(const ImageBuffer& image, std::FILE* out)
{
    ImageBuffer converted;
    const ImageBuffer& source = AtLeast24(image, converted, false);
    FreeImageBitmap bitmap = ToFreeImageBitmap(source);
    if (!bitmap)
        return false;
    if (source.BitCount() > 8) {
        bitmap.reset(FreeImage_ColorQuantize(bitmap.get(), FIQ_WUQUANT));
        if (!bitmap)
            return false;
    }
    return SaveFreeImageBitmap(FIF_GIF, bitmap.get(), out);
}

bool WriteTiff(const ImageBuffer& image, std::FILE* out)
{
    ImageBuffer converted;
    const ImageBuffer& source = AtLeast24(image, converted, HasMeaningfulAlpha(image));
    FreeImageBitmap bitmap = ToFreeImageBitmap(source);
    return bitmap && SaveFreeImageBitmap(FIF_TIFF, bitmap.get(), out);
}

} // namespace

bool EncoderCodec::SaveFile(const std::string& path, int)
{
    const ImageBuffer* image = ImageToSave();
    if (!image)
        return false;
    bool (*write)(const ImageBuffer&, std::FILE*) = nullptr;
    switch (FormatFromName(path)) {
    case kFormatJpeg:
        write = WriteJpeg;
        break;
    case kFormatGif:
        write = WriteGif;
        break;
    case kFormatTiff:
        write = WriteTiff;
        break;
    case kFormatPng:
        write = WritePng;
        break;
    default:
        return false;
    }
    AtomicFile file(path);
    if (!file.Open())
        return false;
    // Screenshots are written in large pieces; a bigger buffer halves the write calls.
    std::setvbuf(file.Stream(), nullptr, _IOFBF, 1 << 20);
    return write(*image, file.Stream()) && file.Commit();
}
