// The vector kernels' steps, the portable code's on kWidth pixels at once.
// Each kernel_*.cpp includes this inside a namespace of its own, compiled
// for its instruction set, after defining:
//   kWidth, and VI, a vector of kWidth int32_t lanes;
//   VI LoadPixels(const uint8_t *)   kWidth packed pixels, each a lane
//                                     holding c0 | c1 << 8 | c2 << 16;
//   void StorePixels(uint8_t *, VI)  the reverse, writing 3 * kWidth bytes;
//   Table16 LoadTable16(const uint8_t *table)        a table of 16 bytes,
//   VI Lookup16(Table16, VI index)                   and its entry for each lane;
//   VI GatherHalves(const uint16_t *base, VI index)  likewise;
//   VI GatherWords(const uint32_t *base, VI index)
// Loads and stores touch exactly a block's bytes, and a block is loaded
// before it is stored, so a conversion may be in place.

typedef float VF __attribute__((vector_size(sizeof(VI))));
typedef double VD __attribute__((vector_size(2 * sizeof(VI))));

inline VI Max(VI a, VI b) { return a > b ? a : b; }
inline VI Min(VI a, VI b) { return a < b ? a : b; }

// One division for both of a pixel's quotients floor(n * 255 / V): 1/V
// rounded (within 2^-24 of it), times 255 raised by 2^-20 (the constant
// rounds up, and the product within 2^-24) lies between 255/V and 2^-19.6
// above it, so n times it (n is exact in a float, and the product's
// rounding cannot take back 2^-20.3) is at least the quotient and at most
// 255 * 2^-19.5 (under 0.0004) above it, where a quotient that is not whole
// lies at least 1/V (1/255 or more) below the next whole number.
// Truncation then gives the floor, as the quotient table has it.
inline VF PerValue(VI v) { return 1.0f / __builtin_convertvector(v, VF) * (255.0f * (1.0f + 0x1p-20f)); }

inline VI Quotient(VI n, VF per_value)
{
    return __builtin_convertvector(__builtin_convertvector(n, VF) * per_value, VI);
}

// The hue as the engine's rule for the components' order gives it, worked
// out in single precision: the rules' doubles round so as to land exactly
// where the rational ceil((255k + aS) / 6S) (rising) or floor((aS - 255k) /
// 6S) (falling) lands, on every input (the test sees each); every operand
// below is a whole number under 2^24, so exact in a float, and the
// quotient lies at least 1/6S from the next whole number where it is not
// one, so its truncation is that floor.
template <bool kBgr>
size_t RgbToHsvBlocks(const Tables &t, const uint8_t *in, uint8_t *out, size_t pixels)
{
    const size_t blocks = pixels / kWidth;
    const Table16 rules = LoadTable16(t.rule), ties = LoadTable16(t.tie);
    for (size_t i = 0; i < blocks; i++) {
        const VI p = LoadPixels(in + 3 * kWidth * i);
        const VI first = p & 0xFF, g = p >> 8 & 0xFF, last = p >> 16;
        const VI r = kBgr ? last : first, b = kBgr ? first : last;
        const VI upper = Max(r, g), lower = Min(r, g);
        const VI v = Max(upper, b), lo = Min(lower, b), mid = Max(lower, Min(upper, b));
        // Black divides by 1 instead of 0, and its saturation is 0.
        const VI black = v == 0;
        const VF per_value = PerValue(v - black);
        const VI least = Quotient(lo, per_value), s = (255 - least) & ~black;
        const VI k = Quotient(mid, per_value) - least;
        const VI order = ((r >= g) & 1) | ((g >= b) & 2) | ((r >= b) & 4);
        // A grey divides by 6 instead of 0; its hue is 0 whatever comes out.
        const VI rule = Lookup16(rules, order), grey = s == 0;
        const VF sd = __builtin_convertvector(s - grey, VF), sixth = sd * 6.0f;
        const VF border = __builtin_convertvector(rule & 3, VF) * sd * 512.0f;
        const VF stretched = __builtin_convertvector(k, VF) * 255.0f;
        const VF dividend = (rule & 4) != 0 ? stretched + border + (sixth - 1.0f) : border - stretched;
        const VI tied = (k == 0) | (k == s);
        VI h = __builtin_convertvector(dividend / sixth, VI);
        // Between the ties the hue is under 256 (a falling rule reaches 256
        // only where the middle component ties with the smallest).
        h = tied ? Lookup16(ties, order | ((k == s) & 8)) : h;
        StorePixels(out + 3 * kWidth * i, (h & ~grey) | s << 8 | v << 16);
    }
    return blocks * kWidth;
}

// Two results from the table of ends; the third by the engine's last steps
// on doubles, each rounded on its own (the kernels are built without
// contraction into fused multiply-adds); then each put in its place.
template <bool kBgr>
size_t HsvToRgbBlocks(const Tables &t, const uint8_t *in, uint8_t *out, size_t pixels)
{
    const size_t blocks = pixels / kWidth;
    for (size_t i = 0; i < blocks; i++) {
        const VI p = LoadPixels(in + 3 * kWidth * i);
        const VI s = p >> 8 & 0xFF, v = p >> 16;
        const VI roles = GatherWords(t.roles[kBgr], p & 0xFF);
        const VI ends = GatherHalves(&t.ends[0][0], s << 8 | v);
        // 255 - S is exact in doubles too.
        const VD sd = __builtin_convertvector(s, VD), u = sd * Reciprocal255, w = 255.0 - sd;
        const VD f = __builtin_convertvector(v, VD) * Reciprocal255;
        const VI third = __builtin_convertvector(f * (u * __builtin_convertvector(roles & 0xFF, VD) + w), VI) & 0xFF;
        StorePixels(out + 3 * kWidth * i,
                    (ends >> 8) << (roles >> 8 & 0xFF) | (ends & 0xFF) << (roles >> 16 & 0xFF) | third << (roles >> 24 & 0xFF));
    }
    return blocks * kWidth;
}

[[maybe_unused]] size_t RgbToHsv(const Tables &t, const uint8_t *in, uint8_t *out, size_t pixels, bool bgr)
{
    return bgr ? RgbToHsvBlocks<true>(t, in, out, pixels) : RgbToHsvBlocks<false>(t, in, out, pixels);
}

[[maybe_unused]] size_t HsvToRgb(const Tables &t, const uint8_t *in, uint8_t *out, size_t pixels, bool bgr)
{
    return bgr ? HsvToRgbBlocks<true>(t, in, out, pixels) : HsvToRgbBlocks<false>(t, in, out, pixels);
}
