#pragma once

#include <string>
#include <vector>

// "lumora send highlight WINDOW | capture-window WINDOW | capture KIND...": asks a running instance over
// the session bus. Returns the exit code: 0 sent, 1 no instance answered, 2 bad arguments.
int RunSendCommand(const std::vector<std::string>& args);
