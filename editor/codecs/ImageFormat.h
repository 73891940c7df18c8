#pragma once

#include <string_view>

// A file's image format, decided by the extension of its name alone. The numbers are stable: settings
// and callers compare against them.
enum ImageFormat : int {
    kFormatNone = 0,
    kFormatBmp = 1,
    kFormatPcx = 2,
    kFormatJpeg = 3,
    kFormatGif = 4,
    kFormatTga = 5,
    kFormatTiff = 6,
    kFormatPng = 7,
    kFormatPsd = 8,
    kFormatIco = 9,
    kFormatXpm = 10,
    kFormatTsx = 11, // recognised, but no registry has a codec for it
};

// The text after the last "." anywhere in path (empty when there is none), as written.
std::string_view ExtensionOf(std::string_view path);

// Looks up the lower-cased extension; kFormatNone when it is unknown or missing.
ImageFormat FormatFromName(std::string_view path);
