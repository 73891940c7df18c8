#include "editor/codecs/StampLibrary.h"

#include <algorithm>
#include <filesystem>

namespace {

ImageBuffer MakeThumbnail(const std::string& path)
{
    ImageBuffer image;
    if (image.Load(path)) {
        // Nearest-neighbour resizing needs whole bytes per pixel.
        if (image.BitCount() < 8)
            image.ConvertTo(24);
        image.ResizeNearest(StampLibrary::kThumbnailWidth, StampLibrary::kThumbnailHeight);
        if (image.BitCount() != 24)
            image.ConvertTo(24);
    }
    if (image.IsEmpty() || image.Width() != StampLibrary::kThumbnailWidth
        || image.Height() != StampLibrary::kThumbnailHeight) {
        image.Create(StampLibrary::kThumbnailWidth, StampLibrary::kThumbnailHeight, 24);
    }
    return image;
}

} // namespace

StampLibrary LoadStampLibrary(const std::string& moduleFolder)
{
    StampLibrary library;
    const std::string folder = moduleFolder + "stamps/";
    std::error_code error;
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        library.paths.push_back(folder + name);
        library.thumbnails.push_back(MakeThumbnail(library.paths.back()));
    }
    return library;
}

ImageBuffer LoadStampImage(const StampLibrary& library, int index)
{
    ImageBuffer image;
    if (index >= 0 && size_t(index) < library.paths.size())
        image.Load(library.paths[size_t(index)]);
    return image;
}
