#pragma once

#include "editor/document/HistoryEntry.h"

// The Resize command: nearest-neighbour ("Good", 0) or bilinear ("Better", 1). Objects keep their
// coordinates.
class ResizeCommand final : public HistoryEntry {
public:
    enum Quality { Good = 0, Better = 1 };

    ResizeCommand(int width, int height, int quality);

    bool Apply(CKestrelDoc& document, std::span<ImageEffect* const> effects, ProgressSink* progress) override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Quality() const { return quality_; }

private:
    int width_;
    int height_;
    int quality_;
};
