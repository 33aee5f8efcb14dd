// Tahoma through FreeType, from Wine's font files. Windows measures Tahoma
// at the dialog's sizes by its hinted outlines even where the font carries
// bitmaps for drawing: "HSV color:" is 52, 65, 80 and 100 pixels wide at 96,
// 120, 144 and 192 DPI under Wine, and so it is here.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GASP_H
#include FT_TRUETYPE_TABLES_H

#include "font.h"

namespace platform {
namespace {

// The library and the face, shared by the font's glyph source.
struct Face {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Face()
    {
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

// A font unit count in pixels at `ppem`, rounded to nearest.
int Scaled(long units, int ppem, int units_per_em)
{
    return static_cast<int>((units * ppem + units_per_em / 2) / units_per_em);
}

// Whether GDI smooths the face at `ppem`: where it carries no bitmap of
// that size and its gasp table asks for grey there.
bool Smoothed(FT_Face face, int ppem)
{
    for (int i = 0; i < face->num_fixed_sizes; i++)
        if ((face->available_sizes[i].y_ppem + 32) >> 6 == ppem) return false;
    const FT_Int gasp = FT_Get_Gasp(face, static_cast<FT_UInt>(ppem));
    return gasp != FT_GASP_NO_TABLE && (gasp & FT_GASP_DO_GRAY);
}

PixelGlyph Load(FT_Face face, char16_t c, bool smoothed)
{
    PixelGlyph g;
    if (FT_Load_Char(face, c, FT_LOAD_NO_BITMAP) == 0) g.advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
    // Without smoothing FreeType takes the font's bitmap where it has one
    // at this size; smoothed, the hinted outline's 256 greys become GDI's
    // 17 levels.
    const FT_Int32 flags = smoothed ? FT_LOAD_RENDER | FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL
                                    : FT_LOAD_RENDER | FT_LOAD_TARGET_MONO;
    if (FT_Load_Char(face, c, flags) == 0) {
        g.drawn_advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
        const FT_Bitmap &b = face->glyph->bitmap;
        g.left = face->glyph->bitmap_left;
        g.top = face->glyph->bitmap_top;
        g.width = static_cast<int>(b.width);
        g.height = static_cast<int>(b.rows);
        g.on.assign(static_cast<size_t>(g.width * g.height), 0);
        for (int row = 0; row < g.height; row++)
            for (int col = 0; col < g.width; col++) {
                const unsigned char *line = b.buffer + row * b.pitch;
                int coverage;
                if (b.pixel_mode == FT_PIXEL_MODE_MONO) coverage = (line[col / 8] >> (7 - col % 8)) & 1 ? kFullCoverage : 0;
                // GDI's 17 levels, of which it draws the faintest as nothing.
                else if (smoothed) coverage = line[col] * (kFullCoverage + 1) / 256, coverage = coverage > 1 ? coverage : 0;
                else coverage = line[col] >= 128 ? kFullCoverage : 0;
                g.on[static_cast<size_t>(row * g.width + col)] = static_cast<uint8_t>(coverage);
            }
    }
    return g;
}

}  // namespace

FontSource &TahomaFile()
{
    struct File : FontSource {
        std::unique_ptr<PixelFont> Open(bool bold, int points, int dpi, std::string *error) override
        {
            return OpenTahoma(bold, points, dpi, error);
        }
    };
    static File file;
    return file;
}

std::unique_ptr<PixelFont> OpenTahoma(bool bold, int points, int dpi, std::string *error, bool smoothed)
{
    const std::string path = bold ? kTahomaBoldPath : kTahomaPath;
    auto face = std::make_shared<Face>();
    if (FT_Init_FreeType(&face->library) != 0) {
        *error = "cannot start FreeType";
        return nullptr;
    }
    if (FT_New_Face(face->library, path.c_str(), 0, &face->face) != 0) {
        *error = "cannot read the font " + path;
        return nullptr;
    }
    const int ppem = PixelsPerEm(points, dpi);
    const auto *os2 = static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(face->face, FT_SFNT_OS2));
    if (ppem <= 0 || !os2 || FT_Set_Pixel_Sizes(face->face, 0, static_cast<FT_UInt>(ppem)) != 0) {
        *error = "the font " + path + " has no Windows metrics at that size";
        return nullptr;
    }
    const int units = face->face->units_per_EM;
    return std::make_unique<PixelFont>(Scaled(os2->usWinAscent, ppem, units), Scaled(os2->usWinDescent, ppem, units),
                                       [face, smooth = smoothed && Smoothed(face->face, ppem)](char16_t c, bool rough) {
                                           return Load(face->face, c, smooth && !rough);
                                       });
}

}  // namespace platform
