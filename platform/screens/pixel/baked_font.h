// Tahoma's glyphs as FreeType draws them, made at build time (bake_font.cpp
// writes them) for a page that has no FreeType and no font file: for each
// size, the metrics, the measured advance of every printable ASCII
// character, and the drawn glyphs of the characters the dialog shows.
// Anything else is drawn as the font's missing-character box.
//
// The bytes, all numbers little-endian: "TBK1", the count of faces
// (regular, then bold), and for each face the count of its sizes and each
// size: its em, ascent and descent; 96 advances (' ' to '~', then the
// box's); the count of its glyphs and each glyph by character: the
// character (16 bits), its measured and drawn advances, its left and top
// (signed), its width and height, and its pixels, row by row, one bit each
// from the high bit, the last byte padded.
#ifndef RGBHSV_PLATFORM_PIXEL_BAKED_FONT_H
#define RGBHSV_PLATFORM_PIXEL_BAKED_FONT_H

#include <memory>
#include <string>
#include <string_view>

#include "font.h"

namespace platform::baked {

constexpr char kMagic[] = "TBK1";
// The characters measured at every size: ' ' to '~', then the box.
constexpr char16_t kFirstMeasured = u' ';
constexpr int kMeasured = 95;
// What stands for a character the font lacks, which FreeType draws as the
// font's first glyph.
constexpr char16_t kMissing = 0xFFFF;

// Takes the bytes as the page's Tahoma; false, with why in `error`, where
// they are not whole.
bool Load(std::string_view bytes, std::string *error);
// A face of what was loaded at the em of `points` at `dpi`; null, with why.
std::unique_ptr<PixelFont> Open(bool bold, int points, int dpi, std::string *error);
// The largest em loaded; 0 before a load.
int LargestEm();

}  // namespace platform::baked

#endif
