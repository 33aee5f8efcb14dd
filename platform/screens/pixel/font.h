// The dialog font of a pixel screen, measured as GDI measures it: Tahoma
// (Wine's own, with Windows's metrics) at an em of MulDiv(points, dpi, 72)
// pixels, its text as wide as its hinted outline advances and its height
// the font's Windows ascent and descent. What a pixel device lays a dialog
// out by, and draws its text with, as GDI draws Tahoma: from the font's own
// bitmaps at the sizes that have them, and smoothed in 17 levels of
// coverage where it has none and asks for smoothing there (its gasp table),
// as at 192 DPI.
//
// Its glyphs come from FreeType reading the font file (freetype_font.cpp), or, in
// the page, from tables FreeType made at build time (baked_font.cpp, made
// by bake_font.cpp); which is linked decides.
#ifndef RGBHSV_PLATFORM_PIXEL_FONT_H
#define RGBHSV_PLATFORM_PIXEL_FONT_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "device.h"

namespace platform {

// One character as drawn: its advance as measured, and its pixels' rows,
// from (left, top) of the pen's place on the ascent line.
struct PixelGlyph {
    int advance = 0;        // as measured
    int drawn_advance = 0;  // as drawn
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> on;  // width * height, each pixel's coverage, 0 to kFullCoverage
};

// A pixel the glyph covers whole; a glyph drawn without smoothing has no
// other level than this and 0.
constexpr uint8_t kFullCoverage = 16;

// A text colour's component `text` drawn at `coverage` over `ground`, as
// Windows blends a smoothed glyph: not a straight mix, but Windows's own
// curve of intensities, measured from the Windows build's text.
uint8_t BlendComponent(uint8_t ground, uint8_t text, int coverage);
Colour Blend(Colour ground, Colour text, int coverage);

class PixelFont {
public:
    // Where a font's glyphs come from, one character at a time; `rough`,
    // without smoothing at any size (as GDI draws text into a bitmap of
    // one bit a pixel, a disabled control's embossed text among it).
    using Source = std::function<PixelGlyph(char16_t, bool rough)>;
    PixelFont(int ascent, int descent, Source source)
        : ascent_(ascent), descent_(descent), source_(std::move(source))
    {
    }
    PixelFont(const PixelFont &) = delete;
    PixelFont &operator=(const PixelFont &) = delete;

    int Height() const { return ascent_ + descent_; }  // tmHeight
    int Ascent() const { return ascent_; }
    int Descent() const { return descent_; }
    // GetTextExtentPoint32's width of `text`.
    int TextWidth(std::u16string_view text) const;
    // Calls `plot` with each pixel of `text` drawn with its top left at
    // (x, y), and its coverage. Each character moves the pen by its drawn advance, which at
    // the sizes with bitmaps is the bitmap's and may differ from the
    // measured one, as GDI under Wine draws them.
    void Draw(std::u16string_view text, int x, int y, const std::function<void(int, int, int)> &plot,
              bool rough = false) const;
    const PixelGlyph &GlyphOf(char16_t c, bool rough = false) const;

private:
    int ascent_ = 0, descent_ = 0;
    Source source_;
    mutable std::unordered_map<uint32_t, PixelGlyph> glyphs_;  // by character, rough ones apart
};

// Where a screen's fonts come from: Tahoma, or its bold face, at `points`
// and `dpi`; null, with the reason in `error`, where it cannot be had.
class FontSource {
public:
    virtual ~FontSource() = default;
    virtual std::unique_ptr<PixelFont> Open(bool bold, int points, int dpi, std::string *error) = 0;
};

// Tahoma from FreeType reading the font's file (freetype_font.cpp), where
// there is one; `smoothed` false draws it without smoothing at every size.
std::unique_ptr<PixelFont> OpenTahoma(bool bold, int points, int dpi, std::string *error, bool smoothed = true);
FontSource &TahomaFile();

// The em in pixels of a font of `points` at `dpi`: MulDiv(points, dpi, 72).
inline int PixelsPerEm(int points, int dpi)
{
    return MulDivRounded(points, dpi, 72);
}

// Where Debian's fonts-wine puts Tahoma and its bold face.
constexpr const char *kTahomaPath = "/usr/share/wine/fonts/tahoma.ttf";
constexpr const char *kTahomaBoldPath = "/usr/share/wine/fonts/tahomabd.ttf";

}  // namespace platform

#endif
