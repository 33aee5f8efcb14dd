// The AVX-512 kernel (F and BW): sixteen pixels a step.
#include <immintrin.h>

#include "engine/numeric.h"
#include "tables.h"

namespace rgbhsv {
namespace {

const size_t kWidth = 16;
typedef int32_t VI __attribute__((vector_size(64)));

// Byte orders for each 16-byte quarter, as four little-endian lanes.
inline __m512i Quarters(int a, int b, int c, int d) { return _mm512_set4_epi32(d, c, b, a); }

inline VI LoadPixels(const uint8_t *p)
{
    const __m512i bytes = _mm512_inserti32x4(_mm512_castsi256_si512(_mm256_loadu_si256((const __m256i *)p)),
                                             _mm_loadu_si128((const __m128i *)(p + 32)), 2);
    // Twelve bytes to each quarter, then four pixels to a lane each.
    const __m512i quarters =
        _mm512_permutexvar_epi32(_mm512_setr_epi32(0, 1, 2, 2, 3, 4, 5, 5, 6, 7, 8, 8, 9, 10, 11, 11), bytes);
    return (VI)_mm512_shuffle_epi8(quarters, Quarters((int)0x80020100, (int)0x80050403, (int)0x80080706, (int)0x800B0A09));
}

inline void StorePixels(uint8_t *p, VI pixels)
{
    const __m512i packed =
        _mm512_shuffle_epi8((__m512i)pixels, Quarters(0x04020100, 0x09080605, 0x0E0D0C0A, (int)0x80808080));
    const __m512i joined =
        _mm512_permutexvar_epi32(_mm512_setr_epi32(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 15, 15, 15, 15), packed);
    _mm256_storeu_si256((__m256i *)p, _mm512_castsi512_si256(joined));
    _mm_storeu_si128((__m128i *)(p + 32), _mm512_extracti32x4_epi32(joined, 2));
}

typedef __m512i Table16;
inline Table16 LoadTable16(const uint8_t *table) { return _mm512_broadcast_i32x4(_mm_loadu_si128((const __m128i *)table)); }

inline VI Lookup16(Table16 table, VI index)
{
    // The top three bytes of each lane look up nothing, so read as 0.
    return (VI)_mm512_shuffle_epi8(table, (__m512i)(index | (int32_t)0x80808000));
}

inline VI GatherHalves(const uint16_t *base, VI index)
{
    return (VI)_mm512_i32gather_epi32((__m512i)index, base, 2) & 0xFFFF;
}

inline VI GatherWords(const uint32_t *base, VI index)
{
    return (VI)_mm512_i32gather_epi32((__m512i)index, base, 4);
}

#include "kernel_body.h"

}  // namespace

const KernelSet kAvx512 = {"avx512", RgbToHsv, HsvToRgb};

}  // namespace rgbhsv
