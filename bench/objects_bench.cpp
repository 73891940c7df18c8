// Rendering annotation objects as every paint of the view does: twenty objects of all kinds, half of them
// with shadows, onto a copy of a 3840 x 2160 image; and the two pixel loops underneath, the shadow blur
// and the blend.
#include "bench/MemcpyBaseline.h"

#include "editor/objects/BlendImage.h"
#include "editor/objects/HighlightObject.h"
#include "editor/objects/LineObject.h"
#include "editor/objects/ObjectList.h"
#include "editor/objects/ObjectRenderer.h"
#include "editor/objects/ShadowEffect.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/StampObject.h"
#include "editor/objects/TextObject.h"
#include "imaging/ImageBuffer.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iterator>
#include <string>

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;

ImageBuffer MakePicture(int width, int height, int bpp, bool alpha)
{
    ImageBuffer image;
    image.Create(width, height, bpp);
    std::srand(7);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image.Row(y);
        for (int x = 0; x < width; ++x) {
            uint8_t* p = row + x * (bpp / 8);
            p[0] = uint8_t(x / 7 + y);
            p[1] = uint8_t(y / 5 + (std::rand() & 7));
            p[2] = uint8_t(x + y / 3);
            if (bpp == 32)
                p[3] = alpha ? uint8_t((x * 255) / width) : 255;
        }
    }
    return image;
}

void AddLine(ObjectList& list, int x1, int y1, int x2, int y2, int width, int style, bool shadow,
    ObjectKind kind = ObjectKind::Line)
{
    auto line = std::make_unique<LineObject>(kind);
    line->startX = x1;
    line->startY = y1;
    line->endX = x2;
    line->endY = y2;
    line->width = width;
    line->style = style;
    line->colour = 0x2040E0;
    line->shadow = shadow;
    list.AppendObject(std::move(line));
}

void AddText(ObjectList& list, ImageRect rect, const char* text, int boxStyle, int alignment, bool shadow)
{
    auto object = std::make_unique<TextObject>();
    object->SetRect(rect);
    object->text = QString::fromUtf8(text);
    object->boxStyle = boxStyle;
    object->alignment = alignment;
    object->shadow = shadow;
    object->bold = alignment == TextObject::kAlignRight;
    object->italic = boxStyle == TextObject::kTransparentBox;
    list.AppendObject(std::move(object));
}

void AddBox(ObjectList& list, ImageRect rect, int shape, int width, bool shadow)
{
    auto box = std::make_unique<ShapeObject>();
    box->SetRect(rect);
    box->shape = shape;
    box->width = width;
    box->borderColour = 0x00A000;
    box->shadow = shadow;
    list.AppendObject(std::move(box));
}

void AddHighlight(ObjectList& list, ImageRect rect, bool shadow)
{
    auto highlight = std::make_unique<HighlightObject>();
    highlight->SetRect(rect);
    highlight->colour = 0x00FFFF;
    highlight->shadow = shadow;
    list.AppendObject(std::move(highlight));
}

void AddStamp(ObjectList& list, ImageRect rect, ImageBuffer image, bool shadow)
{
    auto stamp = std::make_unique<StampObject>();
    stamp->SetRect(rect);
    stamp->SetImage(std::move(image));
    stamp->stampIndex = 1;
    stamp->shadow = shadow;
    list.AppendObject(std::move(stamp));
}

ObjectList MakeTwentyObjects()
{
    ObjectList list;
    AddLine(list, 100, 100, 900, 400, 3, LineObject::kSolid, true);
    AddLine(list, 200, 1500, 1800, 1600, 5, LineObject::kDot, false);
    AddLine(list, 3000, 200, 3500, 1900, 2, LineObject::kDash, true);
    AddLine(list, 500, 800, 1200, 900, 1, LineObject::kFillArrow, true, ObjectKind::Arrow);
    AddLine(list, 2500, 1000, 2000, 1400, 1, LineObject::kEmptyArrow, false, ObjectKind::Arrow);
    AddLine(list, 3600, 2000, 3000, 1700, 1, LineObject::kFillArrow, true, ObjectKind::Arrow);
    AddText(list, { 300, 300, 700, 450 }, "Build 1234 failed here:\nsee the log below", TextObject::kSolidBox,
        TextObject::kAlignCentre, true);
    AddText(list, { 1200, 1200, 1800, 1400 },
        "A longer note that wraps over several lines of the box, the way a reviewer writes them.",
        TextObject::kTransparentBox, TextObject::kAlignLeft, false);
    AddText(list, { 2600, 1800, 2900, 1880 }, "Right", TextObject::kSolidBox, TextObject::kAlignRight, true);
    AddBox(list, { 1000, 200, 1400, 500 }, ShapeObject::kRectangle, 2, true);
    AddBox(list, { 1500, 300, 1900, 700 }, ShapeObject::kEllipse, 4, false);
    AddBox(list, { 2200, 1200, 2700, 1500 }, ShapeObject::kFilledRectangle, 3, true);
    AddBox(list, { 400, 1800, 800, 2100 }, ShapeObject::kFilledEllipse, 2, false);
    AddHighlight(list, { 1000, 1000, 1600, 1100 }, true);
    AddHighlight(list, { 2000, 600, 2800, 700 }, false);
    AddHighlight(list, { 100, 1200, 400, 1600 }, false);
    AddStamp(list, { 2900, 300, 3100, 500 }, MakePicture(256, 256, 32, true), true);
    AddStamp(list, { 3200, 1200, 3400, 1400 }, MakePicture(128, 128, 24, false), false);
    AddBox(list, { 1800, 1800, 2400, 2100 }, ShapeObject::kRectangle, 10, false);
    AddText(list, { 3300, 600, 3700, 800 }, "Underlined, italic, transparent", TextObject::kTransparentBox,
        TextObject::kAlignCentre, false);
    return list;
}

// What the view does for a paint: copy the document image, then render every object onto the copy.
void BM_CopyAndRenderTwentyObjects(benchmark::State& state)
{
    const ImageBuffer document = MakePicture(kWidth, kHeight, 32, false);
    const ObjectList objects = MakeTwentyObjects();
    ImageBuffer copy;
    RunAgainstMemcpy(
        state, document.PixelBytes(), [&] { copy.Destroy(); },
        [&] {
            copy.CopyFrom(document);
            ObjectRenderer::RenderObjects(objects, copy);
        });
}

void BM_RenderTwentyObjects(benchmark::State& state)
{
    const ImageBuffer document = MakePicture(kWidth, kHeight, 32, false);
    const ObjectList objects = MakeTwentyObjects();
    ImageBuffer copy;
    RunAgainstMemcpy(
        state, document.PixelBytes(), [&] { copy.CopyFrom(document); },
        [&] { ObjectRenderer::RenderObjects(objects, copy); });
}

// Each of the twenty on its own, to see where the time goes.
void BM_RenderOneObject(benchmark::State& state)
{
    const ImageBuffer document = MakePicture(kWidth, kHeight, 32, false);
    const ObjectList objects = MakeTwentyObjects();
    auto it = objects.begin();
    std::advance(it, state.range(0));
    const AnnotationObject& object = **it;
    ImageBuffer copy(document);
    for (auto _ : state)
        ObjectRenderer::RenderObject(object, copy);
    state.SetLabel(std::to_string(int(object.Kind())) + (object.shadow ? " shadow" : ""));
}

void BM_ShadowOf600x400(benchmark::State& state)
{
    const ImageBuffer picture = MakePicture(600, 400, 32, true);
    ImageBuffer image;
    RunAgainstMemcpy(
        state, picture.PixelBytes(), [&] { image.CopyFrom(picture); },
        [&] {
            ShadowEffect shadow;
            image.ApplyEffect(shadow);
        });
}

// The whole screen blended at partial strength over partial alpha: every pixel takes the general path.
void BM_BlendScreenOverTranslucent(benchmark::State& state)
{
    const ImageBuffer source = MakePicture(kWidth, kHeight, 32, true);
    ImageBuffer target = MakePicture(kWidth, kHeight, 32, false);
    target.SetAlpha(200);
    const ImageBuffer fresh(target);
    RunAgainstMemcpy(
        state, source.PixelBytes(), [&] { target.CopyFrom(fresh); }, [&] { BlendImage(target, source, 0, 0, 60); });
}

void BM_BlendScreenOverOpaque(benchmark::State& state)
{
    const ImageBuffer source = MakePicture(kWidth, kHeight, 32, true);
    ImageBuffer target = MakePicture(kWidth, kHeight, 32, false);
    const ImageBuffer fresh(target);
    RunAgainstMemcpy(
        state, source.PixelBytes(), [&] { target.CopyFrom(fresh); }, [&] { BlendImage(target, source, 0, 0, 60); });
}

} // namespace

BENCHMARK(BM_CopyAndRenderTwentyObjects)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RenderTwentyObjects)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_RenderOneObject)->DenseRange(0, 19)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShadowOf600x400)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_BlendScreenOverTranslucent)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_BlendScreenOverOpaque)->Unit(benchmark::kMillisecond)->Iterations(10);

// Text needs a QGuiApplication; the offscreen platform needs no display.
int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
