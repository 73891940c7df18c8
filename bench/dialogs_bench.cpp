// The adjustment dialogs over a 3840 x 2160 document: one thumbnail refresh per template (what a
// trackbar movement costs the dialog; the target is 16 ms, oil paint above radius 5 excepted), and, with
// "Preview" set, how long a trackbar movement takes to be handled while the document preview runs on
// the worker (the target is 50 ms, against an effect that takes over a second on the whole image).
#include "app/DocumentAdjustTarget.h"
#include "bench/BenchImages.h"
#include "editor/document/CKestrelDoc.h"
#include "imaging/dialogs/AdjustDlg.h"
#include "imaging/dialogs/LiveDocumentPreview.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QSlider>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

AdjustTarget& Document()
{
    static CKestrelDoc* document = [] {
        auto* doc = new CKestrelDoc;
        doc->Image() = ScreenLikeImage();
        return doc;
    }();
    static DocumentAdjustTarget target(*document);
    return target;
}

void BM_ThumbnailRefresh(benchmark::State& state)
{
    const int templateId = int(state.range(0));
    AdjustDlg dialog(Document(), templateId);
    if (state.range(1) > 0)
        dialog.Trackbar(0)->setValue(int(state.range(1)));
    for (auto _ : state)
        dialog.Refresh();
    state.SetLabel(dialog.windowTitle().toStdString());
}

void BM_InputWhileDocumentPreviewRuns(benchmark::State& state)
{
    AdjustDlg dialog(Document(), 193);
    dialog.PreviewCheck()->setChecked(true);
    QSlider* bar = dialog.Trackbar(0);
    int step = 0;
    for (auto _ : state) {
        // Keep the worker busy with a long document run, then time one trackbar movement and the
        // event processing that follows it.
        if (!dialog.Live().IsBusy())
            bar->setValue(15);
        const auto start = std::chrono::steady_clock::now();
        bar->setValue(11 + (step++ % 4));
        QApplication::processEvents();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        if (!dialog.Live().IsBusy())
            state.SkipWithError("the document preview ended before the input was handled");
    }
    const_cast<LiveDocumentPreview&>(dialog.Live()).Stop();
    dialog.reject();
}

} // namespace

BENCHMARK(BM_ThumbnailRefresh)
    ->ArgNames({ "template", "value" })
    ->Args({ 172, 0 })
    ->Args({ 173, 0 })
    ->Args({ 174, 0 })
    ->Args({ 190, 0 })
    ->Args({ 191, 0 })
    ->Args({ 192, 0 })
    ->Args({ 193, 2 })
    ->Args({ 193, 5 })
    ->Args({ 193, 15 })
    ->Args({ 194, 0 })
    ->Args({ 195, 0 })
    ->Args({ 196, 0 })
    ->Args({ 197, 0 })
    ->Args({ 200, 0 })
    ->Args({ 201, 0 })
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InputWhileDocumentPreviewRuns)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

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
