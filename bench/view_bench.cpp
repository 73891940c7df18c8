// Painting the image view over a 3840 x 2160 document into a 1920 x 1080 client area: a repaint from the
// cached composite at several zooms, and a repaint after a document update that rebuilds the composite
// with 20 objects, and a repaint while an 800 x 600 redaction is dragged across the document. Each is
// reported against a memcpy of the client area's (or the image's) bytes.
// Then the editing tools as a user meets them, on a shown view with its repaints: a press with the Line
// tool until the new line is on screen, and one mouse move of a dragged object until it is repainted
// (the first move of the drag reported on its own).
// A pen stroke of 2000 points over the document, each move timed until repainted (mean, slowest),
// plain, with a shadow, and 30 pixels wide.
// Last, large stamps: a drag of a 4000 x 4000 shadowed stamp over the document, and one render onto a
// 64 x 64 part of the picture for a 2000 x 2000 shadowed stamp 5000 pixels away and for an overlapping
// 4000 x 4000 one, kept from one render to the next and made anew each time (its size changed).
#include "bench/MemcpyBaseline.h"
#include "editor/bars/CParamBar.h"
#include "editor/bars/ParamPanel.h"
#include "editor/document/CKestrelDoc.h"
#include "editor/objects/ObjectRenderer.h"
#include "editor/objects/PenObject.h"
#include "editor/objects/RedactObject.h"
#include "editor/objects/ShapeObject.h"
#include "editor/objects/StampObject.h"
#include "editor/ui/CKestrelView.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

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

// Counts the client pixels the viewport repaints.
class PaintCounter : public QObject {
public:
    double pixels = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            for (const QRect& rect : static_cast<QPaintEvent*>(event)->region())
                pixels += double(rect.width()) * rect.height();
        return false;
    }
};

void SendMouse(QWidget* port, QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, port->mapToGlobal(at), button, buttons, {});
    QApplication::sendEvent(port, &event);
}

// A shown view of the document, with everything painted once.
std::unique_ptr<CKestrelView> ShownView(CKestrelDoc& doc)
{
    auto view = std::make_unique<CKestrelView>(&doc);
    view->resize(kClientWidth, kClientHeight);
    view->show();
    QApplication::processEvents();
    return view;
}

// With no objects yet, the press draws the picture's first one.
void BM_LineToolPressUntilDrawn(benchmark::State& state)
{
    CKestrelDoc doc;
    FillDocument(doc, int(state.range(0)));
    auto view = ShownView(doc);
    QWidget* port = view->viewport();
    PaintCounter counter;
    port->installEventFilter(&counter);
    int presses = 0;
    for (auto _ : state) {
        state.PauseTiming();
        view->SelectTool(CKestrelView::ToolLine);
        QApplication::processEvents();
        counter.pixels = 0;
        const QPoint at(300 + presses % 50 * 20, 400);
        state.ResumeTiming();
        SendMouse(port, QEvent::MouseButtonPress, at, Qt::LeftButton);
        QApplication::processEvents();
        state.PauseTiming();
        ++presses;
        state.counters["painted_px"] = counter.pixels;
        SendMouse(port, QEvent::MouseButtonRelease, at, Qt::NoButton);
        doc.Objects().RemoveObject(doc.Objects().Back());
        view->ClearSelection();
        doc.UpdateAllViews();
        state.ResumeTiming();
    }
}

// Presses at grab on an object, then times one mouse move of the drag at a time, each until repainted.
void DragOneMove(benchmark::State& state, CKestrelDoc& doc, QPoint grab)
{
    auto view = ShownView(doc);
    QWidget* port = view->viewport();
    view->SelectTool(CKestrelView::ToolSelect);
    SendMouse(port, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    SendMouse(port, QEvent::MouseButtonRelease, grab, Qt::NoButton);
    SendMouse(port, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    QApplication::processEvents();
    // The first move also takes the undo snapshot and makes whatever the object keeps between moves.
    const auto start = std::chrono::steady_clock::now();
    SendMouse(port, QEvent::MouseMove, grab + QPoint(1, 1), Qt::LeftButton);
    QApplication::processEvents();
    state.counters["first_move_ms"]
        = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    PaintCounter counter;
    port->installEventFilter(&counter);
    int moves = 0;
    for (auto _ : state) {
        ++moves;
        SendMouse(port, QEvent::MouseMove, grab + QPoint(moves % 100 * 3, moves % 50), Qt::LeftButton);
        QApplication::processEvents();
    }
    state.counters["painted_px_per_move"] = counter.pixels / std::max(moves, 1);
    SendMouse(port, QEvent::MouseButtonRelease, grab, Qt::NoButton);
}

// The object under the press is one of the 20 boxes; each move takes it 3 pixels further.
void BM_DragObjectOneMove(benchmark::State& state)
{
    CKestrelDoc doc;
    FillDocument(doc, 20);
    DragOneMove(state, doc, QPoint(250, 200)); // inside the first box, clear of its handles
}

// An 800 x 600 redaction: every move recomputes the hidden pixels under it.
void MoveRedaction(benchmark::State& state, int32_t mode)
{
    CKestrelDoc doc;
    FillDocument(doc, 0);
    auto redact = std::make_unique<RedactObject>();
    redact->mode = mode;
    redact->strength = RedactObject::DefaultStrength(mode);
    redact->SetRect({ 600, 300, 1400, 900 });
    doc.Objects().AppendObject(std::move(redact));
    DragOneMove(state, doc, QPoint(1000, 600));
}
void BM_MoveRedaction_800x600_Pixelate(benchmark::State& state)
{
    MoveRedaction(state, RedactObject::kPixelate);
}
void BM_MoveRedaction_800x600_Blur(benchmark::State& state)
{
    MoveRedaction(state, RedactObject::kBlur);
}

double ThreadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The pointer at 60 moves a second, 6 pixels each: a wavy line to and fro across the client area, a row
// lower at each turn.
QPoint StrokePoint(int move)
{
    constexpr int kRow = 1700;
    const int along = move * 6;
    const int x = along % (2 * kRow) < kRow ? along % (2 * kRow) : 2 * kRow - along % (2 * kRow);
    return { 100 + x, 100 + along / kRow * 30 + int(std::lround(20 * std::sin(along / 40.0))) };
}

void DrawPenStroke(benchmark::State& state, bool shadow, int widthIndex)
{
    CKestrelDoc doc;
    FillDocument(doc, 0);
    auto view = ShownView(doc);
    CParamBar bar;
    view->SetParamBar(&bar);
    view->SelectTool(CKestrelView::ToolPen);
    bar.Panel()->SetShadow(shadow);
    bar.Panel()->SetComboSelection(PanelControl::kPenWidth, widthIndex);
    QWidget* port = view->viewport();
    SendMouse(port, QEvent::MouseButtonPress, StrokePoint(0), Qt::LeftButton);
    QApplication::processEvents();
    PaintCounter counter;
    port->installEventFilter(&counter);
    int moves = 0;
    std::vector<double> times;
    // On a busy machine the wall clock also counts time the thread waited for a core.
    std::vector<double> cpuTimes;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ThreadCpuMs();
        SendMouse(port, QEvent::MouseMove, StrokePoint(++moves), Qt::LeftButton);
        QApplication::processEvents();
        cpuTimes.push_back(ThreadCpuMs() - cpuStart);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(cpuTimes.begin(), cpuTimes.end());
    state.counters["slowest_cpu_ms"] = cpuTimes.empty() ? 0 : cpuTimes.back();
    SendMouse(port, QEvent::MouseButtonRelease, StrokePoint(moves), Qt::NoButton);
    const auto* stroke = dynamic_cast<const PenObject*>(doc.Objects().Back());
    state.counters["points"] = stroke ? double(stroke->Points().size()) : 0;
    state.counters["first_ms"] = times.empty() ? 0 : times.front();
    state.counters["last_ms"] = times.empty() ? 0 : times.back();
    std::sort(times.begin(), times.end());
    state.counters["p99_ms"] = times.empty() ? 0 : times[times.size() * 99 / 100];
    state.counters["slowest_ms"] = times.empty() ? 0 : times.back();
    state.counters["painted_px_per_move"] = counter.pixels / std::max(moves, 1);
}
void BM_PenStroke2000Moves(benchmark::State& state)
{
    DrawPenStroke(state, false, 2);
}
void BM_PenStroke2000Moves_Shadowed(benchmark::State& state)
{
    DrawPenStroke(state, true, 2);
}
void BM_PenStroke2000Moves_Width30(benchmark::State& state)
{
    DrawPenStroke(state, false, 29);
}

// A 400 x 400 picture with see-through corners, as stamps are.
ImageBuffer StampPicture()
{
    ImageBuffer picture;
    picture.Create(400, 400, 32);
    for (int y = 0; y < 400; ++y) {
        uint8_t* row = picture.Row(y);
        for (int x = 0; x < 400; ++x) {
            const bool inside = (x - 200) * (x - 200) + (y - 200) * (y - 200) < 190 * 190;
            const uint8_t pixel[4] = { uint8_t(x), uint8_t(y), uint8_t(x + y), uint8_t(inside ? 255 : 0) };
            std::memcpy(row + x * 4, pixel, 4);
        }
    }
    return picture;
}

StampObject* AddStamp(ObjectList& objects, ImageRect rect)
{
    auto stamp = std::make_unique<StampObject>();
    stamp->SetRect(rect);
    stamp->SetImage(StampPicture());
    stamp->shadow = true;
    return static_cast<StampObject*>(objects.AppendObject(std::move(stamp)));
}

void BM_DragStampOneMove_4000x4000_Shadowed(benchmark::State& state)
{
    CKestrelDoc doc;
    FillDocument(doc, 0);
    AddStamp(doc.Objects(), { -80, -900, 3920, 3100 });
    DragOneMove(state, doc, QPoint(1000, 600));
}

// One render of the objects onto the 64 x 64 part of the picture at (1000, 1000).
void RenderPart(benchmark::State& state, ImageRect stampRect, bool resizeEachTime)
{
    ObjectList objects;
    StampObject* stamp = AddStamp(objects, stampRect);
    ImageBuffer part;
    part.Create(64, 64, 32);
    int renders = 0;
    for (auto _ : state) {
        if (resizeEachTime)
            stamp->right = stampRect.right + (++renders & 1);
        ObjectRenderer::RenderObjects(objects, part, 1000, 1000);
        benchmark::DoNotOptimize(part.Pixels());
    }
}
void BM_RenderPart64_StampFarAway_2000x2000(benchmark::State& state)
{
    RenderPart(state, { 6064, 6064, 8064, 8064 }, false);
}
void BM_RenderPart64_StampOverlapping_4000x4000(benchmark::State& state)
{
    RenderPart(state, { 0, 0, 4000, 4000 }, false);
}
void BM_RenderPart64_StampOverlapping_4000x4000_Resized(benchmark::State& state)
{
    RenderPart(state, { 0, 0, 4000, 4000 }, true);
}

} // namespace

BENCHMARK(BM_PenStroke2000Moves)->Iterations(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PenStroke2000Moves_Shadowed)->Iterations(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PenStroke2000Moves_Width30)->Iterations(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragStampOneMove_4000x4000_Shadowed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderPart64_StampFarAway_2000x2000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderPart64_StampOverlapping_4000x4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderPart64_StampOverlapping_4000x4000_Resized)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineToolPressUntilDrawn)->Arg(20)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragObjectOneMove)->Unit(benchmark::kMillisecond);
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
