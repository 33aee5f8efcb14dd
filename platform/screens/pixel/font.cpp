// What every PixelFont does with its glyphs, wherever they come from.
#include "font.h"

namespace platform {

const PixelGlyph &PixelFont::GlyphOf(char16_t c, bool rough) const
{
    const uint32_t key = c | (rough ? 0x10000u : 0u);
    auto known = glyphs_.find(key);
    if (known != glyphs_.end()) return known->second;
    return glyphs_.emplace(key, source_(c, rough)).first->second;
}

int PixelFont::TextWidth(std::u16string_view text) const
{
    int width = 0;
    for (char16_t c : text) width += GlyphOf(c).advance;
    return width;
}

void PixelFont::Draw(std::u16string_view text, int x, int y, const std::function<void(int, int, int)> &plot,
                     bool rough) const
{
    for (char16_t c : text) {
        const PixelGlyph &g = GlyphOf(c, rough);
        for (int row = 0; row < g.height; row++)
            for (int col = 0; col < g.width; col++)
                if (const int coverage = g.on[static_cast<size_t>(row * g.width + col)])
                    plot(x + g.left + col, y + ascent_ - g.top + row, coverage);
        x += g.drawn_advance;
    }
}

// What each level of coverage gives a component of 255 drawn over 0: the
// greys that black text leaves on white in the Windows build's smoothed
// Tahoma, read in reverse (a level's grey there is this table's entry for
// the level's complement). A curve, not a line: darker text reads lighter.
constexpr uint8_t kIntensity[kFullCoverage + 1] = {0x00, 0x4D, 0x68, 0x7C, 0x8C, 0x9A, 0xA7, 0xB2, 0xBD,
                                                   0xC7, 0xD0, 0xD9, 0xE1, 0xE9, 0xF0, 0xF8, 0xFF};

// Over a ground of 0 a component comes out as low as `least`, over 255 as
// high as `most`; over any other ground, on a line from the text's own
// component (where the ground is the text's, nothing shows) to whichever
// of the two lies on the ground's side.
uint8_t BlendComponent(uint8_t ground, uint8_t text, int coverage)
{
    // The faintest level leaves the ground as it was, as Windows's does.
    const int t = text, d = ground;
    if (d == t || coverage <= 1) return ground;
    const int least = kIntensity[coverage] * t / 255;
    const int most = kIntensity[kFullCoverage - coverage] + (255 - kIntensity[kFullCoverage - coverage]) * t / 255;
    if (d > t) return static_cast<uint8_t>(t + (d - t) * (most - t) / (255 - t));
    return static_cast<uint8_t>(t - (t - d) * (t - least) / t);
}

Colour Blend(Colour ground, Colour text, int coverage)
{
    if (coverage >= kFullCoverage) return text;
    Colour out = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        out |= static_cast<Colour>(BlendComponent(static_cast<uint8_t>(ground >> shift),
                                                  static_cast<uint8_t>(text >> shift), coverage))
               << shift;
    return out;
}

}  // namespace platform
