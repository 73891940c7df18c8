#pragma once

#include <cstdint>

// The source pixels a run of destination columns of one row maps to in a free rotation:
//   xs[i] = Round(columnX[i] + rowX) + offsetX,  ys[i] = Round(centreY - (rowY - columnY[i])) + offsetY,
// Round rounding half away from zero. The vector forms do the same double operations in the same order as
// Round (and no multiplication that could be fused), so every integer is the one the scalar reading gives.
class RotationPositions {
public:
    struct Row {
        double rowX = 0;
        double rowY = 0;
        double centreY = 0;
        int offsetX = 0;
        int offsetY = 0;
    };

    // Positions always fit an int: the conversion truncates.
    static int Round(double value) { return int(value > 0 ? value + 0.5 : value - 0.5); }

    // Doubles per step: one (plain C++), two (SSE2) or four (AVX2).
    enum class Lanes { One, Two, Four };
    // The widest this processor runs.
    static Lanes Widest();

    static void Compute(
        const Row& row, const double* columnX, const double* columnY, int count, int32_t* xs, int32_t* ys)
    {
        Compute(Widest(), row, columnX, columnY, count, xs, ys);
    }
    // Lanes this build or processor lacks fall back to the next narrower.
    static void Compute(
        Lanes lanes, const Row& row, const double* columnX, const double* columnY, int count, int32_t* xs, int32_t* ys);
};
