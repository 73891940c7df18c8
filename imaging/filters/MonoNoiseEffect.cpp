#include "imaging/filters/MonoNoiseEffect.h"

#include <algorithm>

MonoNoiseEffect::MonoNoiseEffect(int amount)
    : MonoNoiseEffect(amount, RandSequence::SeedFromClock())
{
}

MonoNoiseEffect::MonoNoiseEffect(int amount, unsigned seed)
    : NoiseEffect(std::clamp(amount, 0, 100), seed)
{
}

int MonoNoiseEffect::Delta(int sumOfFour, int amount)
{
    const double g = sumOfFour * 5.28596089837e-05 - 3.46410161514;
    return int(g * amount * 1.27);
}

void MonoNoiseEffect::ProcessPixel(ImageBuffer&, int, int, uint8_t* pixel)
{
    int sum = random_.NextShort();
    sum += random_.NextShort();
    sum += random_.NextShort();
    sum += random_.NextShort();
    const int delta = Delta(sum, amount_);
    for (int c = 0; c < 3; ++c)
        pixel[c] = filtermath::ClampByte(pixel[c] + delta);
}

template <int Step> void MonoNoiseEffect::RowChanges(Scratch& scratch, int width) const
{
    const uint16_t* draw = scratch.draws.data();
    int32_t* deltas = scratch.values.data();
    const int amount = amount_;
    for (int x = 0; x < width; ++x) {
        const int sum = draw[4 * x] + draw[4 * x + 1] + draw[4 * x + 2] + draw[4 * x + 3];
        deltas[x] = Delta(sum, amount);
    }
    uint16_t* changes = scratch.changes.data();
    for (int x = 0; x < width; ++x, changes += Step) {
        const uint16_t change = filtermath::PackedChange(deltas[x]);
        changes[0] = change;
        changes[1] = change;
        changes[2] = change;
        if (Step == 4)
            changes[3] = 0;
    }
}

template class NoiseEffect<MonoNoiseEffect, 4>;
