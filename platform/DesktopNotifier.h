#pragma once

#include <functional>
#include <string>

// Short messages in the desktop's notification area, for when the program's window is not on show.
class DesktopNotifier {
public:
    virtual ~DesktopNotifier() = default;
    // Returns at once and never reports failure: without a notification service nothing is shown.
    // activated runs when the user activates the notification (clicks it).
    virtual void Notify(const std::string& summary, const std::string& body, std::function<void()> activated) = 0;
};
