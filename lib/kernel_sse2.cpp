// The SSE2 kernel, for every x86-64 processor: four pixels a step. SSE2
// has no byte shuffle and no gather, so pixels are spread by shifts and
// the tables read one lane at a time. From HSV it has no kernel: with two
// doubles to a register and no shift by a lane's own count, the portable
// code (SSE2's scalar doubles) measured faster.
#include <emmintrin.h>

#include <string.h>

#include "engine/numeric.h"
#include "tables.h"

namespace rgbhsv {
namespace {

const size_t kWidth = 4;
typedef int32_t VI __attribute__((vector_size(16)));

inline VI LoadPixels(const uint8_t *p)
{
    int32_t tail;
    memcpy(&tail, p + 8, 4);
    const __m128i bytes = _mm_unpacklo_epi64(_mm_loadl_epi64((const __m128i *)p), _mm_cvtsi32_si128(tail));
    // Pixel n starts at byte 3n: each to the bottom, then the bottoms joined.
    const __m128i one = _mm_srli_si128(bytes, 3), two = _mm_srli_si128(bytes, 6), three = _mm_srli_si128(bytes, 9);
    const __m128i joined = _mm_unpacklo_epi64(_mm_unpacklo_epi32(bytes, one), _mm_unpacklo_epi32(two, three));
    return (VI)_mm_and_si128(joined, _mm_set1_epi32(0xFFFFFF));
}

inline void StorePixels(uint8_t *p, VI pixels)
{
    const __m128i v = (__m128i)pixels, low = _mm_setr_epi32(-1, 0, 0, 0);
    const __m128i packed = _mm_or_si128(
        _mm_or_si128(_mm_and_si128(v, low), _mm_slli_si128(_mm_and_si128(_mm_srli_si128(v, 4), low), 3)),
        _mm_or_si128(_mm_slli_si128(_mm_and_si128(_mm_srli_si128(v, 8), low), 6), _mm_slli_si128(_mm_srli_si128(v, 12), 9)));
    _mm_storel_epi64((__m128i *)p, packed);
    const int32_t tail = _mm_cvtsi128_si32(_mm_srli_si128(packed, 8));
    memcpy(p + 8, &tail, 4);
}

typedef const uint8_t *Table16;
inline Table16 LoadTable16(const uint8_t *table) { return table; }

inline VI Lookup16(Table16 table, VI index)
{
    return VI{table[index[0]], table[index[1]], table[index[2]], table[index[3]]};
}

inline VI GatherHalves(const uint16_t *base, VI index)
{
    return VI{base[index[0]], base[index[1]], base[index[2]], base[index[3]]};
}

inline VI GatherWords(const uint32_t *base, VI index)
{
    return VI{(int32_t)base[index[0]], (int32_t)base[index[1]], (int32_t)base[index[2]], (int32_t)base[index[3]]};
}

#include "kernel_body.h"

}  // namespace

const KernelSet kSse2 = {"sse2", RgbToHsv, nullptr};

}  // namespace rgbhsv
