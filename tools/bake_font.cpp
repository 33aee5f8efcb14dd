// Writes Tahoma's glyphs, regular and bold, as FreeType draws them at each
// em from FIRST to LAST pixels, in the bytes baked_font.h describes: as
// they are, or for the page as a script that holds them deflated, in
// base64, as Module.rgbhsvTahoma. Every size measures the printable ASCII
// characters; only the characters given are drawn (the dialog's texts).
// Where Windows smooths the font (from 17 pixels), sizes up to SMOOTH_LAST
// are drawn smoothed, with the ROUGH characters (the texts drawn greyed,
// which Windows draws unsmoothed) also drawn one bit a pixel.
// usage: bake_font OUTPUT[.js] FIRST LAST SMOOTH_LAST REGULAR BOLD ROUGH
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "baked_font.h"
#include "font.h"
#include "packed_text.h"
#include "screen.h"

namespace {

using platform::baked::kFirstMeasured;
using platform::baked::kMeasured;
using platform::baked::kMissing;

bool Fail(const std::string &why)
{
    std::fprintf(stderr, "bake_font: %s\n", why.c_str());
    return false;
}

bool AppendByte(std::string *out, int value)
{
    if (value < -128 || value > 255) return false;
    out->push_back(static_cast<char>(value));
    return true;
}

// A glyph's place and pixels: one bit each from the high bit, or (`levels`
// 16) four bits each from the high nibble, coverage 0 as 0 and n as n - 1
// (GDI leaves coverage 1 out).
bool AppendGlyph(std::string *out, char16_t c, const platform::PixelGlyph &g, int levels)
{
    out->push_back(static_cast<char>(c & 0xFF));
    out->push_back(static_cast<char>(c >> 8));
    const bool fits = AppendByte(out, g.advance) && AppendByte(out, g.drawn_advance) && g.left >= -128 &&
                      g.left < 128 && g.top >= -128 && g.top < 128 && AppendByte(out, g.left) &&
                      AppendByte(out, g.top) && AppendByte(out, g.width) && AppendByte(out, g.height);
    const size_t per_byte = levels == 2 ? 8 : 2;
    std::string pixels((g.on.size() + per_byte - 1) / per_byte, '\0');
    for (size_t i = 0; i < g.on.size(); i++) {
        const int v = g.on[i];
        if (levels == 2 && v) pixels[i / 8] = static_cast<char>(pixels[i / 8] | 0x80 >> (i % 8));
        if (levels == 16 && v) pixels[i / 2] = static_cast<char>(pixels[i / 2] | (v - 1) << (i % 2 ? 0 : 4));
        if (levels == 16 && v == 1) return false;
    }
    *out += pixels;
    return fits;
}

bool AppendGlyphs(std::string *out, const platform::PixelFont &font, const std::set<char16_t> &chars, bool rough,
                  int levels)
{
    out->push_back(static_cast<char>(chars.size() & 0xFF));
    out->push_back(static_cast<char>(chars.size() >> 8));
    bool fits = true;
    for (char16_t c : chars) fits = AppendGlyph(out, c, font.GlyphOf(c, rough), levels) && fits;
    return fits;
}

std::set<char16_t> Characters(const std::u32string &text)
{
    std::set<char16_t> chars{kMissing};
    for (char32_t c : text)
        if (c >= 0x20 && c < 0xFFFF) chars.insert(static_cast<char16_t>(c));
    return chars;
}

bool AppendFace(std::string *out, bool bold, int first, int last, int smooth_last, const std::u32string &drawn,
                const std::u32string &rough)
{
    const std::set<char16_t> chars = Characters(drawn), rough_chars = Characters(rough);
    AppendByte(out, last - first + 1);
    for (int ppem = first; ppem <= last; ppem++) {
        std::string error;
        // At 9 dpi a point, MulDiv(8, dpi, 72) is ppem.
        auto font = platform::OpenTahoma(bold, platform::kDialogFontPoints, ppem * 72 / platform::kDialogFontPoints, &error,
                                          ppem <= smooth_last);
        if (!font) return Fail(error);
        // Smoothed where the font asked for it: some pixel only partly covered.
        bool smoothed = false;
        for (char16_t c : chars)
            for (uint8_t v : font->GlyphOf(c).on) smoothed = smoothed || (v != 0 && v != platform::kFullCoverage);
        const int levels = smoothed ? 16 : 2;
        bool fits = AppendByte(out, ppem) && AppendByte(out, font->Ascent()) && AppendByte(out, font->Descent()) &&
                    AppendByte(out, levels);
        for (int i = 0; i <= kMeasured; i++)
            fits = fits && AppendByte(out, font->GlyphOf(i < kMeasured ? char16_t(kFirstMeasured + i) : kMissing).advance);
        fits = AppendGlyphs(out, *font, chars, false, levels) && fits;
        if (smoothed) fits = AppendGlyphs(out, *font, rough_chars, true, 2) && fits;
        if (!fits) return Fail("a glyph at " + std::to_string(ppem) + " pixels does not fit the format");
    }
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 8) {
        std::fprintf(stderr, "usage: bake_font OUTPUT[.js] FIRST LAST SMOOTH_LAST REGULAR BOLD ROUGH\n");
        return 2;
    }
    const int first = std::atoi(argv[2]), last = std::atoi(argv[3]), smooth_last = std::atoi(argv[4]);
    if (first < 1 || last < first || last > 255) {
        std::fprintf(stderr, "bake_font: no sizes from %s to %s\n", argv[2], argv[3]);
        return 2;
    }
    std::string bytes = std::string(platform::baked::kMagic, 4) + '\2';
    const std::u32string rough = platform::DecodeUtf8(argv[7]);
    if (!AppendFace(&bytes, false, first, last, smooth_last, platform::DecodeUtf8(argv[5]), rough) ||
        !AppendFace(&bytes, true, first, last, smooth_last, platform::DecodeUtf8(argv[6]), U""))
        return 1;
    const std::string path = argv[1], temporary = path + ".new";
    std::string contents = bytes;
    if (path.size() > 3 && path.compare(path.size() - 3, 3, ".js") == 0) {
        std::string deflated;
        if (!packed::Deflate(bytes, &deflated)) {
            Fail("cannot deflate");
            return 1;
        }
        contents = "// Wine's Tahoma (LGPL 2.1 or later), the glyphs the dialog draws, as bake_font made them.\n"
                   "Module.rgbhsvTahoma = '" + packed::Base64(deflated) + "';\n";
    }
    FILE *out = std::fopen(temporary.c_str(), "wb");
    const bool written = out && std::fwrite(contents.data(), 1, contents.size(), out) == contents.size();
    if (!out || std::fclose(out) != 0 || !written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::perror(path.c_str());
        std::remove(temporary.c_str());
        return 1;
    }
    return 0;
}
