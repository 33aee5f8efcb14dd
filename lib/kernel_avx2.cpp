// The AVX2 kernel: eight pixels a step.
#include <immintrin.h>

#include "engine/numeric.h"
#include "tables.h"

namespace rgbhsv {
namespace {

const size_t kWidth = 8;
typedef int32_t VI __attribute__((vector_size(32)));

inline VI LoadPixels(const uint8_t *p)
{
    const __m256i bytes = _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128((const __m128i *)p)),
                                                  _mm_loadl_epi64((const __m128i *)(p + 16)), 1);
    // Bytes 0-11 to the low half, 12-23 to the high.
    const __m256i halves = _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 1, 2, 3, 3, 4, 5, 5));
    // Within each half, the bytes of four pixels to a lane each.
    return (VI)_mm256_shuffle_epi8(halves, _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1,
                                                            0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1));
}

inline void StorePixels(uint8_t *p, VI pixels)
{
    const __m256i packed = _mm256_shuffle_epi8(
        (__m256i)pixels, _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1,
                                          0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1));
    const __m256i joined = _mm256_permutevar8x32_epi32(packed, _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 7, 7));
    _mm_storeu_si128((__m128i *)p, _mm256_castsi256_si128(joined));
    _mm_storel_epi64((__m128i *)(p + 16), _mm256_extracti128_si256(joined, 1));
}

typedef __m256i Table16;
inline Table16 LoadTable16(const uint8_t *table)
{
    return _mm256_broadcastsi128_si256(_mm_loadu_si128((const __m128i *)table));
}

inline VI Lookup16(Table16 table, VI index)
{
    // The top three bytes of each lane look up nothing, so read as 0.
    return (VI)_mm256_shuffle_epi8(table, (__m256i)(index | (int32_t)0x80808000));
}

inline VI GatherHalves(const uint16_t *base, VI index)
{
    return (VI)_mm256_i32gather_epi32((const int *)base, (__m256i)index, 2) & 0xFFFF;
}

inline VI GatherWords(const uint32_t *base, VI index)
{
    return (VI)_mm256_i32gather_epi32((const int *)base, (__m256i)index, 4);
}

#include "kernel_body.h"

}  // namespace

const KernelSet kAvx2 = {"avx2", RgbToHsv, HsvToRgb};

}  // namespace rgbhsv
