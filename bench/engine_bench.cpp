/*
 * Speed of the conversion engine and of hsvconv's table output.
 * Each benchmark measures one thing; figures go in docs/figures.md with the machine.
 */
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include "cli/conversions.h"
#include "cli/output.h"
#include "engine/conversion.h"

namespace {

// One conversion, inputs walking the whole cube so that every rule and
// branch is taken in its real proportion.
void BM_RgbToHsv(benchmark::State &state)
{
    unsigned int i = 0;
    int h, s, v;
    for (auto _ : state) {
        RgbToHsv(static_cast<int>(i >> 16), static_cast<int>(i >> 8), static_cast<int>(i), &h, &s, &v);
        benchmark::DoNotOptimize(h);
        i = (i + 0x9E3779u) & 0xFFFFFFu;
    }
}
BENCHMARK(BM_RgbToHsv);

void BM_HsvToRgb(benchmark::State &state)
{
    unsigned int i = 0;
    int r, g, b;
    for (auto _ : state) {
        HsvToRgb(static_cast<int>(i >> 16), static_cast<int>(i >> 8), static_cast<int>(i), &r, &g, &b);
        benchmark::DoNotOptimize(r);
        i = (i + 0x9E3779u) & 0xFFFFFFu;
    }
}
BENCHMARK(BM_HsvToRgb);

// All 16,777,216 inputs of both directions.
void BM_FullSweepBothDirections(benchmark::State &state)
{
    for (auto _ : state) {
        unsigned int sum = 0;
        int x, y, z;
        for (int a = 0; a < 256; a++)
            for (int b = 0; b < 256; b++)
                for (int c = 0; c < 256; c++) {
                    RgbToHsv(a, b, c, &x, &y, &z);
                    sum += static_cast<unsigned int>(x + y + z);
                    HsvToRgb(a, b, c, &x, &y, &z);
                    sum += static_cast<unsigned int>(x + y + z);
                }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["conversions"] = benchmark::Counter(2.0 * 16777216.0 * static_cast<double>(state.iterations()),
                                                       benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullSweepBothDirections)->Unit(benchmark::kMillisecond);

// hsvconv table output into /dev/null: engine, formatting and write calls.
void BM_TableOutput(benchmark::State &state)
{
    const auto direction = state.range(0) == 0 ? hsvconv::Direction::kRgbToHsv
                                               : hsvconv::Direction::kHsvToRgb;
    // One descriptor and one output buffer serve every run.
    static const int fd = open("/dev/null", O_WRONLY);
    if (fd < 0) {
        state.SkipWithError("cannot open /dev/null");
        return;
    }
    static hsvconv::Output out(fd);
    const unsigned long long before = out.Written();
    for (auto _ : state) {
        if (!hsvconv::WriteTable(direction, out)) state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(out.Written() - before));
}
BENCHMARK(BM_TableOutput)->Arg(0)->Arg(1)->ArgName("hsv")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
