#pragma once

#include <cstdint>
#include <vector>

// The sound played after a capture: a short shutter click made here, so the program ships its own
// (16-bit mono PCM WAV at 44.1 kHz, about a seventh of a second). The same bytes every time.
class CaptureSound {
public:
    static constexpr int kSampleRate = 44100;
    static std::vector<uint8_t> MakeWav();
    // The samples alone: two bursts of decaying noise, the shutter opening and closing.
    static std::vector<int16_t> MakeSamples();
};
