#pragma once

#include <cstdint>

// The oil paint choice for windows of 3, 5 or 7: for a w x w window of grey values scanned row by row,
// the position (row * w + column) where the scan first reaches the top count of any grey. Works on runs
// of 16 pixels, or 32 where the processor has AVX2.
namespace windowmode {

constexpr int kMaxWindow = 7;
constexpr int kMaxLanes = 32;
// ChooseRow reads this many bytes before each row and after its last window.
constexpr int kRowMargin = 2 * kMaxLanes;

// The widest run this processor handles: 32 or 16.
int WidestRun();

// Fills positions[0 .. width) for the windows whose top-left corners are at columns 0 .. width - 1 of
// rows[0 .. window), in runs of lanes (16, or 32 where WidestRun allows, else 16); positions must hold width
// rounded up to kMaxLanes. Each row holds width + window - 1 bytes and is readable kRowMargin bytes
// either side.
void ChooseRow(const uint8_t* const* rows, int window, int width, int lanes, int8_t* positions);

} // namespace windowmode
