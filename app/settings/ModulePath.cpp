#include "ModulePath.h"

#include <climits>
#include <unistd.h>

std::string ModulePath()
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return {};
    std::string path(buffer, size_t(length));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ConfigFilePath()
{
    return ModulePath() + "config.ini";
}
