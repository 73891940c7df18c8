// Reading the text of screenshots: a 1920 x 1080 screen full of text, one core (OMP_THREAD_LIMIT=1), and
// what enlarging and black-and-white do to speed and accuracy on the small pictures.
#include "ocr/OcrPage.h"
#include "ocr/TextRecognizer.h"

#include "TextPicture.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <unistd.h>

namespace {

// A desktop-sized page of the paragraph, over and over, in one style.
ImageBuffer Screen(const textpicture::Style& style, QStringList& lines)
{
    const QFont font = textpicture::FontOf(style);
    const QStringList paragraph = textpicture::Wrap(textpicture::kParagraph, font, 900);
    const int rows = (1080 - 20) / QFontMetrics(font).lineSpacing();
    lines.clear();
    while (lines.size() < rows)
        lines << paragraph;
    lines = lines.mid(0, rows);
    return textpicture::Render(lines, style, 1920, 1080);
}

void ReadScreen(benchmark::State& state, textpicture::Style style)
{
    QStringList lines;
    const ImageBuffer screen = Screen(style, lines);
    TextRecognizer recognizer;
    double accuracy = 0;
    for (auto _ : state) {
        const TextRecognizer::Result result = recognizer.Read(screen);
        accuracy = textpicture::CharacterAccuracy(lines.join(' '), QString::fromStdString(result.text));
    }
    state.counters["accuracy"] = accuracy;
    state.counters["chars"] = double(lines.join(' ').size());
}

// One small paragraph prepared one way: its lines enlarged to a height (0 = not at all), binarised or not,
// turned dark on light or not.
void ReadParagraph(benchmark::State& state, textpicture::Style style)
{
    TextRecognizer::Options options;
    options.lineHeight = int(state.range(0));
    options.binarise = state.range(1) != 0;
    options.darkOnLight = state.range(2) != 0;
    TextRecognizer recognizer(options);
    QStringList lines;
    const ImageBuffer picture = textpicture::Paragraph(style, 640, &lines);
    double accuracy = 0;
    for (auto _ : state) {
        const TextRecognizer::Result result = recognizer.Read(picture);
        accuracy = textpicture::CharacterAccuracy(lines.join(' '), QString::fromStdString(result.text));
    }
    state.counters["accuracy"] = accuracy;
    state.counters["scale"] = recognizer.Prepare(picture).Width() / double(picture.Width());
    state.counters["line"] = OcrPage::FromImage(picture).LineHeight();
}

void PrepareScreen(benchmark::State& state)
{
    QStringList lines;
    const ImageBuffer screen = Screen({ "Liberation Sans", 12, false }, lines);
    TextRecognizer recognizer;
    for (auto _ : state)
        benchmark::DoNotOptimize(recognizer.Prepare(screen));
}

void LoadLanguage(benchmark::State& state)
{
    for (auto _ : state) {
        TextRecognizer recognizer;
        benchmark::DoNotOptimize(recognizer.Ready());
    }
}

const textpicture::Style kStyles[] = {
    { "Liberation Sans", 12, false },
    { "Liberation Sans", 12, true },
    { "DejaVu Sans Mono", 12, false },
    { "Liberation Sans", 16, false },
    { "DejaVu Sans Mono", 16, true },
};

void Register()
{
    benchmark::RegisterBenchmark("ReadScreen1080p/LiberationSans16", ReadScreen, kStyles[3])
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("ReadScreen1080p/LiberationSans12", ReadScreen, kStyles[0])
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("ReadScreen1080p/DejaVuSansMono12", ReadScreen, kStyles[2])
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("PrepareScreen1080p", PrepareScreen)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("LoadLanguage/eng", LoadLanguage)->Unit(benchmark::kMillisecond);
    for (const textpicture::Style& style : kStyles) {
        const std::string name = std::string("ReadParagraph/") + style.family + "/" + std::to_string(style.pixelSize)
            + (style.lightOnDark ? "/light_on_dark" : "/dark_on_light");
        benchmark::RegisterBenchmark(name.c_str(), ReadParagraph, style)
            ->ArgNames({ "line", "binarise", "invert" })
            ->ArgsProduct({ { 0, 16, 18, 24, 36 }, { 0, 1 },
                style.lightOnDark ? std::vector<int64_t> { 0, 1 } : std::vector<int64_t> { 1 } })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2);
    }
}

} // namespace

int main(int argc, char** argv)
{
    // The OpenMP runtime reads its limit when it loads: set it, then start again.
    if (!std::getenv("OMP_THREAD_LIMIT")) {
        setenv("OMP_THREAD_LIMIT", "1", 1);
        execv("/proc/self/exe", argv);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    Register();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
