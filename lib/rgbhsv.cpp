// The library's conversions: each pixel through the engine's own steps,
// with the working record a local of its own instead of the engine's one
// shared instance, so that pixels may be converted in any order, on any
// thread. The steps are the engine's, operation for operation (see
// engine/rgb_to_hsv.cpp and engine/hsv_to_rgb.cpp), and the test holds
// every one of the 16,777,216 inputs of each direction to the engine's
// result. Where no hue rule holds the engine keeps the last conversion's
// hue; no input reaches that (the test sees every one), so here it is 0.
#include "rgbhsv.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "engine/numeric.h"

namespace {

void PixelRgbToHsv(const uint8_t *in, uint8_t *out, int red_at, int blue_at)
{
    const unsigned char R = in[red_at], G = in[1], B = in[blue_at];
    unsigned char V = R;
    if (G > V) V = G;
    if (B > V) V = B;
    double r = 0.0, g = 0.0, b = 0.0;
    if (V != 0) {
        const double scale = (double)V;
        r = Floor((double)R * FullScale / scale);
        g = Floor((double)G * FullScale / scale);
        b = Floor((double)B * FullScale / scale);
    }
    unsigned char S = 0;
    if (r <= g && r <= b) S = FloorToByte(FullScale - r);
    if (g <= r && g <= b) S = FloorToByte(FullScale - g);
    if (b <= r && b <= g) S = FloorToByte(FullScale - b);
    if (r == 0.0 && g == 0.0 && b == 0.0) S = 0;
    if (S != 0) {
        const double s = (double)S;
        r = ((s + r) - FullScale) * FullScale / s;
        g = ((s + g) - FullScale) * FullScale / s;
        b = ((s + b) - FullScale) * FullScale / s;
    }
    const double t = Reciprocal6;
    unsigned char H = 0;
    if (r == 255.0 && b == 0.0) H = CeilToByte(g * t);
    if (g == 255.0 && b == 0.0) H = FloorToByte(Border2 - r * t);
    if (r == 0.0) {
        if (g == 255.0) H = CeilToByte(b * t + Border2);
        if (b == 255.0) H = FloorToByte(Border4 - g * t);
    }
    if (g == 0.0 && b == 255.0) H = CeilToByte(r * t + Border4);
    if (r == 255.0) {
        if (g == 0.0) H = FloorToByte(WheelTop - b * t);
        if (g == 0.0 && b == 0.0) H = 0;
        if (g == 255.0 && b == 0.0) H = FloorToByte(Border1);
    }
    if (r == 0.0) {
        if (g == 255.0 && b == 0.0) H = FloorToByte(Border2);
        if (g == 255.0 && b == 255.0) H = FloorToByte(Border3);
        if (g == 0.0 && b == 255.0) H = FloorToByte(Border4);
    }
    if (r == 255.0 && g == 0.0 && b == 255.0) H = FloorToByte(Border5);
    if (r == g && g == b) H = 0;
    out[0] = H;
    out[1] = S;
    out[2] = V;
}

void PixelHsvToRgb(const uint8_t *in, uint8_t *out, int red_at, int blue_at)
{
    const unsigned char H = in[0], S = in[1], V = in[2];
    const double h = (double)H;
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
    r = FullScale < r ? FullScale : r;
    g = FullScale < g ? FullScale : g;
    b = FullScale < b ? FullScale : b;
    const double u = (double)S * Reciprocal255;
    const double w = (double)(int)(255 - S);
    r = u * r + w;
    g = u * g + w;
    b = u * b + w;
    const double f = (double)V * Reciprocal255;
    const unsigned char R = FloorToByte(f * r), G = FloorToByte(f * g), B = FloorToByte(f * b);
    out[red_at] = R;
    out[1] = G;
    out[blue_at] = B;
}

using Pixel = void (*)(const uint8_t *, uint8_t *, int, int);

// Rows `first` to `last` of an image, pixel by pixel.
void Rows(Pixel pixel, const uint8_t *in, size_t in_stride, uint8_t *out, size_t out_stride, size_t width,
          size_t first, size_t last, rgbhsv_order order)
{
    const int red_at = order == RGBHSV_BGR ? 2 : 0, blue_at = 2 - red_at;
    for (size_t y = first; y < last; y++) {
        const uint8_t *from = in + y * in_stride;
        uint8_t *to = out + y * out_stride;
        for (size_t x = 0; x < width; x++) pixel(from + 3 * x, to + 3 * x, red_at, blue_at);
    }
}

// An image in bands of rows, one a thread.
void Image(Pixel pixel, const uint8_t *in, size_t in_stride, uint8_t *out, size_t out_stride, size_t width,
           size_t height, rgbhsv_order order, unsigned threads)
{
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    const size_t bands = std::min<size_t>(threads, std::max<size_t>(1, height * width / 65536));
    if (bands <= 1) {
        Rows(pixel, in, in_stride, out, out_stride, width, 0, height, order);
        return;
    }
    std::vector<std::thread> workers;
    for (size_t i = 1; i < bands; i++)
        workers.emplace_back(Rows, pixel, in, in_stride, out, out_stride, width, height * i / bands,
                             height * (i + 1) / bands, order);
    Rows(pixel, in, in_stride, out, out_stride, width, 0, height / bands, order);
    for (std::thread &worker : workers) worker.join();
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
