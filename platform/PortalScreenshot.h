#pragma once

#include "imaging/ImageBuffer.h"

#include <chrono>
#include <string>

// One picture of the whole desktop from the desktop portal's Screenshot interface on the session bus,
// without asking the user. Needs a QCoreApplication: the answer comes as a signal.
class PortalScreenshot {
public:
    struct Result {
        ImageBuffer image; // 24 bpp, empty on failure
        std::string error; // one line when image is empty
    };

    // Whether the session bus offers the interface (asking may start the portal service).
    static bool Available();
    // Waits at most limit for the answer; a picture the portal left in a temporary folder is deleted.
    static Result Take(std::chrono::milliseconds limit);
};
