// librgbhsv against the engine, with each kernel this processor has:
// every input of both directions, buffers of every short length at odd
// offsets with their neighbours untouched, in place, images with strides
// and blue first, and threads.
#include "rgbhsv.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>
#include <vector>

#include "engine/conversion.h"
#include "lib/tables.h"

namespace {

// Each kernel the processor can run, made the one in use in turn.
std::vector<const rgbhsv::KernelSet *> Kernels()
{
    const rgbhsv::KernelSet *sets[8];
    const size_t n = rgbhsv::KernelsHere(sets, 8);
    return std::vector<const rgbhsv::KernelSet *>(sets, sets + n);
}

TEST(Library, TheProcessorsKernelsAreAllChecked)
{
    std::string names;
    for (const rgbhsv::KernelSet *set : Kernels()) names += std::string(" ") + set->name;
    std::printf("kernels checked on this processor:%s\n", names.c_str());
    EXPECT_STREQ(rgbhsv_kernel(), Kernels().front()->name);
#if defined(__x86_64__) && !defined(_WIN32)
    EXPECT_GE(Kernels().size(), __builtin_cpu_supports("avx2") ? 3u : 2u);
#endif
}

// Every triple, in order: 16,777,216 pixels.
std::vector<uint8_t> EveryTriple()
{
    std::vector<uint8_t> all(3u << 24);
    for (uint32_t i = 0; i < (1u << 24); i++) {
        all[3 * i] = static_cast<uint8_t>(i >> 16);
        all[3 * i + 1] = static_cast<uint8_t>(i >> 8);
        all[3 * i + 2] = static_cast<uint8_t>(i);
    }
    return all;
}

TEST(Library, EveryInputOfBothDirectionsIsTheEnginesResult)
{
    const std::vector<uint8_t> all = EveryTriple();
    std::vector<uint8_t> engine_hsv(all.size()), engine_rgb(all.size());
    for (uint32_t i = 0; i < (1u << 24); i++) {
        int a, b, c;
        RgbToHsv(all[3 * i], all[3 * i + 1], all[3 * i + 2], &a, &b, &c);
        engine_hsv[3 * i] = a, engine_hsv[3 * i + 1] = b, engine_hsv[3 * i + 2] = c;
        HsvToRgb(all[3 * i], all[3 * i + 1], all[3 * i + 2], &a, &b, &c);
        engine_rgb[3 * i] = a, engine_rgb[3 * i + 1] = b, engine_rgb[3 * i + 2] = c;
    }
    std::vector<uint8_t> hsv(all.size()), rgb(all.size());
    for (const rgbhsv::KernelSet *set : Kernels()) {
        rgbhsv::UseKernel(*set);
        rgbhsv_rgb_to_hsv(all.data(), hsv.data(), 1u << 24);
        rgbhsv_hsv_to_rgb(all.data(), rgb.data(), 1u << 24);
        size_t wrong_hsv = 0, wrong_rgb = 0;
        for (size_t i = 0; i < all.size(); i += 3) {
            wrong_hsv += hsv[i] != engine_hsv[i] || hsv[i + 1] != engine_hsv[i + 1] || hsv[i + 2] != engine_hsv[i + 2];
            wrong_rgb += rgb[i] != engine_rgb[i] || rgb[i + 1] != engine_rgb[i + 1] || rgb[i + 2] != engine_rgb[i + 2];
        }
        EXPECT_EQ(wrong_hsv, 0u) << set->name;
        EXPECT_EQ(wrong_rgb, 0u) << set->name;
    }
    rgbhsv::UseKernel(*Kernels().front());
}

// Lengths 0 to 70 at odd offsets, apart and in place: every result the
// one-pixel call's, and no byte outside the output written.
TEST(Library, EveryShortLengthAtOddOffsetsApartAndInPlace)
{
    using Convert = void (*)(const uint8_t *, uint8_t *, size_t);
    for (const rgbhsv::KernelSet *set : Kernels()) {
    SCOPED_TRACE(set->name);
    rgbhsv::UseKernel(*set);
    for (Convert convert : {rgbhsv_rgb_to_hsv, rgbhsv_hsv_to_rgb}) {
        for (size_t length = 0; length <= 70; length++) {
            std::vector<uint8_t> in(3 * length + 9), out(3 * length + 9, 0xA5), same;
            for (size_t i = 0; i < in.size(); i++) in[i] = static_cast<uint8_t>(i * 97 + length * 31);
            convert(in.data() + 3, out.data() + 5, length);
            same = in;
            convert(same.data() + 3, same.data() + 3, length);
            for (size_t p = 0; p < length; p++) {
                uint8_t one[3];
                convert(in.data() + 3 + 3 * p, one, 1);
                for (int k = 0; k < 3; k++) {
                    ASSERT_EQ(out[5 + 3 * p + k], one[k]) << length << " " << p;
                    ASSERT_EQ(same[3 + 3 * p + k], one[k]) << length << " in place";
                }
            }
            for (size_t i = 0; i < out.size(); i++) {
                if (i < 5 || i >= 5 + 3 * length) {
                    ASSERT_EQ(out[i], 0xA5) << "byte " << i << " of " << length;
                }
            }
            for (size_t i = 0; i < 3; i++) ASSERT_EQ(same[i], in[i]);
        }
    }
    }
    rgbhsv::UseKernel(*Kernels().front());
}

// Images with padded rows, in either byte order, on one thread or several,
// and from two threads at once: the packed call's pixels, the padding kept.
TEST(Library, ImagesWithStridesOrdersAndThreads)
{
    const size_t width = 601, height = 257, stride = 3 * width + 7;
    std::vector<uint8_t> image(stride * height);
    for (size_t i = 0; i < image.size(); i++) image[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
    for (const rgbhsv::KernelSet *set : Kernels()) {
    SCOPED_TRACE(set->name);
    rgbhsv::UseKernel(*set);
    for (const bool to_hsv : {true, false}) {
        for (const rgbhsv_order order : {RGBHSV_RGB, RGBHSV_BGR}) {
            const auto convert = [&](std::vector<uint8_t> *out, unsigned threads) {
                out->assign(image.size(), 0x5A);
                (to_hsv ? rgbhsv_rgb_to_hsv_image : rgbhsv_hsv_to_rgb_image)(image.data(), stride, out->data(), stride,
                                                                              width, height, order, threads);
            };
            std::vector<uint8_t> one, many, again;
            convert(&one, 1);
            std::thread other([&] { convert(&again, 3); });
            convert(&many, 0);
            other.join();
            EXPECT_EQ(one, many);
            EXPECT_EQ(one, again);
            for (size_t y = 0; y < height; y += 64)
                for (size_t x = 0; x < width; x += 50) {
                    const uint8_t *in = &image[y * stride + 3 * x];
                    uint8_t triple[3] = {in[0], in[1], in[2]}, out[3];
                    if (order == RGBHSV_BGR && to_hsv) std::swap(triple[0], triple[2]);
                    (to_hsv ? rgbhsv_rgb_to_hsv : rgbhsv_hsv_to_rgb)(triple, out, 1);
                    if (order == RGBHSV_BGR && !to_hsv) std::swap(out[0], out[2]);
                    for (int k = 0; k < 3; k++) ASSERT_EQ(one[y * stride + 3 * x + k], out[k]) << x << "," << y;
                }
            for (size_t y = 0; y < height; y++)
                for (size_t i = 3 * width; i < stride; i++) ASSERT_EQ(one[y * stride + i], 0x5A);
        }
    }
    }
    rgbhsv::UseKernel(*Kernels().front());
}

}  // namespace
