// Turns one image of an icon file into a PNG, for the desktop's icon theme:
// the image of the given size with the most colours, its transparency mask
// as the alpha channel.
//
// usage: ico_to_png INPUT.ico SIZE OUTPUT.png
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "png.h"
#include "resource_reader.h"

namespace {

using png::Bytes;

unsigned Get16(const Bytes &b, size_t at) { return b[at] | b[at + 1] << 8; }
unsigned long Get32(const Bytes &b, size_t at) { return Get16(b, at) | static_cast<unsigned long>(Get16(b, at + 2)) << 16; }

int Fail(const char *why)
{
    std::fprintf(stderr, "ico_to_png: %s\n", why);
    return 1;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 4) return Fail("usage: ico_to_png INPUT.ico SIZE OUTPUT.png");
    const unsigned size = static_cast<unsigned>(std::atoi(argv[2]));
    FILE *in = std::fopen(argv[1], "rb");
    if (!in) return Fail("cannot open the icon");
    Bytes ico;
    for (int c; (c = std::fgetc(in)) != EOF;) ico.push_back(static_cast<uint8_t>(c));
    std::fclose(in);
    if (ico.size() < 6 || Get16(ico, 0) != 0 || Get16(ico, 2) != 1) return Fail("not an icon file");

    // The entry of this size with the most colours (a colour count of 0 means 256 or more).
    size_t best = 0;
    unsigned best_bits = 0;
    for (unsigned i = 0; i < Get16(ico, 4); i++) {
        const size_t entry = 6 + 16 * i;
        if (entry + 16 > ico.size()) return Fail("truncated directory");
        const unsigned width = ico[entry] ? ico[entry] : 256;
        const size_t offset = Get32(ico, entry + 12);
        if (width != size || offset + 40 > ico.size()) continue;
        const unsigned bits = Get16(ico, offset + 14);
        if (bits > best_bits) best = offset, best_bits = bits;
    }
    if (!best_bits) return Fail("no image of that size");
    platform::IconImage image;
    std::string error;
    if (!platform::ReadIconImage(std::span<const uint8_t>(ico).subspan(best), &image, &error)) return Fail(error.c_str());
    Bytes rgba;
    for (uint32_t pixel : image.argb)
        rgba.insert(rgba.end(), {static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
                                 static_cast<uint8_t>(pixel), static_cast<uint8_t>(pixel >> 24)});

    if (!png::Write(argv[3], size, size, rgba)) return Fail("cannot write the PNG");
    return 0;
}
