#pragma once

#include "imaging/ImageBuffer.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

// Text drawn as a screen shows it: hinted glyphs with grey anti-aliasing, on a flat ground, at a pixel
// size. The pictures the recogniser's test and benchmark read.
namespace textpicture {

struct Style {
    const char* family;
    int pixelSize;
    bool lightOnDark;
};

inline const char* const kParagraph
    = "The quick brown fox jumps over the lazy dog while the five boxing wizards jump quickly. "
      "Pack my box with five dozen liquor jugs, then save the file as report_2024.txt in the folder "
      "named Documents. Version 3.14 was released on 12 March; it fixes 27 faults and adds 8 settings. "
      "Click OK to continue, or press Esc to cancel the capture and return to the editor.";

// The paragraph's words wrapped into lines no wider than width pixels in the font.
inline QStringList Wrap(const QString& text, const QFont& font, int width)
{
    const QFontMetrics metrics(font);
    QStringList lines;
    QString line;
    for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + ' ' + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            lines << line;
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

inline QFont FontOf(const Style& style)
{
    QFont font(style.family);
    font.setPixelSize(style.pixelSize);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// Draws lines of text from the top-left margin down, one line every lineSpacing() pixels, and returns
// the picture as a 24-bpp ImageBuffer.
inline ImageBuffer Render(const QStringList& lines, const Style& style, int width, int height, int margin = 10)
{
    QImage picture(width, height, QImage::Format_RGB32);
    const QColor ink = style.lightOnDark ? QColor(0xe8, 0xe8, 0xe8) : QColor(0x20, 0x20, 0x20);
    picture.fill(style.lightOnDark ? QColor(0x2b, 0x2b, 0x2b) : QColor(0xfa, 0xfa, 0xfa));
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        const QFont font = FontOf(style);
        painter.setFont(font);
        painter.setPen(ink);
        const QFontMetrics metrics(font);
        int y = margin + metrics.ascent();
        for (const QString& line : lines) {
            if (y + metrics.descent() > height)
                break;
            painter.drawText(margin, y, line);
            y += metrics.lineSpacing();
        }
    }
    ImageBuffer image;
    image.Create(width, height, 24);
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        uint8_t* out = image.Row(y);
        for (int x = 0; x < width; ++x) {
            out[3 * x] = uint8_t(qBlue(in[x]));
            out[3 * x + 1] = uint8_t(qGreen(in[x]));
            out[3 * x + 2] = uint8_t(qRed(in[x]));
        }
    }
    return image;
}

// The paragraph wrapped to width, drawn on a picture just tall enough; lines receives the text drawn.
inline ImageBuffer Paragraph(const Style& style, int width, QStringList* lines = nullptr)
{
    const QFont font = FontOf(style);
    const QStringList wrapped = Wrap(kParagraph, font, width - 20);
    if (lines)
        *lines = wrapped;
    const int height = 20 + int(wrapped.size()) * QFontMetrics(font).lineSpacing();
    return Render(wrapped, style, width, height);
}

// Levenshtein distance over Unicode code points.
inline size_t EditDistance(const std::u32string& a, const std::u32string& b)
{
    std::vector<size_t> previous(b.size() + 1);
    std::vector<size_t> current(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j)
        previous[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (size_t j = 1; j <= b.size(); ++j)
            current[j] = std::min({ previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (a[i - 1] != b[j - 1]) });
        std::swap(previous, current);
    }
    return previous[b.size()];
}

// The share of the expected characters read right: 1 - distance / length, with runs of white space
// counted as one space (line breaks and paragraph gaps are layout, not characters).
inline double CharacterAccuracy(const QString& expected, const QString& read)
{
    const auto normal = [](const QString& text) { return text.simplified().toStdU32String(); };
    const std::u32string want = normal(expected);
    const size_t distance = EditDistance(want, normal(read));
    return want.empty() ? 0.0 : 1.0 - double(distance) / double(want.size());
}

} // namespace textpicture
