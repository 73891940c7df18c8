#include "editor/codecs/ImageFormat.h"

#include <string>

namespace {

struct ExtensionEntry {
    std::string_view extension;
    ImageFormat format;
};

constexpr ExtensionEntry kExtensions[] = {
    { "bmp", kFormatBmp },
    { "pcx", kFormatPcx },
    { "jpg", kFormatJpeg },
    { "jpeg", kFormatJpeg },
    { "gif", kFormatGif },
    { "tga", kFormatTga },
    { "tif", kFormatTiff },
    { "tiff", kFormatTiff },
    { "png", kFormatPng },
    { "psd", kFormatPsd },
    { "ico", kFormatIco },
    { "xpm", kFormatXpm },
    { "tsx", kFormatTsx },
};

} // namespace

std::string_view ExtensionOf(std::string_view path)
{
    const size_t dot = path.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
}

ImageFormat FormatFromName(std::string_view path)
{
    std::string extension(ExtensionOf(path));
    // ASCII only: a locale-dependent lower-casing could map other bytes of a UTF-8 name.
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    for (const ExtensionEntry& entry : kExtensions)
        if (entry.extension == extension)
            return entry.format;
    return kFormatNone;
}
