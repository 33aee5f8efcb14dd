/*
 * librgbhsv: the rgbhsv converter's exact RGB <-> HSV engine, for every
 * pixel of an image at once.
 *
 * The numbers are the converter's: bytes on 0..255, hue on a wheel of 256
 * steps (0 red, 43 yellow, 85 green, 128 cyan, 171 blue, 213 magenta), each
 * result fixed to the last bit of IEEE double arithmetic, so the same on
 * every processor and in every thread. They are not OpenCV's byte HSV
 * (COLOR_RGB2HSV_FULL): OpenCV rounds where this engine truncates or takes
 * the ceiling, so the two differ on most colours, and OpenCV's own results
 * may vary between processors, where these never do.
 *
 * Buffers hold packed byte triples. A conversion may be done in place (the
 * same buffer in and out), but the two may not otherwise overlap. There is
 * no state: any thread, any order, the same results.
 */
#ifndef RGBHSV_H
#define RGBHSV_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(RGBHSV_STATIC)
#define RGBHSV_API
#elif defined(_WIN32) && defined(RGBHSV_BUILDING)
#define RGBHSV_API __declspec(dllexport)
#elif defined(_WIN32)
#define RGBHSV_API __declspec(dllimport)
#elif defined(__GNUC__)
#define RGBHSV_API __attribute__((visibility("default")))
#else
#define RGBHSV_API
#endif

/* `pixels` pixels of red, green, blue bytes to hue, saturation, value, and
 * back. */
RGBHSV_API void rgbhsv_rgb_to_hsv(const uint8_t *rgb, uint8_t *hsv, size_t pixels);
RGBHSV_API void rgbhsv_hsv_to_rgb(const uint8_t *hsv, uint8_t *rgb, size_t pixels);

/* The order of an image's colour bytes: red first, or blue first (as
 * OpenCV's images are). HSV is always hue, saturation, value. */
typedef enum { RGBHSV_RGB = 0, RGBHSV_BGR = 1 } rgbhsv_order;

/* An image of `width` x `height` pixels, each row `stride` bytes from the
 * last (at least width * 3), converted on `threads` threads (0: one for
 * each processor). */
RGBHSV_API void rgbhsv_rgb_to_hsv_image(const uint8_t *rgb, size_t rgb_stride, uint8_t *hsv, size_t hsv_stride,
                                        size_t width, size_t height, rgbhsv_order order, unsigned threads);
RGBHSV_API void rgbhsv_hsv_to_rgb_image(const uint8_t *hsv, size_t hsv_stride, uint8_t *rgb, size_t rgb_stride,
                                        size_t width, size_t height, rgbhsv_order order, unsigned threads);

/* The name of the code that converts on this processor: "avx512",
 * "avx2" or "sse2" on x86-64, else "portable". Every one gives the same
 * numbers; the environment variable RGBHSV_KERNEL may name a lesser one
 * that the processor has, to compare them. */
RGBHSV_API const char *rgbhsv_kernel(void);

#ifdef __cplusplus
}
#endif

#endif
