#pragma once

#include "platform/SoundPlayer.h"

#include <string>
#include <vector>

// Plays WAV files through the first command-line player found on the PATH (PipeWire's, PulseAudio's or
// ALSA's), started as a detached process with its output discarded, so a capture never waits for the
// sound or for an audio device that is missing.
class DetachedSoundPlayer final : public SoundPlayer {
public:
    struct Command {
        std::string program;
        std::vector<std::string> arguments; // the file's path is appended
    };

    DetachedSoundPlayer();
    explicit DetachedSoundPlayer(std::vector<Command> candidates);

    bool Play(const std::string& wavPath) override;

private:
    std::vector<Command> candidates_;
};
