#include "editor/codecs/ImageBufferFile.h"

bool LoadWithRegistry(ImageBuffer& image, const std::string& path, const CodecRegistry& registry)
{
    std::unique_ptr<ImageCodec> codec = registry.CreateCodec(registry.FormatFromName(path));
    if (!codec || !codec->LoadFile(path) || codec->DecodedImages().empty())
        return false;
    // Taking the decoded image over gives the same result as copying it (pixels, palette, origin and
    // tag) without a second pixel block: a 4K screenshot loads without a 33 MB copy.
    image = std::move(*codec->TakeImages().front());
    return true;
}

bool SaveWithRegistry(const ImageBuffer& image, const std::string& path, int option, const CodecRegistry& registry)
{
    if (image.IsEmpty())
        return false;
    std::unique_ptr<ImageCodec> codec = registry.CreateCodec(registry.FormatFromName(path));
    if (!codec)
        return false;
    codec->AddImage(&image);
    return codec->SaveFile(path, option);
}

bool ImageBuffer::Load(const std::string& path)
{
    return LoadWithRegistry(*this, path, *CurrentRegistry());
}

bool ImageBuffer::Save(const std::string& path, int option) const
{
    return SaveWithRegistry(*this, path, option, *CurrentRegistry());
}
