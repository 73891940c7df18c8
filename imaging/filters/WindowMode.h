#pragma once

#include <cstdint>

// The oil paint choice for a run of neighbouring pixels at once, by comparing every pair of window
// positions: for a w x w window of grey values scanned row by row, the position (row * w + column) where
// the scan first reaches the top count of any grey. Runs of 16 pixels, or 32 where the processor has
// AVX2; windows of 3, 5 or 7.
namespace windowmode {

constexpr int kMaxWindow = 7;
constexpr int kMaxLanes = 32;

// The widest run this processor handles: 32 or 16.
int WidestRun();

// Fills positions[0 .. lanes) for the windows whose top-left corners are at columns x .. x + lanes - 1
// of rows[0 .. window). lanes is 16 or 32; each row must hold x + lanes + window - 1 bytes.
void FirstToTopCount(const uint8_t* const* rows, int window, int x, int lanes, int8_t* positions);

} // namespace windowmode
