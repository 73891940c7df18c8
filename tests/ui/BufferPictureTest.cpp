#include "editor/ui/BufferPicture.h"

#include "imaging/ImageBuffer.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// Pixel value = 0x00YYXX; the fourth byte is left 0, as a capture may leave it.
ImageBuffer Numbered(int width, int height)
{
    ImageBuffer image;
    image.Create(width, height, 32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(image.Row(y));
        for (int x = 0; x < width; ++x)
            row[x] = uint32_t(y << 8 | x);
    }
    return image;
}

QRgb Number(int x, int y)
{
    return 0xFF000000u | uint32_t(y << 8 | x);
}

} // namespace

TEST(BufferPictureTest, Part_Should_CopyTheAskedPixelsTopDown_AndMakeThemOpaque)
{
    const ImageBuffer image = Numbered(6, 5);
    const QImage part = BufferPicture::Part(image, QRect(2, 1, 3, 4));
    ASSERT_EQ(part.size(), QSize(3, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(part.pixel(x, y), Number(2 + x, 1 + y)) << x << ", " << y;
    // Beyond the image the part is black.
    const QImage over = BufferPicture::Part(image, QRect(4, 3, 4, 4));
    EXPECT_EQ(over.pixel(1, 1), Number(5, 4));
    EXPECT_EQ(over.pixel(2, 1), 0xFF000000u);
    EXPECT_EQ(over.pixel(0, 2), 0xFF000000u);
}

TEST(BufferPictureTest, Part_Should_RefuseOtherDepths)
{
    ImageBuffer image;
    image.Create(4, 4, 24);
    EXPECT_TRUE(BufferPicture::Part(image, QRect(0, 0, 2, 2)).isNull());
    EXPECT_TRUE(BufferPicture::Part(Numbered(4, 4), QRect(1, 1, 0, 3)).isNull());
}

TEST(BufferPictureTest, CopyInto_Should_ClipTheRegionToBothPictures)
{
    const ImageBuffer image = Numbered(8, 8);
    QImage target(4, 4, QImage::Format_RGB32);
    target.fill(0xFF123456);
    // The target shows image pixels (3..6, 2..5); the region covers (5..9, 0..3).
    EXPECT_TRUE(BufferPicture::CopyInto(target, QPoint(3, 2), image, QRect(5, 0, 5, 4)));
    EXPECT_EQ(target.pixel(2, 0), Number(5, 2));
    EXPECT_EQ(target.pixel(3, 1), Number(6, 3));
    EXPECT_EQ(target.pixel(1, 0), 0xFF123456u);
    EXPECT_EQ(target.pixel(2, 2), 0xFF123456u);
}

TEST(BufferPictureTest, Sampled_Should_TakeThePixelUnderEachCentre)
{
    const ImageBuffer image = Numbered(10, 4);
    // Shown 4 x 2: columns (d + 0.5) * 10 / 4 = 1.25, 3.75, 6.25, 8.75 -> 1, 3, 6, 8; rows
    // (d + 0.5) * 4 / 2 = 1, 3.
    const QImage whole = BufferPicture::Sampled(image, QSize(4, 2), QRect(0, 0, 4, 2));
    ASSERT_EQ(whole.size(), QSize(4, 2));
    const int columns[] = { 1, 3, 6, 8 };
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(whole.pixel(x, 0), Number(columns[x], 1));
        EXPECT_EQ(whole.pixel(x, 1), Number(columns[x], 3));
    }
    // A cut of it, reaching past the shown size.
    const QImage cut = BufferPicture::Sampled(image, QSize(4, 2), QRect(2, 1, 5, 5));
    ASSERT_EQ(cut.size(), QSize(2, 1));
    EXPECT_EQ(cut.pixel(0, 0), Number(6, 3));
    EXPECT_TRUE(BufferPicture::Sampled(image, QSize(4, 2), QRect(4, 0, 2, 2)).isNull());
}
