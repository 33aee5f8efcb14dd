// The dialog font of a pixel screen, measured as GDI measures it: Tahoma
// (Wine's own, with Windows's metrics) through FreeType, at an em of
// MulDiv(points, dpi, 72) pixels, its text as wide as its hinted outline
// advances and its height the font's Windows ascent and descent. What a
// pixel device lays a dialog out by.
#ifndef RGBHSV_PLATFORM_PIXEL_FONT_H
#define RGBHSV_PLATFORM_PIXEL_FONT_H

#include <memory>
#include <string>
#include <string_view>

namespace platform {

class PixelFont {
public:
    // The font in the file at `path`; null, with the reason in `error`,
    // where it cannot be read.
    static std::unique_ptr<PixelFont> Open(const std::string &path, int points, int dpi, std::string *error);
    ~PixelFont();
    PixelFont(const PixelFont &) = delete;
    PixelFont &operator=(const PixelFont &) = delete;

    int Height() const { return ascent_ + descent_; }  // tmHeight
    // GetTextExtentPoint32's width of `text`.
    int TextWidth(std::u16string_view text) const;

private:
    struct Face;
    explicit PixelFont(std::unique_ptr<Face> face);
    std::unique_ptr<Face> face_;
    int ascent_ = 0, descent_ = 0;
};

// Where Debian's fonts-wine puts Tahoma.
constexpr const char *kTahomaPath = "/usr/share/wine/fonts/tahoma.ttf";

}  // namespace platform

#endif
