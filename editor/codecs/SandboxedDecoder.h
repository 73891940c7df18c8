#pragma once

#include "imaging/ImageBuffer.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// Runs FreeImage on untrusted bytes in a short-lived process of its own (lumora-decode, started by fork +
// exec), one picture per process: the bytes go in through a socket, the first page comes back through a
// sealed memfd. With the default limits the next decoder of the same kind is started ahead, so that
// loading its libraries and entering its sandbox cost the next picture nothing. The decoder
// can do nothing but decode (no new privileges, a seccomp allow-list, no files, no network) and is bounded
// in address space and CPU time, so a decoder fault costs that process, never ours.
class SandboxedDecoder {
public:
    enum class Outcome {
        kDecoded,
        kRefused, // no picture we read: unknown format, refused header, data cut short
        kFailed, // the decoder crashed, was killed, ran out of memory or time, or could not start
    };
    struct Result {
        Outcome outcome = Outcome::kFailed;
        std::unique_ptr<ImageBuffer> image;
    };
    struct Limits {
        int64_t addressSpaceBytes = 0;
        int cpuSeconds = 0;
    };

    // The two kinds of decoder process: one for plain colour PNGs (PngDecoder), which starts without
    // FreeImage, and one for any picture.
    static constexpr const char* kPlainPngKind = "png";
    static constexpr const char* kAnyKind = "any";

    // The most reply pages a spare decoder makes while it waits: pictures of the size last decoded, up to
    // a 4K screenshot at 32 bpp. The pages of its input, made ahead for a file of the size last read, are
    // held to the same bound.
    static constexpr int64_t kMaxPreparedBytes = int64_t(64) << 20;

    // How the decoder process ends; any other end is a failure.
    static constexpr int kExitDecoded = 0;
    static constexpr int kExitRefused = 3;
    static constexpr int kExitOutOfMemory = 4;

    // The decoder's own code and libraries, the largest input we read, and three blocks of our largest
    // picture (the decoder's bitmap, our copy and the palette indices kept while transparency is applied).
    static Limits DefaultLimits();

    static Result Decode(const uint8_t* bytes, size_t length);
    static Result Decode(const uint8_t* bytes, size_t length, const Limits& limits);
};
