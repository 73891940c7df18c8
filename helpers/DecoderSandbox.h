#pragma once

#include <cstdint>

// What the decoder process gives up before it reads a byte of its input: core dumps, address space and
// CPU time past the given limits, new privileges, and every system call but the few that decoding from
// its two descriptors needs (a seccomp allow-list; anything else kills the process).
class DecoderSandbox {
public:
    // Descriptor 0 is the socket that brings the input (a memfd, mapped), 1 the reply (written and sealed),
    // 2 standard error.
    static bool Enter(int64_t addressSpaceBytes, int cpuSeconds);

private:
    static bool SetLimits(int64_t addressSpaceBytes, int cpuSeconds);
    static bool LoadFilter();
};
