#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ImageBuffer;

// A grey picture made ready for the recogniser, which reads dark text on a light ground best when a line
// of text is some 30 to 40 pixels tall and the picture is already black and white. Screenshots hold small
// text, often light on dark, drawn on flat colour.
class OcrPage {
public:
    // Grey values as the program computes them, from an image of any depth; empty when the image is.
    static OcrPage FromImage(const ImageBuffer& image);
    OcrPage() = default;
    OcrPage(int width, int height, std::vector<uint8_t> pixels);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsEmpty() const { return pixels_.empty(); }
    const uint8_t* Row(int y) const { return pixels_.data() + size_t(y) * size_t(width_); }
    const std::vector<uint8_t>& Pixels() const { return pixels_; }

    // The commonest grey value: the ground that text is drawn on.
    uint8_t Ground() const;
    // Turns light text on a dark ground into dark text on a light one, wherever on the page it is.
    void MakeDarkOnLight();
    // The median height of the bands of rows that hold anything but the ground, or 0 when there are none.
    int LineHeight() const;
    // How much to enlarge the page so that its lines become about targetLineHeight tall (1 to 4); 1 when
    // they are within a fifth of it already, since every enlargement costs reading time.
    double ScaleFor(int targetLineHeight) const;
    // The page enlarged with bilinear weights, so that strokes stay smooth; factors up to 1 change nothing.
    OcrPage ScaledBy(double factor) const;
    // Black and white at the threshold that best splits the page's grey values in two (Otsu's).
    void Binarise();

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> pixels_;
};
