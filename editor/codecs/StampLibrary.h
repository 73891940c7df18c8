#pragma once

#include "imaging/ImageBuffer.h"

#include <string>
#include <vector>

// The stamp pictures: every entry of the "stamps" folder beside the executable, and one 36 x 27,
// 24-bpp thumbnail per entry (index i of both lists refers to the same file).
struct StampLibrary {
    static constexpr int kThumbnailWidth = 36;
    static constexpr int kThumbnailHeight = 27;

    std::vector<std::string> paths;
    // An entry that cannot be decoded has a black thumbnail.
    std::vector<ImageBuffer> thumbnails;
};

// Scans moduleFolder + "stamps/" afresh (moduleFolder ends with "/"). Entries are sorted by name so that
// the list, and the stamp index a setting stores, do not depend on the file system's order.
StampLibrary LoadStampLibrary(const std::string& moduleFolder);

// The stamp picture at index at the depth its codec produced; empty when it cannot be loaded.
ImageBuffer LoadStampImage(const StampLibrary& library, int index);
