// Tahoma's glyphs as FreeType draws them, made at build time (bake_font.cpp
// writes them) for a page that has no FreeType and no font file: for each
// size, the metrics, the measured advance of every printable ASCII
// character, and the drawn glyphs of the characters the dialog shows.
// Anything else is drawn as the font's missing-character box.
//
// The bytes, all numbers little-endian: "TBK2", the count of faces
// (regular, then bold), and for each face the count of its sizes and each
// size: its em, ascent and descent, its levels (2, or 16 where the size is
// smoothed); 96 advances (' ' to '~', then the box's); the count of its
// glyphs and each glyph by character: the character (16 bits), its
// measured and drawn advances, its left and top (signed), its width and
// height, and its pixels, row by row, the last byte padded: one bit each
// from the high bit, or at 16 levels four bits each from the high nibble,
// 0 for no coverage and n for coverage n + 1. A smoothed size then has a
// second list of glyphs, one bit a pixel: the characters drawn greyed,
// which are drawn without smoothing at every size.
#ifndef RGBHSV_PLATFORM_PIXEL_BAKED_FONT_H
#define RGBHSV_PLATFORM_PIXEL_BAKED_FONT_H

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "font.h"

namespace platform::baked {

constexpr char kMagic[] = "TBK2";
// The characters measured at every size: ' ' to '~', then the box.
constexpr char16_t kFirstMeasured = u' ';
constexpr int kMeasured = 95;
// What stands for a character the font lacks, which FreeType draws as the
// font's first glyph.
constexpr char16_t kMissing = 0xFFFF;

struct Size;

// A loaded copy: the bytes, and where each face's sizes start in them
// (regular, then bold), each unpacked the first time it is opened. The
// page's screen keeps it, and the fonts opened from it share its sizes.
class Table : public FontSource {
public:
    // The bytes as a table; null, with why in `error`, where they are not
    // whole.
    static std::unique_ptr<Table> Load(std::string_view bytes, std::string *error);
    // A face at the em of `points` at `dpi`; null, with why.
    std::unique_ptr<PixelFont> Open(bool bold, int points, int dpi, std::string *error) override;
    // The largest em carried.
    int LargestEm() const;

private:
    struct Entry {
        int ppem = 0;
        size_t at = 0;
        std::shared_ptr<const Size> size;
    };
    std::string bytes_;
    std::vector<Entry> faces_[2];
};

}  // namespace platform::baked

#endif
