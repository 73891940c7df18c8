#pragma once

#include "imaging/PixelBlock.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>

// Times a memcpy of `bytes` in the same run as the measured operation, so that each result can be read as a
// ratio that holds on a noisy machine. Both blocks are allocated the way image pixels are (huge pages for
// large blocks) and touched before timing: copying between cold 4 KiB pages is half again slower, and
// every ratio against it would look better than it is.
class MemcpyBaseline {
public:
    explicit MemcpyBaseline(size_t bytes)
    {
        from_.Allocate(bytes);
        to_.Allocate(bytes);
        std::memset(from_.Data(), 1, bytes);
        std::memset(to_.Data(), 2, bytes);
    }

    void TimeOne()
    {
        const auto start = std::chrono::steady_clock::now();
        std::memcpy(to_.Data(), from_.Data(), from_.Size());
        benchmark::ClobberMemory();
        copySeconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++copies_;
    }

    // Reports the measured time over the memcpy time as the counter "x_memcpy".
    void Report(benchmark::State& state, double measuredSeconds, int64_t runs) const
    {
        if (copies_ == 0 || runs == 0)
            return;
        const double copy = copySeconds_ / double(copies_);
        state.counters["memcpy_ms"] = copy * 1e3;
        state.counters["x_memcpy"] = (measuredSeconds / double(runs)) / copy;
    }

private:
    PixelBlock from_;
    PixelBlock to_;
    double copySeconds_ = 0;
    int64_t copies_ = 0;
};

// Runs `work` once per iteration with manual timing and reports it against a memcpy of `bytes`.
template <class Setup, class Work> void RunAgainstMemcpy(benchmark::State& state, size_t bytes, Setup setup, Work work)
{
    MemcpyBaseline baseline(bytes);
    double measured = 0;
    int64_t runs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        setup();
        baseline.TimeOne();
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        work();
        benchmark::ClobberMemory();
        measured += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++runs;
    }
    baseline.Report(state, measured, runs);
}
