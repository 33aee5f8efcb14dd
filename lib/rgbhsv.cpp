// The library's conversions: the engine's numbers for each pixel, without
// the engine's one shared working record, so that pixels may be converted
// in any order, on any thread. Every double operation of the engine whose
// operands are bytes is done once, when the tables are made, exactly as
// the engine does it (same operations, same order, built with the engine's
// arithmetic options), and a pixel then costs integer steps and lookups:
//  - RGB to HSV. The normalised components floor(c * 255 / V) are whole
//    numbers (a quotient of whole numbers never lies within a rounding of
//    the next whole number below 256), so a table of quotients gives them.
//    Stretched, a component is (c - min) * 255 / S, rounded: it is 255.0
//    exactly when c - min is S, 0.0 when it is 0, and two are equal when
//    their c - min are; so the hue rules' tests become integer tests, and
//    each rule's hue, a function of S and c - min, comes from its table.
//  - HSV to RGB. The pure colour of each hue, the saturation's factor and
//    the value's come from tables; the last three products and sums are
//    the engine's, done per pixel.
// The test holds every one of the 16,777,216 inputs of each direction to
// the engine's result. Where no hue rule holds the engine keeps the last
// conversion's hue; no input reaches that (the test sees every one), so
// here it is 0.
#include "rgbhsv.h"

#include <algorithm>
#ifndef RGBHSV_ONE_THREAD
#include <thread>
#endif
#include <vector>

#include "engine/numeric.h"

namespace {

// The hue of each rule, by what it reads off the stretched colour.
enum Rule { kRedToYellow, kYellowToGreen, kGreenToCyan, kCyanToBlue, kBlueToMagenta, kMagentaToRed, kRules };

struct Tables {
    uint8_t quotient[256][256];        // [V][c]: floor(c * 255 / V), c <= V
    uint8_t hue[kRules][256][256];     // [rule][S][c - min]
    uint8_t yellow, green, cyan, blue, magenta;
    double pure[256][3];               // the pure colour of each hue
    double fraction[256];              // n / 255 as the engine rounds it: saturation's and value's factor
};

// Made in place: the tables are too large for a thread's stack.
void Fill(Tables &t)
{
    for (int v = 1; v < 256; v++)
        for (int c = 0; c <= v; c++) t.quotient[v][c] = (uint8_t)Floor((double)c * FullScale / (double)v);
    const double sixth = Reciprocal6;
    for (int s = 1; s < 256; s++) {
        const double sd = (double)s;
        for (int k = 0; k <= s; k++) {
            // The engine's stretch of a component c with c - min = k.
            const double shifted = (double)k;
            const double x = shifted * FullScale / sd;
            t.hue[kRedToYellow][s][k] = CeilToByte(x * sixth);
            t.hue[kYellowToGreen][s][k] = FloorToByte(Border2 - x * sixth);
            t.hue[kGreenToCyan][s][k] = CeilToByte(x * sixth + Border2);
            t.hue[kCyanToBlue][s][k] = FloorToByte(Border4 - x * sixth);
            t.hue[kBlueToMagenta][s][k] = CeilToByte(x * sixth + Border4);
            t.hue[kMagentaToRed][s][k] = FloorToByte(WheelTop - x * sixth);
        }
    }
    t.yellow = FloorToByte(Border1);
    t.green = FloorToByte(Border2);
    t.cyan = FloorToByte(Border3);
    t.blue = FloorToByte(Border4);
    t.magenta = FloorToByte(Border5);
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
        t.pure[hue][0] = FullScale < r ? FullScale : r;
        t.pure[hue][1] = FullScale < g ? FullScale : g;
        t.pure[hue][2] = FullScale < b ? FullScale : b;
    }
    for (int i = 0; i < 256; i++) {
        t.fraction[i] = (double)i * Reciprocal255;
    }
}

// Made once, on first use, whichever thread comes first.
const Tables &TheTables()
{
    static const Tables *tables = [] {
        auto *made = new Tables();
        Fill(*made);
        return made;
    }();
    return *tables;
}

void PixelRgbToHsv(const Tables &t, const uint8_t *in, uint8_t *out, int red_at, int blue_at)
{
    const int R = in[red_at], G = in[1], B = in[blue_at];
    const int V = std::max(R, std::max(G, B));
    if (V == 0) {
        out[0] = out[1] = out[2] = 0;
        return;
    }
    const int r = t.quotient[V][R], g = t.quotient[V][G], b = t.quotient[V][B];
    const int least = std::min(r, std::min(g, b)), S = 255 - least;
    int H = 0;
    if (S != 0) {
        // Each component stretched, as c - min: S is 255.0, 0 is 0.0.
        const int kr = r - least, kg = g - least, kb = b - least;
        const bool r_full = kr == S, g_full = kg == S, b_full = kb == S;
        const bool r_none = kr == 0, g_none = kg == 0, b_none = kb == 0;
        if (r_full && b_none) H = t.hue[kRedToYellow][S][kg];
        if (g_full && b_none) H = t.hue[kYellowToGreen][S][kr];
        if (r_none) {
            if (g_full) H = t.hue[kGreenToCyan][S][kb];
            if (b_full) H = t.hue[kCyanToBlue][S][kg];
        }
        if (g_none && b_full) H = t.hue[kBlueToMagenta][S][kr];
        if (r_full) {
            if (g_none) H = t.hue[kMagentaToRed][S][kb];
            if (g_none && b_none) H = 0;
            if (g_full && b_none) H = t.yellow;
        }
        if (r_none) {
            if (g_full && b_none) H = t.green;
            if (g_full && b_full) H = t.cyan;
            if (g_none && b_full) H = t.blue;
        }
        if (r_full && g_none && b_full) H = t.magenta;
        if (kr == kg && kg == kb) H = 0;
    }
    out[0] = (uint8_t)H;
    out[1] = (uint8_t)S;
    out[2] = (uint8_t)V;
}

void PixelHsvToRgb(const Tables &t, const uint8_t *in, uint8_t *out, int red_at, int blue_at)
{
    const int H = in[0], S = in[1], V = in[2];
    const double u = t.fraction[S], w = (double)(255 - S), f = t.fraction[V];
    const double *pure = t.pure[H];
    const double r = u * pure[0] + w, g = u * pure[1] + w, b = u * pure[2] + w;
    const uint8_t R = FloorToByte(f * r), G = FloorToByte(f * g), B = FloorToByte(f * b);
    out[red_at] = R;
    out[1] = G;
    out[blue_at] = B;
}

using Pixel = void (*)(const Tables &, const uint8_t *, uint8_t *, int, int);

// Rows `first` to `last` of an image, pixel by pixel.
void Rows(Pixel pixel, const uint8_t *in, size_t in_stride, uint8_t *out, size_t out_stride, size_t width,
          size_t first, size_t last, rgbhsv_order order)
{
    const int red_at = order == RGBHSV_BGR ? 2 : 0, blue_at = 2 - red_at;
    const Tables &tables = TheTables();
    for (size_t y = first; y < last; y++) {
        const uint8_t *from = in + y * in_stride;
        uint8_t *to = out + y * out_stride;
        for (size_t x = 0; x < width; x++) pixel(tables, from + 3 * x, to + 3 * x, red_at, blue_at);
    }
}

// An image in bands of rows, one a thread.
void Image(Pixel pixel, const uint8_t *in, size_t in_stride, uint8_t *out, size_t out_stride, size_t width,
           size_t height, rgbhsv_order order, unsigned threads)
{
    TheTables();
#ifdef RGBHSV_ONE_THREAD
    // A build without threads (the Windows and WebAssembly ones, for now).
    threads = 1;
#else
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
#endif
    const size_t bands = std::min<size_t>(threads, std::max<size_t>(1, height * width / 65536));
    if (bands <= 1) {
        Rows(pixel, in, in_stride, out, out_stride, width, 0, height, order);
        return;
    }
#ifndef RGBHSV_ONE_THREAD
    std::vector<std::thread> workers;
    for (size_t i = 1; i < bands; i++)
        workers.emplace_back(Rows, pixel, in, in_stride, out, out_stride, width, height * i / bands,
                             height * (i + 1) / bands, order);
    Rows(pixel, in, in_stride, out, out_stride, width, 0, height / bands, order);
    for (std::thread &worker : workers) worker.join();
#endif
}

}  // namespace

extern "C" {

void rgbhsv_rgb_to_hsv(const uint8_t *rgb, uint8_t *hsv, size_t pixels)
{
    Rows(PixelRgbToHsv, rgb, 0, hsv, 0, pixels, 0, pixels ? 1 : 0, RGBHSV_RGB);
}

void rgbhsv_hsv_to_rgb(const uint8_t *hsv, uint8_t *rgb, size_t pixels)
{
    Rows(PixelHsvToRgb, hsv, 0, rgb, 0, pixels, 0, pixels ? 1 : 0, RGBHSV_RGB);
}

void rgbhsv_rgb_to_hsv_image(const uint8_t *rgb, size_t rgb_stride, uint8_t *hsv, size_t hsv_stride, size_t width,
                             size_t height, rgbhsv_order order, unsigned threads)
{
    Image(PixelRgbToHsv, rgb, rgb_stride, hsv, hsv_stride, width, height, order, threads);
}

void rgbhsv_hsv_to_rgb_image(const uint8_t *hsv, size_t hsv_stride, uint8_t *rgb, size_t rgb_stride, size_t width,
                             size_t height, rgbhsv_order order, unsigned threads)
{
    Image(PixelHsvToRgb, hsv, hsv_stride, rgb, rgb_stride, width, height, order, threads);
}

}  // extern "C"
