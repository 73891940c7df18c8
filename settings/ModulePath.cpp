#include "settings/ModulePath.h"

#include <QDir>

#include <climits>
#include <cstdlib>
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

std::string ConfigFilePathFor(const std::string& moduleFolder)
{
    const std::string portable = moduleFolder + "config.ini";
    if (!moduleFolder.empty() && access(portable.c_str(), F_OK) == 0)
        return portable;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    // The base directory specification ignores relative paths.
    const std::string folder = xdg && xdg[0] == '/' ? std::string(xdg) + "/lumora"
                                                    : std::string(home && *home ? home : "") + "/.config/lumora";
    // config.ini itself is made by the first write; profile writes do not make folders.
    QDir().mkpath(QString::fromLocal8Bit(folder.c_str()));
    return folder + "/config.ini";
}

std::string ConfigFilePath()
{
    return ConfigFilePathFor(ModulePath());
}

std::string DataFolderFor(const std::string& entry, const std::string& moduleFolder)
{
    if (access((moduleFolder + entry).c_str(), F_OK) == 0)
        return moduleFolder;
    return moduleFolder + "../share/lumora/";
}
