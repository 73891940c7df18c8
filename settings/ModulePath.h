#pragma once

#include <string>

// The directory of the running executable with a trailing "/": config.ini, capture.wav and the stamps
// folder are found against it. Empty when the executable's path cannot be read.
std::string ModulePath();

// config.ini beside the executable when one exists there (portable use), otherwise the user's:
// $XDG_CONFIG_HOME/lumora/config.ini, or ~/.config/lumora/config.ini. Either is created on first write.
std::string ConfigFilePath();
std::string ConfigFilePathFor(const std::string& moduleFolder);

// The folder, with a trailing "/", that holds one of the program's files (help, stamps, capture.wav):
// the executable's own when the entry is there, else the installed data folder (../share/lumora/).
std::string DataFolderFor(const std::string& entry, const std::string& moduleFolder = ModulePath());
