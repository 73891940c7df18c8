#pragma once

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>

// Runs a shell command and collects its standard output and exit code.
struct ProcessOutput {
    std::string out;
    int exitCode = -1;

    static ProcessOutput Run(const std::string& command)
    {
        ProcessOutput result;
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe)
            return result;
        char buffer[65536];
        size_t n = 0;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            result.out.append(buffer, n);
        const int status = pclose(pipe);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return result;
    }
};

// Whether a process has ended (it may linger as a zombie where nobody reaps it).
inline bool ProcessEnded(int pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidText, name, state;
    if (!(stat >> pidText >> name >> state))
        return true;
    return state == "Z" || state == "X";
}

inline std::string Quoted(const std::string& text)
{
    return "'" + text + "'";
}
