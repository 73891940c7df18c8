#pragma once

#include "imaging/ImageBuffer.h"
#include "platform/PortalRequestWaiter.h"

#include <chrono>
#include <memory>
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

    // A call sent and not yet answered: the portal takes its picture while this process does other work.
    struct Request {
        std::string error; // why the call was not taken
        std::chrono::steady_clock::time_point deadline;
        std::chrono::milliseconds limit {};
        PortalRequestWaiter waiter;
    };
    // Sends the call; limit runs from now. Works before the application object exists, whose event loop
    // then delivers the answer.
    static std::unique_ptr<Request> Start(std::chrono::milliseconds limit);
    // Whether the portal took the call (it offers the interface and did not refuse).
    static bool Accepted(const Request& request);
    // Waits for the answer of a started call, as Take does.
    static Result Finish(Request& request);
};
