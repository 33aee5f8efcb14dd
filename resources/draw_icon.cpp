// Draws the application icon, resources/app.ico: a hue wheel with a
// two-headed arrow across it, "colour conversion" in a glyph. Four images,
// 16 x 16 and 32 x 32, each at 16 and at 256 colours, in that order.
//
// usage: draw_icon OUTPUT.ico
//        draw_icon --png SIZE OUTPUT.png [--maskable]
// The build uses the committed app.ico; this program makes it again. With
// --png it draws the same icon at any size, in full colour with soft edges,
// for the page's app icons; --maskable puts it inside the safe circle of an
// opaque square, as launchers that cut icons to their own shape want it.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "png.h"

namespace {

struct Rgb {
    double r, g, b;
};

// Hue wheel colour at angle `turns` (0..1, red at 0, counter-clockwise
// through yellow, green, cyan, blue, magenta) and saturation 0..1.
Rgb WheelColour(double turns, double saturation)
{
    const double h = turns * 6.0;
    const int sector = static_cast<int>(h) % 6;
    const double f = h - std::floor(h);
    double r = 0, g = 0, b = 0;
    switch (sector) {
    case 0: r = 1; g = f; break;
    case 1: r = 1 - f; g = 1; break;
    case 2: g = 1; b = f; break;
    case 3: g = 1 - f; b = 1; break;
    case 4: r = f; b = 1; break;
    default: r = 1; b = 1 - f; break;
    }
    auto mix = [&](double c) { return 255.0 * (1.0 - saturation * (1.0 - c)); };
    return {mix(r), mix(g), mix(b)};
}

struct Geometry {
    double radius;       // of the whole disc, outline included
    double outline;      // width of the dark rim
    double hub;          // radius of the white centre
    double shaft;        // half thickness of the arrow's shaft
    double head_length;  // of each arrow head
    double head_half;    // half height of each arrow head at its base
    double reach;        // from the centre to each arrow tip
};

// What one sample point shows: a colour, or nothing (outside the disc).
bool Sample(double x, double y, const Geometry &g, Rgb *out)
{
    const double d = std::sqrt(x * x + y * y);
    if (d > g.radius) return false;
    const double ax = std::fabs(x), ay = std::fabs(y);
    const double head_base = g.reach - g.head_length;
    const bool in_shaft = ax <= head_base && ay <= g.shaft;
    const bool in_head = ax > head_base && ax <= g.reach &&
                         ay <= g.head_half * (g.reach - ax) / g.head_length;
    if (in_shaft || in_head || d > g.radius - g.outline) {
        *out = {0, 0, 0};
    } else if (d <= g.hub) {
        *out = {255, 255, 255};
    } else {
        double turns = std::atan2(-y, x) / (2.0 * M_PI);
        if (turns < 0) turns += 1.0;
        const double saturation = (d - g.hub) / (g.radius - g.outline - g.hub);
        *out = WheelColour(turns, saturation < 0.35 ? 0.35 + saturation : 1.0);
    }
    return true;
}

// One pixel of an image `size` wide: the average colour of its samples x
// samples points that fall on the drawing (or on `ground`, where one is
// given), and how many of them do.
struct PixelSample {
    Rgb colour;
    int covered;
};

PixelSample SamplePixel(int x, int y, int size, const Geometry &geometry, int samples, const Rgb *ground)
{
    Rgb sum{0, 0, 0};
    int covered = 0;
    for (int sy = 0; sy < samples; sy++)
        for (int sx = 0; sx < samples; sx++) {
            const double px = x + (sx + 0.5) / samples - size / 2.0;
            const double py = y + (sy + 0.5) / samples - size / 2.0;
            Rgb c;
            if (!Sample(px, py, geometry, &c)) {
                if (!ground) continue;
                c = *ground;
            }
            sum.r += c.r;
            sum.g += c.g;
            sum.b += c.b;
            covered++;
        }
    if (!covered) return {{0, 0, 0}, 0};
    return {{sum.r / covered, sum.g / covered, sum.b / covered}, covered};
}

// The classic 16-colour palette, then (for 256 colours) the 6 x 6 x 6 cube
// and a ramp of greys.
std::vector<Rgb> Palette(int colours)
{
    std::vector<Rgb> p = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                          {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                          {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                          {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    if (colours == 16) return p;
    for (int r = 0; r < 6; r++)
        for (int g = 0; g < 6; g++)
            for (int b = 0; b < 6; b++) p.push_back({51.0 * r, 51.0 * g, 51.0 * b});
    for (int i = 0; p.size() < 256; i++) p.push_back({8.0 + 10.0 * i, 8.0 + 10.0 * i, 8.0 + 10.0 * i});
    return p;
}

int Nearest(const std::vector<Rgb> &palette, Rgb c)
{
    int best = 0;
    double best_d = 1e30;
    for (size_t i = 0; i < palette.size(); i++) {
        const double dr = palette[i].r - c.r, dg = palette[i].g - c.g, db = palette[i].b - c.b;
        const double d = dr * dr + dg * dg + db * db;
        if (d < best_d) {
            best_d = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

void Put16(std::vector<uint8_t> &v, unsigned x)
{
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}

void Put32(std::vector<uint8_t> &v, unsigned x)
{
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

// One image as the icon file stores it: a BITMAPINFOHEADER with doubled
// height, the palette, the colour rows and the transparency mask, each
// bottom-up with rows padded to 32 bits.
std::vector<uint8_t> DrawImage(int size, int colours, const Geometry &geometry)
{
    const std::vector<Rgb> palette = Palette(colours);
    const int bits = colours == 16 ? 4 : 8;
    const int colour_stride = (size * bits + 31) / 32 * 4;
    const int mask_stride = (size + 31) / 32 * 4;
    std::vector<uint8_t> colour_rows(static_cast<size_t>(colour_stride * size));
    std::vector<uint8_t> mask_rows(static_cast<size_t>(mask_stride * size));

    const int kSamples = 4;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            const PixelSample pixel = SamplePixel(x, y, size, geometry, kSamples, nullptr);
            const int row = size - 1 - y;  // stored bottom-up
            if (pixel.covered * 2 < kSamples * kSamples) {
                mask_rows[static_cast<size_t>(row * mask_stride + x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
                continue;
            }
            const int index = Nearest(palette, pixel.colour);
            uint8_t &cell = colour_rows[static_cast<size_t>(row * colour_stride + x * bits / 8)];
            cell |= bits == 8 ? static_cast<uint8_t>(index)
                              : static_cast<uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
    }

    std::vector<uint8_t> image;
    Put32(image, 40);
    Put32(image, static_cast<unsigned>(size));
    Put32(image, static_cast<unsigned>(size * 2));
    Put16(image, 1);
    Put16(image, static_cast<unsigned>(bits));
    Put32(image, 0);
    Put32(image, static_cast<unsigned>(colour_rows.size() + mask_rows.size()));
    Put32(image, 0);
    Put32(image, 0);
    Put32(image, 0);
    Put32(image, 0);
    for (const Rgb &c : palette) {
        image.push_back(static_cast<uint8_t>(c.b));
        image.push_back(static_cast<uint8_t>(c.g));
        image.push_back(static_cast<uint8_t>(c.r));
        image.push_back(0);
    }
    image.insert(image.end(), colour_rows.begin(), colour_rows.end());
    image.insert(image.end(), mask_rows.begin(), mask_rows.end());
    return image;
}

// The icon at `size` pixels in full colour: the 32-pixel geometry scaled,
// each pixel the average of 8 x 8 samples, its alpha their coverage. A
// maskable icon fills the square with the page's teal and keeps the drawing
// within the middle 80%, the circle no launcher's mask cuts into.
png::Bytes DrawFull(int size, bool maskable)
{
    const double disc = maskable ? size * 0.8 : size;
    const double k = disc / 32.0;
    const Geometry g{16.0 * k, 1.5 * k, 5.0 * k, 1.0 * k, 6.0 * k, 6.0 * k, 12.5 * k};
    const Rgb ground{0, 128, 128};
    const int kSamples = 8;
    png::Bytes rgba;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            const PixelSample pixel = SamplePixel(x, y, size, g, kSamples, maskable ? &ground : nullptr);
            rgba.insert(rgba.end(), {static_cast<uint8_t>(pixel.colour.r + 0.5), static_cast<uint8_t>(pixel.colour.g + 0.5),
                                     static_cast<uint8_t>(pixel.colour.b + 0.5),
                                     static_cast<uint8_t>(255 * pixel.covered / (kSamples * kSamples))});
        }
    }
    return rgba;
}

}  // namespace

int main(int argc, char **argv)
{
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "--png") == 0) {
        const int size = std::atoi(argv[2]);
        const bool maskable = argc == 5 && std::strcmp(argv[4], "--maskable") == 0;
        if (size < 16 || size > 1024 || (argc == 5 && !maskable)) {
            std::fprintf(stderr, "usage: draw_icon --png SIZE OUTPUT.png [--maskable]\n");
            return 2;
        }
        if (!png::Write(argv[3], static_cast<unsigned>(size), static_cast<unsigned>(size), DrawFull(size, maskable))) {
            std::perror(argv[3]);
            return 1;
        }
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_icon OUTPUT.ico\n       draw_icon --png SIZE OUTPUT.png [--maskable]\n");
        return 2;
    }
    // Arrow and hub sized in whole pixels for each size so that the small
    // image stays crisp rather than smeared over half pixels.
    const Geometry small{8.0, 1.0, 2.6, 1.0, 3.0, 3.5, 6.5};
    const Geometry large{16.0, 1.5, 5.0, 1.0, 6.0, 6.0, 12.5};
    const struct {
        int size, colours;
        const Geometry *geometry;
    } images[] = {{16, 16, &small}, {16, 256, &small}, {32, 16, &large}, {32, 256, &large}};

    std::vector<uint8_t> file;
    Put16(file, 0);  // reserved
    Put16(file, 1);  // icon
    Put16(file, 4);
    std::vector<uint8_t> bodies;
    const unsigned first_offset = 6 + 16 * 4;
    for (const auto &im : images) {
        const std::vector<uint8_t> body = DrawImage(im.size, im.colours, *im.geometry);
        file.push_back(static_cast<uint8_t>(im.size));
        file.push_back(static_cast<uint8_t>(im.size));
        file.push_back(static_cast<uint8_t>(im.colours == 16 ? 16 : 0));
        file.push_back(0);
        Put16(file, 1);
        Put16(file, im.colours == 16 ? 4 : 8);
        Put32(file, static_cast<unsigned>(body.size()));
        Put32(file, first_offset + static_cast<unsigned>(bodies.size()));
        bodies.insert(bodies.end(), body.begin(), body.end());
    }
    file.insert(file.end(), bodies.begin(), bodies.end());

    FILE *out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
