#include "editor/objects/ObjectList.h"
#include "editor/objects/ObjectRenderer.h"
#include "editor/objects/RedactObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/TextObject.h"
#include "tests/objects/ObjectTestUtil.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

using testutil::Bgra;

ImageBuffer Noise(int width, int height)
{
    std::mt19937 random(17);
    return testutil::MakeImage(width, height, 32, [&](int, int) {
        const uint32_t v = random();
        return Bgra { uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), 255 };
    });
}

RedactObject* AddRedaction(ObjectList& list, const ImageRect& rect, int32_t mode, int32_t strength)
{
    auto redact = std::make_unique<RedactObject>();
    redact->SetRect(rect);
    redact->mode = mode;
    redact->strength = strength;
    return static_cast<RedactObject*>(list.AppendObject(std::move(redact)));
}

int Grey(Bgra c)
{
    return (c.r * 30 + c.g * 59 + c.b * 11) / 100;
}

int DarkestGrey(const ImageBuffer& image)
{
    int darkest = 255;
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
            darkest = std::min(darkest, Grey(testutil::PixelAt(image, x, y)));
    return darkest;
}

} // namespace

TEST(RedactRender, Should_ChangeEveryPixelInside_AndNothingOutside)
{
    struct Case {
        const char* name;
        ImageRect rect;
        int32_t mode;
        int32_t strength;
    };
    const Case cases[] = {
        { "pixelate", { 20, 15, 140, 95 }, RedactObject::kPixelate, 12 },
        { "blur", { 20, 15, 140, 95 }, RedactObject::kBlur, 10 },
        // One pixel more than whole cells each way: the corner would be a cell of a single pixel.
        { "pixelate, one-pixel remainder", { 7, 9, 7 + 4 * 12 + 1, 9 + 3 * 12 + 1 }, RedactObject::kPixelate, 12 },
        { "pixelate, cell larger than the rectangle", { 10, 10, 40, 30 }, RedactObject::kPixelate, 64 },
        { "partly outside the image", { 150, 100, 260, 200 }, RedactObject::kPixelate, 12 },
    };
    const ImageBuffer original = Noise(200, 150);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ObjectList list;
        AddRedaction(list, c.rect, c.mode, c.strength);
        // What the history and copies hold renders the same.
        const ObjectList copied(list);
        ImageBuffer target = original;
        ImageBuffer viaCopy = original;
        ObjectRenderer::RenderObjects(list, target);
        ObjectRenderer::RenderObjects(copied, viaCopy);
        EXPECT_EQ(std::memcmp(target.Pixels(), viaCopy.Pixels(), target.PixelBytes()), 0);

        int samePixels = 0, sameBytes = 0, inside = 0;
        for (int y = 0; y < 150; ++y) {
            for (int x = 0; x < 200; ++x) {
                const Bgra before = testutil::PixelAt(original, x, y);
                const Bgra after = testutil::PixelAt(target, x, y);
                if (x < c.rect.left || x >= c.rect.right || y < c.rect.top || y >= c.rect.bottom) {
                    ASSERT_EQ(after, before) << x << ", " << y;
                    continue;
                }
                ++inside;
                samePixels += after == before;
                sameBytes += (after.b == before.b) + (after.g == before.g) + (after.r == before.r);
            }
        }
        EXPECT_EQ(samePixels, 0);
        // Chance is 1 in 256 per byte; the averages of noise sit near the middle, so allow twice that.
        EXPECT_LT(sameBytes, 3 * inside * 2 / 256 + 3);
    }
}

TEST(RedactRender, Should_LeaveNoStrokeOfTwelvePixelText_InEitherMode)
{
    for (int32_t mode : { RedactObject::kPixelate, RedactObject::kBlur }) {
        SCOPED_TRACE(mode);
        ObjectList list;
        auto text = std::make_unique<TextObject>();
        text->text = "Password: hunter2 mail@example.org";
        text->SetRect({ 4, 4, 316, 24 });
        text->fontSize = 9; // 12 pixels at 96 dpi
        text->alignment = 0;
        text->boxStyle = TextObject::kTransparentBox;
        list.AppendObject(std::move(text));
        ImageBuffer plain = objtest::SolidImage(320, 28, objtest::kWhite);
        ObjectRenderer::RenderObjects(list, plain);
        ASSERT_LT(DarkestGrey(plain), 60); // the strokes are there to be hidden

        AddRedaction(list, { 0, 0, 320, 28 }, mode, RedactObject::DefaultStrength(mode));
        ImageBuffer redacted = objtest::SolidImage(320, 28, objtest::kWhite);
        ObjectRenderer::RenderObjects(list, redacted);
        EXPECT_GE(DarkestGrey(redacted), 160);
    }
}

TEST(RedactRender, Should_HideObjectsBelowIt_AndLeaveThoseAboveIntact)
{
    ObjectList list;
    auto below = std::make_unique<ShapeObject>();
    below->shape = ShapeObject::kFilledRectangle;
    below->fillColour = below->borderColour = 0; // black
    below->SetRect({ 0, 0, 50, 100 });
    list.AppendObject(std::move(below));
    AddRedaction(list, { 20, 20, 80, 80 }, RedactObject::kBlur, 10);
    auto above = std::make_unique<ShapeObject>();
    above->shape = ShapeObject::kFilledRectangle;
    above->fillColour = above->borderColour = 0x00FF00; // green
    above->SetRect({ 60, 60, 75, 75 });
    list.AppendObject(std::move(above));

    ImageBuffer target = objtest::SolidImage(100, 100, objtest::kWhite);
    ObjectRenderer::RenderObjects(list, target);
    // The black box's edge at x = 50 is smeared across the middle of the rectangle.
    const Bgra middle = testutil::PixelAt(target, 50, 50);
    EXPECT_GT(middle.g, 40);
    EXPECT_LT(middle.g, 215);
    EXPECT_EQ(testutil::PixelAt(target, 67, 67), (Bgra { 0, 255, 0, 255 }));
    // Blur reads nothing outside its rectangle: the black box's left part stays black up to its edge.
    EXPECT_EQ(testutil::PixelAt(target, 19, 50), (Bgra { 0, 0, 0, 255 }));
}
