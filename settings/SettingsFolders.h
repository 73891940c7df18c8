#pragma once

#include <string>

// The folders that stand in for the defaults of ImageSavePath: the user's home directory when the key is
// absent, the documents folder (plus "/Lumora Images") when it is present but empty.
struct SettingsFolders {
    std::string home;
    std::string documents;

    static SettingsFolders FromSystem();
};
