// The undo history on a 3840 x 2160 document: one effect with its snapshot, undo and redo, the memory
// that ten full undo steps hold, and the snapshots that object edits record (20 objects on the picture).
#include "editor/document/CKestrelDoc.h"
#include "editor/objects/HighlightObject.h"
#include "imaging/colour/InvertEffect.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <utility>

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;

void FillDocument(CKestrelDoc& doc)
{
    doc.Image().Create(kWidth, kHeight, 32);
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* row = doc.Image().Row(y);
        for (int i = 0; i < kWidth * 4; ++i)
            row[i] = uint8_t(i / 7 + y);
    }
}

void AddObjects(CKestrelDoc& doc)
{
    for (int i = 0; i < 20; ++i) {
        auto highlight = std::make_unique<HighlightObject>();
        highlight->SetRect({ 100 + i * 150, 100 + i * 80, 300 + i * 150, 200 + i * 80 });
        doc.Objects().AppendObject(std::move(highlight));
    }
}

// What a drawing tool does on its press: snapshot, then change only the objects.
void ObjectEdit(CKestrelDoc& doc, int step)
{
    doc.RecordUndoSnapshot(std::as_const(doc).Image());
    auto highlight = std::make_unique<HighlightObject>();
    highlight->SetRect({ step % 3000, 500, step % 3000 + 100, 600 });
    doc.Objects().AppendObject(std::move(highlight));
}

// Resident memory now, in MiB, from the kernel's own accounting.
double ResidentMiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            double kib = 0;
            status >> kib;
            return kib / 1024.0;
        }
        std::getline(status, key);
    }
    return 0;
}

void BM_EffectWithUndoSnapshot(benchmark::State& state)
{
    CKestrelDoc doc;
    FillDocument(doc);
    InvertEffect effect;
    for (auto _ : state) {
        doc.ApplyImageEffect(&effect);
        benchmark::DoNotOptimize(doc.Image().Pixels());
    }
}

void BM_UndoRedoCycle(benchmark::State& state)
{
    CKestrelDoc doc;
    FillDocument(doc);
    InvertEffect effect;
    doc.ApplyImageEffect(&effect);
    for (auto _ : state) {
        doc.Undo();
        doc.Redo();
    }
}

// Ten effects fill the history; the counter is what the history holds beyond the document itself, before
// and after every step has been undone once (an undone entry keeps two images).
void BM_TenUndoStepsMemory(benchmark::State& state)
{
    for (auto _ : state) {
        CKestrelDoc doc;
        FillDocument(doc);
        InvertEffect effect;
        const double base = ResidentMiB();
        for (int i = 0; i < CKestrelDoc::kHistoryLimit; ++i)
            doc.ApplyImageEffect(&effect);
        state.counters["history_MiB"] = ResidentMiB() - base;
        while (doc.Undo()) { }
        state.counters["undone_MiB"] = ResidentMiB() - base;
    }
}

void BM_ObjectEditSnapshot(benchmark::State& state)
{
    CKestrelDoc doc;
    FillDocument(doc);
    AddObjects(doc);
    int step = 0;
    for (auto _ : state)
        ObjectEdit(doc, ++step);
}

// Ten object edits fill the history: what it holds beyond the document, then after undoing all of them.
void BM_TenObjectEditStepsMemory(benchmark::State& state)
{
    for (auto _ : state) {
        CKestrelDoc doc;
        FillDocument(doc);
        AddObjects(doc);
        const double base = ResidentMiB();
        for (int i = 0; i < CKestrelDoc::kHistoryLimit; ++i)
            ObjectEdit(doc, i);
        state.counters["history_MiB"] = ResidentMiB() - base;
        while (doc.Undo()) { }
        state.counters["undone_MiB"] = ResidentMiB() - base;
    }
}

} // namespace

BENCHMARK(BM_ObjectEditSnapshot)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_TenObjectEditStepsMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_EffectWithUndoSnapshot)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_UndoRedoCycle)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_TenUndoStepsMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
