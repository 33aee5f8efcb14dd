// The library's conversions: the engine's numbers for each pixel, without
// the engine's one shared working record, so that pixels may be converted
// in any order, on any thread. Every double operation of the engine whose
// operands are bytes is done once, when the tables are made, exactly as
// the engine does it (same operations, same order, built with the engine's
// arithmetic options), and a pixel then costs integer steps and lookups:
//  - RGB to HSV. The normalised components floor(c * 255 / V) are whole
//    numbers (a quotient of whole numbers never lies within a rounding of
//    the next whole number below 256), so a table of quotients gives them,
//    and they keep the order of the bytes, ties and all. The largest is
//    255, the smallest 255 - S. Stretched, a component is
//    (c - smallest) * 255 / S: 255.0 for the largest, 0.0 for the smallest,
//    and the hue rules read nothing else; so the hue is a function of the
//    components' order, S and the middle one's c - smallest, tabled by
//    asking the engine itself for the hue of a colour of value 255 with
//    that order, S and middle component.
//  - HSV to RGB. The pure colour of each hue, the saturation's factor and
//    the value's come from tables; the last three products and sums are
//    the engine's, done per pixel.
// The x86-64 kernels (kernel_*.cpp) take the same steps on vectors, chosen
// by what the processor has, but for two: they work the hue out in single
// precision (kernel_body.h says why that is exact) where a table would cost
// a gather, and from HSV they look up two of the three results, which
// depend on S and V alone. The test holds every one of the 16,777,216
// inputs of each direction to the engine's result, for each kernel. Where
// no hue rule holds the engine keeps the last conversion's hue; no input
// reaches that (the test sees every one), so here it is 0.
#include "rgbhsv.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#ifndef RGBHSV_ONE_THREAD
#include <thread>
#endif
#include <vector>

#include "engine/conversion.h"
#include "engine/numeric.h"
#include "tables.h"

namespace rgbhsv {
namespace {

// The hue the engine gives a colour whose components, once normalised, are
// 255, 255 - S + k and 255 - S in the places `role` names (largest, middle,
// smallest): at value 255 normalising leaves them as they are. The engine
// is called here, once a table entry, while the tables are made.
uint8_t HueOf(const int role[3], int s, int k)
{
    int c[3], h, unused_s, unused_v;
    c[role[0]] = 255, c[role[1]] = 255 - s + k, c[role[2]] = 255 - s;
    RgbToHsv(c[0], c[1], c[2], &h, &unused_s, &unused_v);
    return (uint8_t)h;
}

// Made in place: the tables are too large for a thread's stack.
void Fill(Tables &t)
{
    for (int v = 1; v < 256; v++)
        for (int c = 0; c <= v; c++) t.quotient[v][c] = (uint8_t)Floor((double)c * FullScale / (double)v);
    // Each order of the components, as which is largest, middle, smallest.
    static const int roles[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};
    for (const int *role : roles) {
        int rank[3];
        rank[role[0]] = 2, rank[role[1]] = 1, rank[role[2]] = 0;
        const int order = Order(rank[0], rank[1], rank[2]);
        for (int s = 0; s < 256; s++)
            for (int k = 0; k <= s; k++) t.hue[order][s][k] = HueOf(role, s, k);
        // A tie stretches to exactly 0.0 or 255.0, whatever S is.
        t.tie[order] = t.hue[order][1][0];
        t.tie[order + 8] = t.hue[order][1][1];
    }
    // Largest and smallest by order: red, blue (0 rising); green, blue (512
    // falling); green, red (512 rising); blue, red (1024 falling); blue,
    // green (1024 rising); red, green (1536 falling).
    static const uint8_t rules[kOrders] = {2, 4 | 2, 4 | 1, 0, 0, 3, 1, 4 | 0};
    memcpy(t.rule, rules, sizeof rules);
    for (int hue = 0; hue < 256; hue++) {
        const double h = (double)hue;
        double r, g, b;
        if (h <= Border1 || h > Border5) r = FullScale;
        else if (h > Border2 && h <= Border4) r = 0.0;
        else if (h > Border1 && h <= Border2) r = Ceil(FullScale - (h - Border1) * SectorSlope);
        else r = Floor((h - Border4) * SectorSlope);
        if (h > Border1 && h <= Border3) g = FullScale;
        else if (h > Border4) g = 0.0;
        else if (h > Border3) g = Ceil(FullScale - (h - Border3) * SectorSlope);
        else g = Floor(h * SectorSlope);
        if (h > Border3 && h <= Border5) b = FullScale;
        else if (h <= Border2) b = 0.0;
        else if (h > Border5) b = Ceil(FullScale - (h - Border5) * SectorSlope);
        else b = Floor((h - Border2) * SectorSlope);
        // Whole numbers from 0 to 255 (the engine caps blue's 256 at hue 128),
        // the largest 255 and the smallest 0.
        const double pure[3] = {std::min(FullScale, r), std::min(FullScale, g), std::min(FullScale, b)};
        const int full = (int)(std::max_element(pure, pure + 3) - pure), none = (int)(std::min_element(pure, pure + 3) - pure);
        const int third = 3 - full - none;
        for (int bgr = 0; bgr < 2; bgr++) {
            const auto shift = [bgr](int component) { return (uint32_t)(bgr ? 16 - 8 * component : 8 * component); };
            t.roles[bgr][hue] = (uint32_t)pure[third] | shift(full) << 8 | shift(none) << 16 | shift(third) << 24;
        }
        t.pure[hue] = (uint32_t)pure[0] | (uint32_t)pure[1] << 8 | (uint32_t)pure[2] << 16;
    }
    for (int i = 0; i < 256; i++) t.fraction[i] = (double)i * Reciprocal255;
    for (int s = 0; s < 256; s++)
        for (int v = 0; v < 256; v++) {
            const double u = t.fraction[s], w = (double)(255 - s), f = t.fraction[v];
            t.ends[s][v] = (uint16_t)(FloorToByte(f * (u * 0.0 + w)) | FloorToByte(f * (u * FullScale + w)) << 8);
        }
}

void PixelRgbToHsv(const Tables &t, const uint8_t *in, uint8_t *out, int red_at, int blue_at)
{
    const int R = in[red_at], G = in[1], B = in[blue_at];
    const int V = std::max(R, std::max(G, B));
    if (V == 0) {
        out[0] = out[1] = out[2] = 0;
        return;
    }
    const int least = t.quotient[V][std::min(R, std::min(G, B))], middle = t.quotient[V][R + G + B - V - std::min(R, std::min(G, B))];
    const int S = 255 - least;
    out[0] = t.hue[Order(R, G, B)][S][middle - least];
    out[1] = (uint8_t)S;
    out[2] = (uint8_t)V;
}

void PixelHsvToRgb(const Tables &t, const uint8_t *in, uint8_t *out, int red_at, int blue_at)
{
    const int H = in[0], S = in[1], V = in[2];
    const double u = t.fraction[S], w = (double)(255 - S), f = t.fraction[V];
    const uint32_t pure = t.pure[H];
    const double r = u * (double)(pure & 0xFF) + w, g = u * (double)(pure >> 8 & 0xFF) + w,
                 b = u * (double)(pure >> 16) + w;
    const uint8_t R = FloorToByte(f * r), G = FloorToByte(f * g), B = FloorToByte(f * b);
    out[red_at] = R;
    out[1] = G;
    out[blue_at] = B;
}

using Pixel = void (*)(const Tables &, const uint8_t *, uint8_t *, int, int);

const KernelSet kPortable = {"portable", nullptr, nullptr};

// The best kernel the processor has, or the one RGBHSV_KERNEL names if it
// has that one.
const KernelSet *Best()
{
    const KernelSet *sets[4];
    const size_t n = KernelsHere(sets, 4);
    if (const char *wanted = std::getenv("RGBHSV_KERNEL"))
        for (size_t i = 0; i < n; i++)
            if (std::strcmp(sets[i]->name, wanted) == 0) return sets[i];
    return sets[0];
}

std::atomic<const KernelSet *> current{nullptr};

// A line of pixels: whole blocks by the kernel, the rest one by one.
void Line(bool to_hsv, const Tables &t, const uint8_t *in, uint8_t *out, size_t pixels, bool bgr)
{
    const KernelSet &set = CurrentKernel();
    const Kernel kernel = to_hsv ? set.rgb_to_hsv : set.hsv_to_rgb;
    const size_t done = kernel ? kernel(t, in, out, pixels, bgr) : 0;
    const Pixel pixel = to_hsv ? PixelRgbToHsv : PixelHsvToRgb;
    const int red_at = bgr ? 2 : 0, blue_at = 2 - red_at;
    for (size_t x = done; x < pixels; x++) pixel(t, in + 3 * x, out + 3 * x, red_at, blue_at);
}

// Rows `first` to `last` of an image.
void Rows(bool to_hsv, const uint8_t *in, size_t in_stride, uint8_t *out, size_t out_stride, size_t width,
          size_t first, size_t last, rgbhsv_order order)
{
    const Tables &tables = TheTables();
    for (size_t y = first; y < last; y++)
        Line(to_hsv, tables, in + y * in_stride, out + y * out_stride, width, order == RGBHSV_BGR);
}

// An image in bands of rows, one a thread.
void Image(bool to_hsv, const uint8_t *in, size_t in_stride, uint8_t *out, size_t out_stride, size_t width,
           size_t height, rgbhsv_order order, unsigned threads)
{
    TheTables();
    CurrentKernel();
#ifdef RGBHSV_ONE_THREAD
    // A build without threads (the Windows and WebAssembly ones, for now).
    threads = 1;
#else
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
#endif
    const size_t bands = std::min<size_t>(threads, std::max<size_t>(1, height * width / 65536));
    if (bands <= 1) {
        Rows(to_hsv, in, in_stride, out, out_stride, width, 0, height, order);
        return;
    }
#ifndef RGBHSV_ONE_THREAD
    std::vector<std::thread> workers;
    for (size_t i = 1; i < bands; i++)
        workers.emplace_back(Rows, to_hsv, in, in_stride, out, out_stride, width, height * i / bands,
                             height * (i + 1) / bands, order);
    Rows(to_hsv, in, in_stride, out, out_stride, width, 0, height / bands, order);
    for (std::thread &worker : workers) worker.join();
#endif
}

}  // namespace

const Tables &TheTables()
{
    static const Tables *tables = [] {
        auto *made = new Tables();
        Fill(*made);
        return made;
    }();
    return *tables;
}

size_t KernelsHere(const KernelSet **sets, size_t room)
{
    size_t n = 0;
#if defined(RGBHSV_X86_KERNELS)
    __builtin_cpu_init();
    if (n + 1 < room && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")) sets[n++] = &kAvx512;
    if (n + 1 < room && __builtin_cpu_supports("avx2")) sets[n++] = &kAvx2;
    if (n + 1 < room) sets[n++] = &kSse2;
#endif
    if (n < room) sets[n++] = &kPortable;
    return n;
}

const KernelSet &CurrentKernel()
{
    const KernelSet *set = current.load(std::memory_order_acquire);
    if (!set) {
        static const KernelSet *const best = Best();
        set = best;
        const KernelSet *none = nullptr;
        current.compare_exchange_strong(none, set, std::memory_order_acq_rel);
        set = current.load(std::memory_order_acquire);
    }
    return *set;
}

void UseKernel(const KernelSet &set) { current.store(&set, std::memory_order_release); }

}  // namespace rgbhsv

using rgbhsv::Image;
using rgbhsv::Rows;

extern "C" {

void rgbhsv_rgb_to_hsv(const uint8_t *rgb, uint8_t *hsv, size_t pixels)
{
    Rows(true, rgb, 0, hsv, 0, pixels, 0, pixels ? 1 : 0, RGBHSV_RGB);
}

void rgbhsv_hsv_to_rgb(const uint8_t *hsv, uint8_t *rgb, size_t pixels)
{
    Rows(false, hsv, 0, rgb, 0, pixels, 0, pixels ? 1 : 0, RGBHSV_RGB);
}

void rgbhsv_rgb_to_hsv_image(const uint8_t *rgb, size_t rgb_stride, uint8_t *hsv, size_t hsv_stride, size_t width,
                             size_t height, rgbhsv_order order, unsigned threads)
{
    Image(true, rgb, rgb_stride, hsv, hsv_stride, width, height, order, threads);
}

void rgbhsv_hsv_to_rgb_image(const uint8_t *hsv, size_t hsv_stride, uint8_t *rgb, size_t rgb_stride, size_t width,
                             size_t height, rgbhsv_order order, unsigned threads)
{
    Image(false, hsv, hsv_stride, rgb, rgb_stride, width, height, order, threads);
}

const char *rgbhsv_kernel(void) { return rgbhsv::CurrentKernel().name; }

}  // extern "C"
