// The library's tables and its kernels, private to the library. Every
// double operation of the engine whose operands are bytes is done once,
// into these tables, when the first conversion asks for them; a kernel
// then converts a pixel with integer steps, lookups and, from HSV, the
// engine's last three double operations.
#ifndef RGBHSV_LIB_TABLES_H
#define RGBHSV_LIB_TABLES_H

#include <stddef.h>
#include <stdint.h>

namespace rgbhsv {

// The hue of a colour, read from `hue` at Order(R, G, B), saturation,
// and the middle component's distance from the smallest once the colour is
// normalised. The three comparisons name the order of the components
// (ties broken as they fall); two of the eight codes never occur.
static inline int Order(int r, int g, int b) { return (r >= g) | (g >= b) << 1 | (r >= b) << 2; }
const int kOrders = 8;

struct Tables {
    uint8_t quotient[256][256];         // [V][c]: floor(c * 255 / V), c <= V
    uint8_t hue[kOrders][256][256];     // [order][S][middle - smallest]
    // For the vector kernels, which work the hue out instead: by order,
    // the rule of the engine's that holds where the middle component lies
    // strictly between the others (bit 2 set where the hue rises with it,
    // bits 0-1 its border in sixths of 512), and the hue where it ties
    // with the smallest ([order]) or the largest ([order + 8]).
    uint8_t rule[16];
    uint8_t tie[16];
    // HSV to RGB. The pure colour of every hue has one component 255 and
    // another 0, so two of the three results depend on S and V alone:
    // ends[S][V] holds the one from 0, then the one from 255. roles[bgr][H]
    // holds the third component of the pure colour, then the shifts that
    // put the result from 255, from 0, and from the third in their places.
    uint16_t ends[256][256];
    uint8_t slack[4];                   // a gather reads four bytes from the last entry
    uint32_t roles[2][256];
    uint32_t pure[256];                 // the pure colour of each hue: red | green << 8 | blue << 16
    double fraction[256];               // n / 255 as the engine rounds it: saturation's and value's factor
};

// Made once, on first use, whichever thread comes first.
const Tables &TheTables();

// A kernel converts as many whole blocks of its width as `pixels` holds,
// red first or blue first (bgr), and returns how many pixels it did; the
// portable code does the rest.
using Kernel = size_t (*)(const Tables &, const uint8_t *in, uint8_t *out, size_t pixels, bool bgr);

struct KernelSet {
    const char *name;
    Kernel rgb_to_hsv, hsv_to_rgb;
};

#if defined(RGBHSV_X86_KERNELS)
extern const KernelSet kSse2, kAvx2, kAvx512;
#endif

// The kernels this processor can run, best first, ending with the
// portable code (whose functions are null); and the one conversions use,
// which a test may change.
size_t KernelsHere(const KernelSet **sets, size_t room);
const KernelSet &CurrentKernel();
void UseKernel(const KernelSet &set);

}  // namespace rgbhsv

#endif
