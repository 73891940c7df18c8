#include "ocr/OcrPage.h"

#include "imaging/ImageBuffer.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

// A pixel this far from the ground is ink for the line measure: the lightest anti-aliased edges are not.
constexpr int kInkDistance = 64;

std::array<uint32_t, 256> Histogram(const std::vector<uint8_t>& pixels)
{
    std::array<uint32_t, 256> counts {};
    for (uint8_t value : pixels)
        ++counts[value];
    return counts;
}

uint8_t OtsuThreshold(const std::array<uint32_t, 256>& counts, uint64_t total)
{
    double sum = 0;
    for (int i = 0; i < 256; ++i)
        sum += double(i) * counts[i];
    double sumBelow = 0;
    uint64_t below = 0;
    double best = -1;
    int threshold = 127;
    for (int t = 0; t < 256; ++t) {
        below += counts[t];
        if (below == 0)
            continue;
        const uint64_t above = total - below;
        if (above == 0)
            break;
        sumBelow += double(t) * counts[t];
        const double meanBelow = sumBelow / double(below);
        const double meanAbove = (sum - sumBelow) / double(above);
        const double between = double(below) * double(above) * (meanBelow - meanAbove) * (meanBelow - meanAbove);
        if (between > best) {
            best = between;
            threshold = t;
        }
    }
    return uint8_t(threshold);
}

} // namespace

OcrPage::OcrPage(int width, int height, std::vector<uint8_t> pixels)
    : width_(width)
    , height_(height)
    , pixels_(std::move(pixels))
{
}

OcrPage OcrPage::FromImage(const ImageBuffer& image)
{
    if (image.IsEmpty() || image.Width() <= 0 || image.Height() <= 0)
        return {};
    const ImageBuffer* source = &image;
    ImageBuffer converted;
    if (image.BitCount() != 24 && image.BitCount() != 32) {
        if (!converted.CopyFrom(image) || !converted.ConvertTo(24))
            return {};
        source = &converted;
    }
    const int step = source->BitCount() / 8;
    std::vector<uint8_t> grey(size_t(source->Width()) * size_t(source->Height()));
    for (int y = 0; y < source->Height(); ++y) {
        const uint8_t* in = source->Row(y);
        uint8_t* out = grey.data() + size_t(y) * size_t(source->Width());
        for (int x = 0; x < source->Width(); ++x, in += step)
            out[x] = uint8_t((in[2] * 30 + in[1] * 59 + in[0] * 11) / 100);
    }
    return OcrPage(source->Width(), source->Height(), std::move(grey));
}

uint8_t OcrPage::Ground() const
{
    const std::array<uint32_t, 256> counts = Histogram(pixels_);
    return uint8_t(std::max_element(counts.begin(), counts.end()) - counts.begin());
}

void OcrPage::MakeDarkOnLight()
{
    // A screen mixes grounds (a light window on a dark desktop, a dark bar over a light page): each tile
    // follows its own commonest value. A tile is larger than a line of screen text, so its commonest
    // value is the ground the text stands on.
    constexpr int kTile = 48;
    std::array<uint16_t, 256> counts {};
    for (int top = 0; top < height_; top += kTile) {
        const int bottom = std::min(top + kTile, height_);
        for (int left = 0; left < width_; left += kTile) {
            const int right = std::min(left + kTile, width_);
            counts.fill(0);
            for (int y = top; y < bottom; ++y) {
                const uint8_t* row = Row(y);
                for (int x = left; x < right; ++x)
                    ++counts[row[x]];
            }
            if (std::max_element(counts.begin(), counts.end()) - counts.begin() >= 128)
                continue;
            for (int y = top; y < bottom; ++y) {
                uint8_t* row = pixels_.data() + size_t(y) * size_t(width_);
                for (int x = left; x < right; ++x)
                    row[x] = uint8_t(255 - row[x]);
            }
        }
    }
}

int OcrPage::LineHeight() const
{
    if (IsEmpty())
        return 0;
    const int ground = Ground();
    std::vector<int> bands;
    int run = 0;
    for (int y = 0; y <= height_; ++y) {
        bool ink = false;
        if (y < height_) {
            const uint8_t* row = Row(y);
            ink = std::any_of(row, row + width_, [ground](uint8_t v) { return std::abs(v - ground) > kInkDistance; });
        }
        if (ink) {
            ++run;
            continue;
        }
        // Rules and specks are not lines of text.
        if (run >= 4)
            bands.push_back(run);
        run = 0;
    }
    if (bands.empty())
        return 0;
    std::nth_element(bands.begin(), bands.begin() + bands.size() / 2, bands.end());
    return bands[bands.size() / 2];
}

double OcrPage::ScaleFor(int targetLineHeight) const
{
    const int line = LineHeight();
    if (line <= 0 || line * 5 >= targetLineHeight * 4)
        return 1.0;
    return std::min(double(targetLineHeight) / line, 4.0);
}

OcrPage OcrPage::ScaledBy(double factor) const
{
    const int width = int(width_ * factor + 0.5);
    const int height = int(height_ * factor + 0.5);
    if (IsEmpty() || factor <= 1.0 || width <= width_ || height <= height_)
        return *this;
    // Positions in 1/256 of a source pixel: output pixel i samples the source at (i + 0.5) / factor - 0.5.
    const auto place = [](int i, int size, int outSize, int& first, int& weight) {
        const int64_t position
            = std::max<int64_t>(0, ((2 * int64_t(i) + 1) * size * 256) / (2 * int64_t(outSize)) - 128);
        first = std::min(int(position >> 8), size - 1);
        weight = first + 1 < size ? int(position & 255) : 0;
    };
    std::vector<int> columns(size_t(width) * 2);
    for (int x = 0; x < width; ++x)
        place(x, width_, width, columns[2 * x], columns[2 * x + 1]);
    std::vector<uint8_t> out(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        int top = 0;
        int down = 0;
        place(y, height_, height, top, down);
        const uint8_t* upper = Row(top);
        const uint8_t* lower = Row(std::min(top + 1, height_ - 1));
        uint8_t* row = out.data() + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x) {
            const int left = columns[2 * x];
            const int right = std::min(left + 1, width_ - 1);
            const int across = columns[2 * x + 1];
            const int a = upper[left] * (256 - across) + upper[right] * across;
            const int b = lower[left] * (256 - across) + lower[right] * across;
            row[x] = uint8_t((a * (256 - down) + b * down + (1 << 15)) >> 16);
        }
    }
    return OcrPage(width, height, std::move(out));
}

void OcrPage::Binarise()
{
    if (IsEmpty())
        return;
    const uint8_t threshold = OtsuThreshold(Histogram(pixels_), pixels_.size());
    for (uint8_t& value : pixels_)
        value = value > threshold ? 255 : 0;
}
