#pragma once

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

// One of our helper executables (lumora-decode, lumora-clipboard). They are installed beside the
// program, where they are looked for first; $LUMORA_HELPER_DIR names the folder for programs that do not
// lie beside them (the test and benchmark executables).
class HelperProgram {
public:
    explicit HelperProgram(const std::string& name);

    // Empty when the program cannot be found.
    const std::string& Path() const { return path_; }

    // Starts the program with args. Each pair (from, to) makes the parent's descriptor from the child's
    // descriptor to; every other descriptor is closed except standard error when keepStderr (otherwise
    // /dev/null). Returns the process id, or -1.
    pid_t Start(const std::vector<std::string>& args, const std::vector<std::pair<int, int>>& descriptors,
        bool keepStderr = false) const;

private:
    std::string path_;
};
