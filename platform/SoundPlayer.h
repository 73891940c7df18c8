#pragma once

#include <string>

// Plays a sound file without waiting for it.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing the file and returns at once; false when nothing could be started (no file, no
    // player). A missing audio device is the player's silent failure.
    virtual bool Play(const std::string& wavPath) = 0;
};
