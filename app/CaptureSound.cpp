#include "app/CaptureSound.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Adds one burst: noise through a simple resonance, falling off quickly.
void AddBurst(std::vector<double>& out, size_t start, double loudness, double decayPerMs, uint32_t seed)
{
    double low = 0;
    const double perSample = std::exp(-decayPerMs * 1000.0 / CaptureSound::kSampleRate);
    double envelope = loudness;
    for (size_t i = start; i < out.size() && envelope > 1e-4; ++i, envelope *= perSample) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = double(seed >> 8) / double(1u << 24) * 2.0 - 1.0;
        low += 0.35 * (noise - low); // takes the hiss off the top
        out[i] += envelope * low;
    }
}

// Writes little-endian fields one after another into a block of known size.
class WavWriter {
public:
    explicit WavWriter(size_t size)
        : bytes_(size)
    {
    }
    void Tag(const char (&text)[5])
    {
        for (int i = 0; i < 4; ++i)
            bytes_[at_++] = uint8_t(text[i]);
    }
    void Put(uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i)
            bytes_[at_++] = uint8_t(value >> (8 * i));
    }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<uint8_t> bytes_;
    size_t at_ = 0;
};

} // namespace

std::vector<int16_t> CaptureSound::MakeSamples()
{
    std::vector<double> mix(size_t(kSampleRate) * 140 / 1000, 0.0);
    AddBurst(mix, 0, 0.9, 0.09, 7u);
    AddBurst(mix, size_t(kSampleRate) * 55 / 1000, 0.6, 0.12, 11u);
    std::vector<int16_t> samples(mix.size());
    for (size_t i = 0; i < mix.size(); ++i)
        samples[i] = int16_t(std::lround(std::clamp(mix[i], -1.0, 1.0) * 32767.0));
    return samples;
}

std::vector<uint8_t> CaptureSound::MakeWav()
{
    const std::vector<int16_t> samples = MakeSamples();
    const auto dataBytes = uint32_t(samples.size() * sizeof(int16_t));
    WavWriter wav(44 + dataBytes);
    wav.Tag("RIFF");
    wav.Put(36 + dataBytes, 4);
    wav.Tag("WAVE");
    wav.Tag("fmt ");
    wav.Put(16, 4); // format chunk size
    wav.Put(1, 2); // PCM
    wav.Put(1, 2); // mono
    wav.Put(kSampleRate, 4);
    wav.Put(kSampleRate * 2, 4); // bytes a second
    wav.Put(2, 2); // bytes a frame
    wav.Put(16, 2); // bits a sample
    wav.Tag("data");
    wav.Put(dataBytes, 4);
    for (int16_t sample : samples)
        wav.Put(uint16_t(sample), 2);
    return wav.Take();
}
