// What every PixelFont does with its glyphs, wherever they come from.
#include "font.h"

namespace platform {

const PixelGlyph &PixelFont::GlyphOf(char16_t c) const
{
    auto known = glyphs_.find(c);
    if (known != glyphs_.end()) return known->second;
    return glyphs_.emplace(c, source_(c)).first->second;
}

int PixelFont::TextWidth(std::u16string_view text) const
{
    int width = 0;
    for (char16_t c : text) width += GlyphOf(c).advance;
    return width;
}

void PixelFont::Draw(std::u16string_view text, int x, int y, const std::function<void(int, int)> &plot) const
{
    for (char16_t c : text) {
        const PixelGlyph &g = GlyphOf(c);
        for (int row = 0; row < g.height; row++)
            for (int col = 0; col < g.width; col++)
                if (g.on[static_cast<size_t>(row * g.width + col)]) plot(x + g.left + col, y + ascent_ - g.top + row);
        x += g.drawn_advance;
    }
}

}  // namespace platform
