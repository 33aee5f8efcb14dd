// librgbhsv's speed: every colour (4096 x 4096, the image of all 16,777,216)
// converted each way, on one thread and on every processor, beside the
// engine called once a pixel and OpenCV's cvtColor on the same image.
// Reports CPU nanoseconds a pixel (for every core, real time).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>
#ifdef RGBHSV_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

#include "engine/conversion.h"
#include "rgbhsv.h"

namespace {

const size_t kSide = 4096, kPixels = kSide * kSide;

const std::vector<uint8_t> &EveryColour()
{
    static const std::vector<uint8_t> all = [] {
        std::vector<uint8_t> v(3 * kPixels);
        for (size_t i = 0; i < kPixels; i++) {
            v[3 * i] = static_cast<uint8_t>(i >> 16);
            v[3 * i + 1] = static_cast<uint8_t>(i >> 8);
            v[3 * i + 2] = static_cast<uint8_t>(i);
        }
        return v;
    }();
    return all;
}

void Report(benchmark::State &state)
{
    state.counters["ns/pixel"] = benchmark::Counter(static_cast<double>(kPixels) * static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void LibraryImage(benchmark::State &state, bool to_hsv, unsigned threads)
{
    const std::vector<uint8_t> &in = EveryColour();
    std::vector<uint8_t> out(in.size());
    for (auto _ : state) {
        (to_hsv ? rgbhsv_rgb_to_hsv_image : rgbhsv_hsv_to_rgb_image)(in.data(), 3 * kSide, out.data(), 3 * kSide, kSide,
                                                                      kSide, RGBHSV_RGB, threads);
        benchmark::DoNotOptimize(out.data());
    }
    Report(state);
}

void EnginePerCall(benchmark::State &state, bool to_hsv)
{
    const std::vector<uint8_t> &in = EveryColour();
    std::vector<uint8_t> out(in.size());
    for (auto _ : state) {
        for (size_t i = 0; i < kPixels; i++) {
            int a, b, c;
            if (to_hsv) RgbToHsv(in[3 * i], in[3 * i + 1], in[3 * i + 2], &a, &b, &c);
            else HsvToRgb(in[3 * i], in[3 * i + 1], in[3 * i + 2], &a, &b, &c);
            out[3 * i] = static_cast<uint8_t>(a);
            out[3 * i + 1] = static_cast<uint8_t>(b);
            out[3 * i + 2] = static_cast<uint8_t>(c);
        }
        benchmark::DoNotOptimize(out.data());
    }
    Report(state);
}

#ifdef RGBHSV_BENCH_OPENCV
// cv::setNumThreads(1) for one thread, its default (every core) for 0.
void OpenCv(benchmark::State &state, bool to_hsv, int threads)
{
    cv::Mat in(kSide, kSide, CV_8UC3, const_cast<uint8_t *>(EveryColour().data())), out;
    const int default_threads = cv::getNumThreads();
    cv::setNumThreads(threads);
    for (auto _ : state) {
        cv::cvtColor(in, out, to_hsv ? cv::COLOR_RGB2HSV_FULL : cv::COLOR_HSV2RGB_FULL);
        benchmark::DoNotOptimize(out.data);
    }
    cv::setNumThreads(default_threads);
    Report(state);
}

// How many of the colours OpenCV converts to the same three bytes.
void ReportAgreement()
{
    const std::vector<uint8_t> &in = EveryColour();
    std::vector<uint8_t> ours(in.size());
    cv::Mat image(kSide, kSide, CV_8UC3, const_cast<uint8_t *>(in.data())), theirs;
    for (const bool to_hsv : {true, false}) {
        (to_hsv ? rgbhsv_rgb_to_hsv : rgbhsv_hsv_to_rgb)(in.data(), ours.data(), kPixels);
        cv::cvtColor(image, theirs, to_hsv ? cv::COLOR_RGB2HSV_FULL : cv::COLOR_HSV2RGB_FULL);
        size_t same = 0;
        for (size_t i = 0; i < 3 * kPixels; i += 3)
            same += ours[i] == theirs.data[i] && ours[i + 1] == theirs.data[i + 1] && ours[i + 2] == theirs.data[i + 2];
        std::printf("OpenCV %s gives these numbers for %.1f%% of the colours\n",
                    to_hsv ? "COLOR_RGB2HSV_FULL" : "COLOR_HSV2RGB_FULL", 100.0 * same / kPixels);
    }
}

BENCHMARK_CAPTURE(OpenCv, rgb_to_hsv_one_thread, true, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenCv, rgb_to_hsv_every_core, true, -1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(OpenCv, hsv_to_rgb_one_thread, false, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(OpenCv, hsv_to_rgb_every_core, false, -1)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

BENCHMARK_CAPTURE(LibraryImage, rgb_to_hsv_one_thread, true, 1u)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LibraryImage, rgb_to_hsv_every_core, true, 0u)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(EnginePerCall, rgb_to_hsv, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LibraryImage, hsv_to_rgb_one_thread, false, 1u)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LibraryImage, hsv_to_rgb_every_core, false, 0u)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(EnginePerCall, hsv_to_rgb, false)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    std::printf("librgbhsv kernel: %s\n", rgbhsv_kernel());
#ifdef RGBHSV_BENCH_OPENCV
    ReportAgreement();
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
