// Loading and saving a 3840 x 2160 screenshot-like image as BMP, PNG and JPEG. The PNG save is the path
// every auto-saved capture takes. Each result carries the file size as the counter "file_bytes".
#include "editor/codecs/FreeImageDecoder.h"
#include "editor/codecs/FreeImageLibrary.h"
#include "editor/codecs/SaveImageFile.h"
#include "imaging/ImageBuffer.h"
#include "imaging/RowPool.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;

struct Colour {
    uint8_t r, g, b;
};

class ScreenPainter {
public:
    explicit ScreenPainter(ImageBuffer& image)
        : image_(image)
    {
    }

    void Put(int x, int y, Colour c)
    {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight)
            return;
        uint8_t* p = image_.Row(y) + x * 4;
        p[0] = c.b, p[1] = c.g, p[2] = c.r, p[3] = 255;
    }

    void Blend(int x, int y, Colour c, int weight)
    {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight)
            return;
        uint8_t* p = image_.Row(y) + x * 4;
        p[0] = uint8_t((p[0] * (256 - weight) + c.b * weight) >> 8);
        p[1] = uint8_t((p[1] * (256 - weight) + c.g * weight) >> 8);
        p[2] = uint8_t((p[2] * (256 - weight) + c.r * weight) >> 8);
    }

    void Fill(int left, int top, int right, int bottom, Colour c)
    {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                Put(x, y, c);
    }

    // A wallpaper: a gradient with the fine grain of a photograph.
    void Gradient()
    {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const int grain = int(Next() % 7) - 3;
                Put(x, y,
                    { uint8_t(20 + x * 90 / kWidth + grain), uint8_t(60 + y * 120 / kHeight + grain),
                        uint8_t(140 + x * 60 / kWidth - grain) });
            }
    }

    // Lines of word-like glyph runs: strokes of one or two pixels with antialiased edges, as rendered text.
    void Text(int left, int top, int right, int bottom, Colour ink, int lineHeight)
    {
        for (int y = top + 6; y + 16 < bottom; y += lineHeight) {
            int x = left + 8;
            const int lineEnd = right - 8 - int(Next() % 400);
            while (x < lineEnd) {
                const int letters = 2 + int(Next() % 9);
                for (int i = 0; i < letters && x + 9 < right; ++i, x += 9)
                    Glyph(x, y, ink);
                x += 9;
            }
        }
    }

    void Glyph(int x, int y, Colour ink)
    {
        const uint32_t shape = Next();
        const int tall = shape & 1 ? 4 : 0;
        if (shape & 2)
            Stroke(x + 1, y + 4 - tall, 1, 10 + tall, ink);
        if (shape & 4)
            Stroke(x + 6, y + 4, 1, 10, ink);
        if (shape & 8)
            Stroke(x + 1, y + 4, 6, 1, ink);
        if (shape & 16)
            Stroke(x + 1, y + 13, 6, 1, ink);
        if (shape & 32)
            Stroke(x + 1, y + 9, 5, 1, ink);
        if ((shape & 62) == 0)
            Stroke(x + 3, y + 4, 1, 10, ink);
    }

    void Stroke(int x, int y, int w, int h, Colour ink)
    {
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i)
                Put(x + i, y + j, ink);
            Blend(x - 1, y + j, ink, 70);
            Blend(x + w, y + j, ink, 110);
        }
    }

    void Icons(int left, int top, int count, int size, int gap)
    {
        static const Colour palette[]
            = { { 220, 60, 50 }, { 40, 150, 70 }, { 250, 190, 30 }, { 40, 110, 210 }, { 130, 80, 170 } };
        for (int i = 0; i < count; ++i) {
            const int x = left + i * (size + gap);
            Fill(x, top, x + size, top + size, palette[i % 5]);
            Fill(x + size / 4, top + size / 4, x + size * 3 / 4, top + size * 3 / 4, { 255, 255, 255 });
        }
    }

private:
    uint32_t Next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }

    ImageBuffer& image_;
    uint32_t state_ = 12345;
};

ImageBuffer MakeScreenshot()
{
    ImageBuffer image;
    image.Create(kWidth, kHeight, 32);
    ScreenPainter paint(image);
    paint.Gradient();
    // An editor window: title bar, toolbar, side bar and a document of text.
    paint.Fill(200, 150, 2600, 1900, { 240, 240, 240 });
    paint.Fill(200, 150, 2600, 196, { 43, 87, 154 });
    paint.Text(220, 150, 1000, 196, { 255, 255, 255 }, 40);
    paint.Icons(220, 210, 24, 36, 14);
    paint.Fill(200, 260, 620, 1860, { 230, 232, 236 });
    paint.Text(210, 270, 610, 1850, { 40, 40, 40 }, 34);
    paint.Fill(640, 270, 2580, 1850, { 255, 255, 255 });
    paint.Text(680, 300, 2540, 1820, { 30, 30, 30 }, 30);
    paint.Fill(200, 1860, 2600, 1900, { 0, 122, 204 });
    // A dark terminal.
    paint.Fill(2700, 300, 3700, 1500, { 30, 30, 30 });
    paint.Fill(2700, 300, 3700, 336, { 60, 60, 60 });
    paint.Text(2710, 345, 3690, 1490, { 200, 230, 200 }, 26);
    // The task bar.
    paint.Fill(0, 2088, kWidth, kHeight, { 32, 32, 40 });
    paint.Icons(20, 2100, 12, 48, 20);
    paint.Text(3500, 2100, 3830, 2150, { 230, 230, 230 }, 24);
    return image;
}

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

const ImageBuffer& Screenshot()
{
    static const ImageBuffer image = MakeScreenshot();
    return image;
}

std::string BenchPath(const char* extension)
{
    return (std::filesystem::temp_directory_path() / (std::string("lumora-codecs-bench.") + extension)).string();
}

void SaveAs(benchmark::State& state, const char* extension)
{
    const ImageBuffer& image = Screenshot();
    const std::string path = BenchPath(extension);
    for (auto _ : state)
        if (!SaveImageFile(image, path))
            state.SkipWithError("save failed");
    state.counters["file_bytes"] = double(std::filesystem::file_size(path));
}

void LoadFrom(benchmark::State& state, const char* extension)
{
    const std::string path = BenchPath(extension);
    if (!SaveImageFile(Screenshot(), path)) {
        state.SkipWithError("save failed");
        return;
    }
    for (auto _ : state) {
        ImageBuffer image;
        if (!image.Load(path))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(image.Pixels());
    }
    state.counters["file_bytes"] = double(std::filesystem::file_size(path));
}

void BM_SaveBmp(benchmark::State& state)
{
    SaveAs(state, "bmp");
}
// The argument is the thread count (0: one per core).
void BM_SavePng(benchmark::State& state)
{
    RowPool::Shared().SetThreads(int(state.range(0)));
    SaveAs(state, "png");
    RowPool::Shared().SetThreads(0);
}
void BM_SaveJpeg(benchmark::State& state)
{
    SaveAs(state, "jpg");
}
void BM_LoadBmp(benchmark::State& state)
{
    LoadFrom(state, "bmp");
}
void BM_LoadPng(benchmark::State& state)
{
    LoadFrom(state, "png");
}
void BM_LoadJpeg(benchmark::State& state)
{
    LoadFrom(state, "jpg");
}

// The same screenshot through a PNG writer at its default settings (zlib level 6, adaptive filters) as
// RGB, for comparison with the tuned writer.
void BM_SavePngLibraryDefaults(benchmark::State& state)
{
    ImageBuffer rgb(Screenshot());
    rgb.ConvertTo(24);
    FreeImageBitmap bitmap = ToFreeImageBitmap(rgb);
    const std::string path = BenchPath("defaults.png");
    for (auto _ : state)
        if (!FreeImage_Save(FIF_PNG, bitmap.get(), path.c_str(), PNG_DEFAULT))
            state.SkipWithError("save failed");
    state.counters["file_bytes"] = double(std::filesystem::file_size(path));
}

// The CPU time of this thread and of the child processes reaped so far, in seconds.
double CpuSeconds()
{
    timespec thread {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &thread);
    rusage children {};
    getrusage(RUSAGE_CHILDREN, &children);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return double(thread.tv_sec) + double(thread.tv_nsec) / 1e9 + seconds(children.ru_utime)
        + seconds(children.ru_stime);
}

// Opening a 1920 x 1080 screenshot PNG through the sandboxed decoder (manual time) against the same file
// read and decoded in this process by the same code (PngDecoder, as in the decoder), taken in turns within
// each iteration so that both see the same load. On a busy shared machine, run it under `chrt -f 50`:
// otherwise every hand-over between the program and its decoder waits behind other processes.
// Counters: in_process_ms, added_ms (the sandbox's cost) and x_in_process (sandbox time over in-process);
// the same in CPU time, ours and the decoders' together (cpu_added_ms, cpu_x_in_process), which a busy
// machine does not blur. With a pause, each of the two waits that long untimed before it starts.
void OpenPng1080(benchmark::State& state, std::chrono::milliseconds pause)
{
    ImageBuffer screen;
    const std::string path = BenchPath("1080.png");
    if (!Screenshot().CopyRegion(&screen, { 0, 0, 1920, 1080 }) || !SaveImageFile(screen, path)) {
        state.SkipWithError("save failed");
        return;
    }
    using Clock = std::chrono::steady_clock;
    double sandboxSeconds = 0;
    double inProcessSeconds = 0;
    double sandboxCpu = 0;
    double inProcessCpu = 0;
    for (auto _ : state) {
        std::this_thread::sleep_for(pause);
        const double cpuStart = CpuSeconds();
        const auto start = Clock::now();
        ImageBuffer image;
        if (!image.Load(path))
            state.SkipWithError("sandboxed load failed");
        const auto middle = Clock::now();
        std::this_thread::sleep_for(pause);
        const auto local = Clock::now();
        const double cpuMiddle = CpuSeconds();
        const std::vector<uint8_t> bytes = ReadFile(path);
        bool memoryShort = false;
        const std::unique_ptr<ImageBuffer> decoded
            = FreeImageDecoder::DecodeFirstPage(bytes.data(), bytes.size(), memoryShort);
        if (!decoded || decoded->PixelBytes() != image.PixelBytes())
            state.SkipWithError("in-process decode failed");
        const auto end = Clock::now();
        sandboxCpu += cpuMiddle - cpuStart;
        inProcessCpu += CpuSeconds() - cpuMiddle;
        const double sandbox = std::chrono::duration<double>(middle - start).count();
        sandboxSeconds += sandbox;
        inProcessSeconds += std::chrono::duration<double>(end - local).count();
        state.SetIterationTime(sandbox);
    }
    const double iterations = double(state.iterations());
    state.counters["in_process_ms"] = 1000 * inProcessSeconds / iterations;
    state.counters["added_ms"] = 1000 * (sandboxSeconds - inProcessSeconds) / iterations;
    state.counters["x_in_process"] = sandboxSeconds / inProcessSeconds;
    state.counters["cpu_added_ms"] = 1000 * (sandboxCpu - inProcessCpu) / iterations;
    state.counters["cpu_x_in_process"] = sandboxCpu / inProcessCpu;
    state.counters["file_bytes"] = double(std::filesystem::file_size(path));
}

void BM_OpenPng1080Sandboxed(benchmark::State& state)
{
    OpenPng1080(state, std::chrono::milliseconds(0));
}

// A user's single open, the spare decoder ready and nothing else at work, against the in-process decode,
// which no longer shares the CPU with the start of the next spare.
void BM_OpenPng1080SandboxedSpareReady(benchmark::State& state)
{
    OpenPng1080(state, std::chrono::milliseconds(40));
}

} // namespace

BENCHMARK(BM_SaveBmp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePng)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBmp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadJpeg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePngLibraryDefaults)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPng1080Sandboxed)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPng1080SandboxedSpareReady)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // The benchmark does not lie beside lumora-decode.
    setenv("LUMORA_HELPER_DIR", LUMORA_HELPER_DIR_FOR_BENCH, 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
