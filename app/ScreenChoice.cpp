#include "app/ScreenChoice.h"

#include "platform/ScreenSource.h"

#include <charconv>
#include <vector>

std::optional<ImageRect> ResolveScreenChoice(const std::string& choice, const ScreenSource& screen, std::string& error)
{
    if (choice == "all")
        return screen.DesktopRect();
    const std::vector<ImageRect> monitors = screen.Monitors();
    size_t index = 0;
    const auto [end, status] = std::from_chars(choice.data(), choice.data() + choice.size(), index);
    if (status != std::errc() || end != choice.data() + choice.size() || index >= monitors.size()) {
        error = "--screen takes all or a monitor number from 0 to " + std::to_string(monitors.size() - 1) + ", not '"
            + choice + "'";
        return std::nullopt;
    }
    return monitors[index];
}
