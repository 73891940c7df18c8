#include "editor/codecs/SaveImageFile.h"

#include "editor/codecs/AtomicFile.h"
#include "editor/codecs/ImageBufferFile.h"
#include "editor/codecs/ImageFormat.h"
#include "editor/codecs/PcxWriter.h"
#include "editor/codecs/SaveCodecRegistry.h"

namespace {

bool SavePcx(const ImageBuffer& image, const std::string& path)
{
    if (image.IsEmpty())
        return false;
    AtomicFile file(path);
    return file.Open() && WritePcx(image, file.Stream()) && file.Commit();
}

} // namespace

bool SaveImageFile(const ImageBuffer& image, const std::string& path)
{
    if (FormatFromName(path) == kFormatPcx)
        return SavePcx(image, path);
    // A registry of our own rather than a swap of the current one: a load on another thread keeps
    // reading through the default registry meanwhile.
    const SaveCodecRegistry registry;
    return SaveWithRegistry(image, path, -1, registry);
}
