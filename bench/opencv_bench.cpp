// Our image operations beside OpenCV's nearest equivalents on the same 3840 x 2160 screen-like picture, in
// the same run. Each benchmark's time is ours; "opencv_ms" is OpenCV's and "x_opencv" ours over OpenCV's
// (below 1 means we are faster). The argument is the thread count: 1 runs both single-threaded, 0 gives
// both every core (our row pool against OpenCV's own default threading).
//
// OpenCV works on a top-down copy of the picture in a 4-channel Mat and writes into a preallocated
// destination where it can, which is its fastest way; ours runs through ApplyEffect as the editor does,
// on a copy made before timing. Where the two compute different things, the comment at the row says so.
#include "bench/BenchImages.h"

#include "imaging/ImageBuffer.h"
#include "imaging/RowPool.h"
#include "imaging/colour/BrightnessEffect.h"
#include "imaging/colour/ContrastEffect.h"
#include "imaging/colour/GrayScaleEffect.h"
#include "imaging/colour/HueSaturationEffect.h"
#include "imaging/colour/InvertEffect.h"
#include "imaging/colour/PosterizeEffect.h"
#include "imaging/filters/ColorNoiseEffect.h"
#include "imaging/filters/ConvolutionEffect.h"
#include "imaging/filters/EmbossEffect.h"
#include "imaging/filters/MosaicEffect.h"
#include "imaging/geometry/FlipHorizontalEffect.h"
#include "imaging/geometry/FreeRotateEffect.h"
#include "imaging/geometry/Rotate90Effect.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>

namespace {

const cv::Mat& ScreenMat()
{
    static const cv::Mat mat = [] {
        const ImageBuffer& image = ScreenLikeImage();
        cv::Mat m(image.Height(), image.Width(), CV_8UC4);
        for (int y = 0; y < image.Height(); ++y)
            std::memcpy(m.ptr(y), image.Row(y), size_t(image.Width()) * 4);
        return m;
    }();
    return mat;
}

double Seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    benchmark::ClobberMemory();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// ours(image) runs on a fresh copy of the picture; theirs(src, dst) on OpenCV's copy, dst kept between runs.
using Ours = std::function<void(ImageBuffer&)>;
using Theirs = std::function<void(cv::Mat&, cv::Mat&)>;

void SideBySide(benchmark::State& state, const Ours& ours, const Theirs& theirs)
{
    const int threads = int(state.range(0));
    RowPool::Shared().SetThreads(threads);
    cv::setNumThreads(threads == 1 ? 1 : -1);
    ImageBuffer image;
    cv::Mat src, dst;
    double oursSeconds = 0, theirSeconds = 0;
    bool theirsFirst = true;
    for (auto _ : state) {
        // The picture is about the size of the last-level cache, so whichever copy is made last starts
        // warm: the two sides take turns at that.
        if (theirsFirst) {
            image = ScreenLikeImage();
            ScreenMat().copyTo(src);
        } else {
            ScreenMat().copyTo(src);
            image = ScreenLikeImage();
        }
        double seconds = 0;
        if (theirsFirst) {
            theirSeconds += Seconds([&] { theirs(src, dst); });
            seconds = Seconds([&] { ours(image); });
        } else {
            seconds = Seconds([&] { ours(image); });
            theirSeconds += Seconds([&] { theirs(src, dst); });
        }
        theirsFirst = !theirsFirst;
        oursSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    const double runs = double(state.iterations());
    state.counters["opencv_ms"] = theirSeconds / runs * 1e3;
    state.counters["x_opencv"] = oursSeconds / theirSeconds;
    RowPool::Shared().SetThreads(0);
    cv::setNumThreads(-1);
}

template <class Effect> Ours Apply(std::function<std::unique_ptr<Effect>()> make)
{
    return [make](ImageBuffer& image) {
        auto effect = make();
        image.ApplyEffect(*effect);
    };
}

template <class Effect, class... Args> Ours Run(Args... args)
{
    return Apply<Effect>([=] { return std::make_unique<Effect>(args...); });
}

cv::Mat Table(int (*map)(int))
{
    cv::Mat lut(1, 256, CV_8U);
    for (int v = 0; v < 256; ++v)
        lut.at<uint8_t>(v) = uint8_t(map(v));
    return lut;
}

void Register(const char* name, Ours ours, Theirs theirs)
{
    benchmark::RegisterBenchmark(name, [=](benchmark::State& state) { SideBySide(state, ours, theirs); })
        ->Arg(1)
        ->Arg(0)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(15);
}

void RegisterAll()
{
    // OpenCV inverts alpha too.
    Register("Invert", Run<InvertEffect>(7), [](cv::Mat& src, cv::Mat&) { cv::bitwise_not(src, src); });
    // OpenCV rounds where we truncate.
    Register("Blur3x3",
        Apply<ConvolutionEffect>([] { return std::make_unique<ConvolutionEffect>(ConvolutionEffect::Blur()); }),
        [](cv::Mat& src, cv::Mat& dst) { cv::GaussianBlur(src, dst, cv::Size(3, 3), 0, 0, cv::BORDER_REPLICATE); });
    // OpenCV samples at pixel centres; we map corners as the editor always has.
    Register(
        "ResizeBilinear1920x1080", [](ImageBuffer& image) { image.ResizeBilinear(1920, 1080); },
        [](cv::Mat& src, cv::Mat& dst) { cv::resize(src, dst, cv::Size(1920, 1080), 0, 0, cv::INTER_LINEAR); });
    Register("FlipHorizontal", Run<FlipHorizontalEffect>(), [](cv::Mat& src, cv::Mat& dst) { cv::flip(src, dst, 1); });
    Register("Rotate90", Run<Rotate90Effect>(),
        [](cv::Mat& src, cv::Mat& dst) { cv::rotate(src, dst, cv::ROTATE_90_CLOCKWISE); });
    // OpenCV interpolates at every fraction; ours lands on halves only.
    Register("FreeRotate45", Run<FreeRotateEffect>(45), [](cv::Mat& src, cv::Mat& dst) {
        const cv::Point2f centre(src.cols * 0.5f, src.rows * 0.5f);
        cv::Mat m = cv::getRotationMatrix2D(centre, -45, 1.0);
        const cv::Rect box = cv::RotatedRect(centre, src.size(), 45).boundingRect();
        m.at<double>(0, 2) += box.width / 2.0 - centre.x;
        m.at<double>(1, 2) += box.height / 2.0 - centre.y;
        cv::warpAffine(src, dst, m, box.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT);
    });
    // One table for every channel, alpha included, in OpenCV.
    static const cv::Mat brightness = Table([](int v) { return std::min(255, 150 * v / 100); });
    Register(
        "Brightness150", Run<BrightnessEffect>(150), [](cv::Mat& src, cv::Mat& dst) { cv::LUT(src, brightness, dst); });
    static const cv::Mat contrast = Table([](int v) { return std::clamp((v - 128) * 150 / 100 + 128, 0, 255); });
    Register("Contrast150", Run<ContrastEffect>(150), [](cv::Mat& src, cv::Mat& dst) { cv::LUT(src, contrast, dst); });
    static const cv::Mat posterize = Table([](int v) { return v < 64 ? 0 : v < 192 ? 128 : 255; });
    Register("Posterize3", Run<PosterizeEffect>(3), [](cv::Mat& src, cv::Mat& dst) { cv::LUT(src, posterize, dst); });
    // OpenCV rounds a float sum; we truncate an integer one.
    Register("GrayScale", Run<GrayScaleEffect>(), [](cv::Mat& src, cv::Mat& dst) {
        static const cv::Matx44f grey(
            0.11f, 0.59f, 0.30f, 0, 0.11f, 0.59f, 0.30f, 0, 0.11f, 0.59f, 0.30f, 0, 0, 0, 0, 1);
        cv::transform(src, dst, grey);
    });
    // OpenCV filters each channel on its own (alpha too); ours takes the difference of channel sums.
    Register("Emboss2", Run<EmbossEffect>(2), [](cv::Mat& src, cv::Mat& dst) {
        static const cv::Mat kernel = (cv::Mat_<float>(1, 3) << 0, 2.0f / 3, -2.0f / 3);
        cv::filter2D(src, dst, -1, kernel, cv::Point(-1, -1), 128, cv::BORDER_REPLICATE);
    });
    // OpenCV: area-average down, then nearest up; ours weights by alpha.
    Register("Mosaic10", Run<MosaicEffect>(10), [](cv::Mat& src, cv::Mat& dst) {
        cv::Mat cells;
        cv::resize(src, cells, cv::Size((src.cols + 9) / 10, (src.rows + 9) / 10), 0, 0, cv::INTER_AREA);
        cv::resize(cells, dst, src.size(), 0, 0, cv::INTER_NEAREST);
    });
    // OpenCV converts to HLS bytes and back; ours scales hue and saturation in doubles.
    Register("HueSaturation150_80", Run<HueSaturationEffect>(150, 80), [](cv::Mat& src, cv::Mat& dst) {
        cv::Mat bgr, hls;
        cv::cvtColor(src, bgr, cv::COLOR_BGRA2BGR);
        cv::cvtColor(bgr, hls, cv::COLOR_BGR2HLS_FULL);
        cv::multiply(hls, cv::Scalar(1.5, 1.0, 0.8), hls);
        cv::cvtColor(hls, bgr, cv::COLOR_HLS2BGR_FULL);
        cv::cvtColor(bgr, dst, cv::COLOR_BGR2BGRA);
    });
    // OpenCV's generator differs, and it adds noise to alpha too.
    Register("ColorNoise100", Run<ColorNoiseEffect>(100, 1u), [](cv::Mat& src, cv::Mat& dst) {
        cv::Mat noise(src.size(), CV_8SC4);
        cv::randu(noise, -50, 51);
        cv::add(src, noise, dst, cv::noArray(), CV_8U);
    });
}

} // namespace

int main(int argc, char** argv)
{
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
