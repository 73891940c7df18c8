// The undo history on a 3840 x 2160 document: one effect with its snapshot, undo and redo, and the memory
// that ten full undo steps hold.
#include "CKestrelDoc.h"
#include "InvertEffect.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

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

} // namespace

BENCHMARK(BM_EffectWithUndoSnapshot)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_UndoRedoCycle)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_TenUndoStepsMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
