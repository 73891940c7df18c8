#pragma once

#include "ImageTestUtil.h"
#include "imaging/ImageBuffer.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace testutil {
// Lets GoogleTest print pixels in failure messages.
inline void PrintTo(const Bgra& c, std::ostream* out)
{
    ::operator<<(*out, c);
}
} // namespace testutil

// Helpers for the drawing tests of the annotation objects.
namespace objtest {

using testutil::Bgra;
using testutil::PixelAt;

inline ImageBuffer SolidImage(int width, int height, Bgra colour, int bpp = 32)
{
    return testutil::MakeImage(width, height, bpp, [&](int, int) { return colour; });
}

constexpr Bgra kWhite { 255, 255, 255, 255 };

inline QImage ToQImage(const ImageBuffer& image)
{
    ImageBuffer copy(image);
    copy.ConvertTo(32);
    QImage out(copy.Width(), copy.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < copy.Height(); ++y)
        std::memcpy(out.scanLine(y), copy.Row(y), size_t(copy.Width()) * 4);
    return out;
}

// Where pictures of failed comparisons go: $LUMORA_TEST_OUTPUT, or objects_tests/ in the temporary folder.
inline QString OutputFolder()
{
    const char* configured = std::getenv("LUMORA_TEST_OUTPUT");
    const QString folder = configured && *configured
        ? QString::fromLocal8Bit(configured)
        : QString::fromStdString(::testing::TempDir()) + QStringLiteral("objects_tests");
    QDir().mkpath(folder);
    return folder;
}

inline bool Close(Bgra a, Bgra b, int tolerance)
{
    return std::abs(a.b - b.b) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.r - b.r) <= tolerance
        && std::abs(a.a - b.a) <= tolerance;
}

// Compares two pictures pixel for pixel (all four bytes, each within `tolerance`). When they differ, both
// are saved as PNG in the output folder, named after the running test and `name`.
inline ::testing::AssertionResult SamePicture(
    const ImageBuffer& actual, const ImageBuffer& expected, const char* name, int tolerance = 0)
{
    int differing = 0;
    int firstX = -1;
    int firstY = -1;
    const bool sameShape = actual.Width() == expected.Width() && actual.Height() == expected.Height()
        && actual.BitCount() == expected.BitCount();
    if (sameShape) {
        for (int y = 0; y < actual.Height(); ++y)
            for (int x = 0; x < actual.Width(); ++x)
                if (!Close(PixelAt(actual, x, y), PixelAt(expected, x, y), tolerance) && differing++ == 0) {
                    firstX = x;
                    firstY = y;
                }
        if (differing == 0)
            return ::testing::AssertionSuccess();
    }
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString stem = OutputFolder() + QLatin1Char('/') + QString::fromUtf8(info->test_suite_name())
        + QLatin1Char('.') + QString::fromUtf8(info->name()) + QLatin1Char('.') + QString::fromUtf8(name);
    ToQImage(actual).save(stem + QStringLiteral(".actual.png"));
    ToQImage(expected).save(stem + QStringLiteral(".expected.png"));
    auto failure = ::testing::AssertionFailure() << name << ": ";
    if (!sameShape)
        failure << "shape differs (" << actual.Width() << "x" << actual.Height() << "x" << actual.BitCount() << " vs "
                << expected.Width() << "x" << expected.Height() << "x" << expected.BitCount() << ")";
    else
        failure << differing << " pixels differ, first at (" << firstX << ", " << firstY
                << "): " << PixelAt(actual, firstX, firstY) << " vs " << PixelAt(expected, firstX, firstY);
    return failure << "; pictures saved as " << stem.toStdString() << ".{actual,expected}.png";
}

// How many pixels of two same-sized pictures differ.
inline int CountDifferent(const ImageBuffer& a, const ImageBuffer& b)
{
    int count = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            count += PixelAt(a, x, y) == PixelAt(b, x, y) ? 0 : 1;
    return count;
}

// The bounding box of the pixels that differ from `background` (empty when none do).
inline ImageRect ChangedBounds(const ImageBuffer& image, Bgra background)
{
    ImageRect bounds { image.Width(), image.Height(), 0, 0 };
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            if (!(PixelAt(image, x, y) == background)) {
                bounds.left = std::min(bounds.left, x);
                bounds.top = std::min(bounds.top, y);
                bounds.right = std::max(bounds.right, x + 1);
                bounds.bottom = std::max(bounds.bottom, y + 1);
            }
    return bounds.IsEmpty() ? ImageRect {} : bounds;
}

inline int CountChanged(const ImageBuffer& image, Bgra background)
{
    int count = 0;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            count += PixelAt(image, x, y) == background ? 0 : 1;
    return count;
}

} // namespace objtest
