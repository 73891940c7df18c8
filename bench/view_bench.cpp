// Painting the image view over a 3840 x 2160 document into a 1920 x 1080 client area: a repaint from the
// cached composite at several zooms, and a repaint after a document update that rebuilds the composite
// with 20 objects, and a repaint while an 800 x 600 redaction is dragged across the document. Each is
// reported against a memcpy of the client area's (or the image's) bytes.
#include "bench/MemcpyBaseline.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/objects/RedactObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/ui/CKestrelView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;
constexpr int kClientWidth = 1920;
constexpr int kClientHeight = 1080;

void FillDocument(CKestrelDoc& doc, int objects)
{
    doc.Image().Create(kWidth, kHeight, 32);
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* row = doc.Image().Row(y);
        for (int i = 0; i < kWidth * 4; ++i)
            row[i] = uint8_t(i / 7 + y);
    }
    for (int i = 0; i < objects; ++i) {
        auto box = std::make_unique<ShapeObject>();
        box->shape = i % 2 ? ShapeObject::kFilledRectangle : ShapeObject::kEllipse;
        box->SetRect({ 100 + i * 170, 100 + i * 90, 400 + i * 170, 300 + i * 90 });
        box->transparency = 30;
        doc.Objects().AppendObject(std::move(box));
    }
}

// The widget paints into a premultiplied back buffer of the client's size.
void PaintClient(benchmark::State& state, int zoomStep, int objects, bool rebuild)
{
    CKestrelDoc doc;
    FillDocument(doc, objects);
    CKestrelView view(&doc);
    view.SetZoomStep(zoomStep);
    QImage client(kClientWidth, kClientHeight, QImage::Format_ARGB32_Premultiplied);
    const QRect exposed = client.rect();
    auto paint = [&] {
        QPainter painter(&client);
        painter.fillRect(exposed, QColor::fromRgb(CKestrelView::kBackground));
        view.DrawPicture(painter, QPoint(5, 5), exposed);
    };
    paint();
    const size_t bytes = rebuild ? size_t(kWidth) * kHeight * 4 : size_t(kClientWidth) * kClientHeight * 4;
    RunAgainstMemcpy(
        state, bytes,
        [&] {
            if (rebuild)
                doc.UpdateAllViews();
        },
        paint);
}

void BM_RepaintCached_10Percent(benchmark::State& state)
{
    PaintClient(state, 0, 0, false);
}
void BM_RepaintCached_50Percent(benchmark::State& state)
{
    PaintClient(state, 2, 0, false);
}
void BM_RepaintCached_100Percent(benchmark::State& state)
{
    PaintClient(state, 4, 0, false);
}
void BM_RepaintCached_100Percent_20Objects(benchmark::State& state)
{
    PaintClient(state, 4, 20, false);
}
void BM_RepaintCached_800Percent(benchmark::State& state)
{
    PaintClient(state, 9, 0, false);
}
void BM_RepaintAfterUpdate_100Percent_20Objects(benchmark::State& state)
{
    PaintClient(state, 4, 20, true);
}

// One step of a drag: the object moves a pixel, the composite is rebuilt and the client repainted.
void MoveRedaction(benchmark::State& state, int32_t mode)
{
    CKestrelDoc doc;
    FillDocument(doc, 0);
    auto redact = std::make_unique<RedactObject>();
    redact->mode = mode;
    redact->strength = RedactObject::DefaultStrength(mode);
    redact->SetRect({ 600, 300, 1400, 900 });
    auto* object = static_cast<RedactObject*>(doc.Objects().AppendObject(std::move(redact)));
    CKestrelView view(&doc);
    view.SetZoomStep(4);
    QImage client(kClientWidth, kClientHeight, QImage::Format_ARGB32_Premultiplied);
    const QRect exposed = client.rect();
    int step = 1;
    auto paint = [&] {
        object->SetRect({ object->left + step, object->top + step, object->right + step, object->bottom + step });
        step = -step;
        view.InvalidateComposite();
        QPainter painter(&client);
        painter.fillRect(exposed, QColor::fromRgb(CKestrelView::kBackground));
        view.DrawPicture(painter, QPoint(5, 5), exposed);
    };
    paint();
    RunAgainstMemcpy(
        state, size_t(kWidth) * kHeight * 4, [] {}, paint);
}
void BM_MoveRedaction_800x600_Pixelate(benchmark::State& state)
{
    MoveRedaction(state, RedactObject::kPixelate);
}
void BM_MoveRedaction_800x600_Blur(benchmark::State& state)
{
    MoveRedaction(state, RedactObject::kBlur);
}

} // namespace

BENCHMARK(BM_RepaintCached_10Percent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintCached_50Percent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintCached_100Percent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintCached_100Percent_20Objects)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintCached_800Percent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintAfterUpdate_100Percent_20Objects)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveRedaction_800x600_Pixelate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveRedaction_800x600_Blur)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
