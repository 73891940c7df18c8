#include "editor/objects/ObjectRenderer.h"
#include "editor/objects/StampObject.h"
#include "tests/objects/ObjectTestUtil.h"

#include <gtest/gtest.h>

#include <functional>

using objtest::Bgra;
using objtest::kWhite;
using objtest::PixelAt;

namespace {

constexpr Bgra kRed { 0, 0, 255, 255 };

StampObject MakeStamp(ImageBuffer image, ImageRect rect, bool shadow)
{
    StampObject stamp;
    stamp.SetImage(std::move(image));
    stamp.SetRect(rect);
    stamp.shadow = shadow;
    return stamp;
}

ImageBuffer Render(const StampObject& stamp)
{
    ImageBuffer target = objtest::SolidImage(80, 80, kWhite);
    ObjectRenderer::RenderObject(stamp, target);
    return target;
}

// An opaque red square with a transparent frame of 4 pixels, as a PNG stamp with alpha would have.
ImageBuffer FramedSquare()
{
    return testutil::MakeImage(40, 40, 32, [](int x, int y) {
        const bool inside = x >= 4 && x < 36 && y >= 4 && y < 36;
        return inside ? kRed : Bgra { 255, 255, 255, 0 };
    });
}

Bgra Opaque(int x, int y)
{
    Bgra colour = testutil::Distinct(x, y);
    colour.a = 255;
    return colour;
}

// Six by five pixels of 8 bits, each with a colour of its own.
ImageBuffer PalettedPicture()
{
    ImageBuffer picture;
    picture.Create(6, 5, 8);
    for (int i = 0; i < 30; ++i) {
        const RgbQuad entry { uint8_t(i * 8), uint8_t(255 - i * 8), uint8_t(i * 3), 0 };
        picture.SetPalette(i, 1, &entry);
        picture.Row(i / 6)[i % 6] = uint8_t(i);
    }
    return picture;
}

} // namespace

TEST(StampRenderTest, TwentyFourBitStampIsStretchedAndGetsNoShadow)
{
    // A 2x2 picture over a 40x40 rectangle: its corners land on the rectangle's corners.
    const ImageBuffer picture = testutil::MakeImage(2, 2, 24, testutil::Distinct);
    const ImageBuffer plain = Render(MakeStamp(picture, { 10, 10, 50, 50 }, false));
    EXPECT_EQ(objtest::ChangedBounds(plain, kWhite), (ImageRect { 10, 10, 50, 50 }));
    Bgra corner = testutil::Distinct(0, 0);
    corner.a = 255;
    EXPECT_EQ(PixelAt(plain, 10, 10), corner);

    const ImageBuffer shadowed = Render(MakeStamp(picture, { 10, 10, 50, 50 }, true));
    EXPECT_TRUE(objtest::SamePicture(shadowed, plain, "24-bit stamp with shadow"));
}

TEST(StampRenderTest, StampWithAlphaGetsItsShadow)
{
    const ImageBuffer plain = Render(MakeStamp(FramedSquare(), { 10, 10, 50, 50 }, false));
    // The frame stays see-through: only the red square shows.
    EXPECT_EQ(objtest::ChangedBounds(plain, kWhite), (ImageRect { 14, 14, 46, 46 }));

    const ImageBuffer shadowed = Render(MakeStamp(FramedSquare(), { 10, 10, 50, 50 }, true));
    // The square moves 5 pixels right and down, its shadow a further 5, blurred over 10 pixels.
    EXPECT_EQ(PixelAt(shadowed, 19, 19), kRed);
    EXPECT_EQ(PixelAt(shadowed, 50, 50), kRed);
    EXPECT_EQ(PixelAt(shadowed, 16, 16), kWhite);
    const Bgra shade = PixelAt(shadowed, 53, 40);
    EXPECT_LT(shade.r, 200);
    EXPECT_EQ(shade.r, shade.b);
    EXPECT_EQ(objtest::ChangedBounds(shadowed, kWhite), (ImageRect { 19, 19, 61, 61 }));
}

TEST(StampRenderTest, PalettedStampIsStretchedToo)
{
    // An 8-bpp picture is widened to 24 bpp before the resize, so it fills the rectangle (and, being
    // without alpha, casts no shadow).
    ImageBuffer grey;
    grey.Create(4, 4, 8); // grey ramp palette; all pixels index 0 = black
    const ImageBuffer drawn = Render(MakeStamp(grey, { 5, 6, 45, 36 }, true));
    EXPECT_EQ(objtest::ChangedBounds(drawn, kWhite), (ImageRect { 5, 6, 45, 36 }));
    EXPECT_EQ(PixelAt(drawn, 44, 35), (Bgra { 0, 0, 0, 255 }));
}

TEST(StampRenderTest, TransparencyAndEmptyPictures)
{
    // Transparency 50 blends opaque red at a = 127: white keeps (255 * 128) / 255 = 128 of blue and green.
    StampObject stamp = MakeStamp(objtest::SolidImage(3, 3, kRed, 24), { 0, 0, 20, 20 }, false);
    stamp.transparency = 50;
    EXPECT_EQ(PixelAt(Render(stamp), 10, 10), (Bgra { 128, 128, 255, 255 }));

    const ImageBuffer untouched = objtest::SolidImage(80, 80, kWhite);
    EXPECT_TRUE(objtest::SamePicture(Render(MakeStamp(ImageBuffer(), { 0, 0, 20, 20 }, true)), untouched, "empty"));
    EXPECT_TRUE(objtest::SamePicture(Render(MakeStamp(FramedSquare(), { 20, 20, 20, 40 }, false)), untouched, "flat"));
}

// The picture a stamp keeps between renders, and a render onto parts of the target, give the bytes of a
// render by a stamp that has kept nothing, however the stamp changed in between.
TEST(StampRenderTest, KeptPictureAndPartsGiveTheBytesOfAFreshRender)
{
    struct Case {
        const char* name;
        std::function<void(StampObject&)> change;
    };
    const Case cases[] = {
        { "unchanged", [](StampObject&) {} },
        { "moved",
            [](StampObject& stamp) {
                stamp.SetRect({ 3, 17, 43, 57 });
            } },
        { "resized", [](StampObject& stamp) { stamp.right = 71; } },
        { "shadow off", [](StampObject& stamp) { stamp.shadow = false; } },
        { "new picture",
            [](StampObject& stamp) { stamp.SetImage(testutil::MakeImage(5, 3, 32, testutil::Distinct)); } },
        { "picture edited",
            [](StampObject& stamp) {
                testutil::SetPixel(stamp.EditImage(), 20, 20, { 0, 255, 0, 255 });
            } },
        { "one pixel high", [](StampObject& stamp) { stamp.SetImage(testutil::MakeImage(7, 1, 32, Opaque)); } },
        { "paletted picture", [](StampObject& stamp) { stamp.SetImage(PalettedPicture()); } },
        { "24-bit picture",
            [](StampObject& stamp) { stamp.SetImage(testutil::MakeImage(3, 3, 24, testutil::Distinct)); } },
        { "more transparent", [](StampObject& stamp) { stamp.transparency = 40; } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StampObject stamp = MakeStamp(FramedSquare(), { 10, 10, 50, 50 }, true);
        Render(stamp);
        const StampObject copy = stamp; // shares what the stamp kept
        c.change(stamp);
        const ImageBuffer kept = Render(stamp);

        StampObject fresh;
        fresh.SetImage(stamp.Image());
        fresh.SetRect(stamp.Rect());
        fresh.shadow = stamp.shadow;
        fresh.transparency = stamp.transparency;
        EXPECT_TRUE(objtest::SamePicture(kept, Render(fresh), "kept"));
        EXPECT_TRUE(objtest::SamePicture(
            Render(copy), Render(MakeStamp(FramedSquare(), { 10, 10, 50, 50 }, true)), "copy taken before the change"));

        // Tiles of 16 x 16 put together: drawn from what the stamp kept, and by a stamp that kept nothing,
        // which draws only what each tile shows.
        const auto tiled = [](const StampObject& object, bool forget) {
            ImageBuffer whole = objtest::SolidImage(80, 80, kWhite);
            for (int top = 0; top < 80; top += 16)
                for (int left = 0; left < 80; left += 16) {
                    StampObject once = object;
                    if (forget)
                        once.SetImage(object.Image());
                    ImageBuffer tile = objtest::SolidImage(16, 16, kWhite);
                    ObjectRenderer::RenderObject(once, tile, left, top);
                    whole.Paste(tile, left, top);
                }
            return whole;
        };
        EXPECT_TRUE(objtest::SamePicture(tiled(stamp, true), kept, "tiled, nothing kept"));
        EXPECT_TRUE(objtest::SamePicture(tiled(stamp, false), kept, "tiled"));
    }
}
