// Tahoma from the bytes made at build time (baked_font.h), for the page.
#include "baked_font.h"

#include <algorithm>
#include <vector>

namespace platform::baked {

// One size: its metrics, and its glyphs once unpacked.
struct Size {
    int ppem = 0, ascent = 0, descent = 0;
    int advances[kMeasured + 1] = {};
    std::vector<std::pair<char16_t, PixelGlyph>> glyphs;  // by character
    std::vector<std::pair<char16_t, PixelGlyph>> rough;   // unsmoothed, where the size is smoothed
};

namespace {

// Reads the bytes in order, failing once they run out.
struct Reader {
    std::string_view bytes;
    size_t at = 0;
    bool ok = true;
    int U8()
    {
        if (at >= bytes.size()) {
            ok = false;
            return 0;
        }
        return static_cast<unsigned char>(bytes[at++]);
    }
    int S8() { return static_cast<signed char>(U8()); }
    int U16()
    {
        const int low = U8();
        return low | U8() << 8;
    }
};

// A character as the size has it: drawn if it is carried (unsmoothed if
// `rough` and the size has it so), else as the missing box; measured by its
// own advance where the size knows it.
PixelGlyph Lookup(const Size &size, char16_t c, bool rough)
{
    const auto find = [&](char16_t ch) -> const PixelGlyph * {
        for (const auto *list : {rough ? &size.rough : nullptr, &size.glyphs}) {
            if (!list) continue;
            auto g = std::lower_bound(list->begin(), list->end(), ch, [](const auto &a, char16_t b) { return a.first < b; });
            if (g != list->end() && g->first == ch) return &g->second;
        }
        return nullptr;
    };
    if (const PixelGlyph *g = find(c)) return *g;
    const bool measured = c >= kFirstMeasured && c < kFirstMeasured + kMeasured;
    const int advance = size.advances[measured ? c - kFirstMeasured : kMeasured];
    const PixelGlyph *missing = find(kMissing);
    PixelGlyph box = missing ? *missing : PixelGlyph{};
    box.advance = advance;
    if (!missing) box.drawn_advance = advance;
    return box;
}

// A list of glyphs at `levels`, into `glyphs` when `unpack`.
void ReadGlyphs(Reader &in, int levels, bool unpack, std::vector<std::pair<char16_t, PixelGlyph>> *glyphs)
{
    const int count = in.U16();
    int last = -1;
    for (int g = 0; in.ok && g < count; g++) {
        const int ch = in.U16();
        PixelGlyph glyph;
        glyph.advance = in.U8();
        glyph.drawn_advance = in.U8();
        glyph.left = in.S8();
        glyph.top = in.S8();
        glyph.width = in.U8();
        glyph.height = in.U8();
        const size_t per_byte = levels == 2 ? 8 : 2;
        const size_t pixels = static_cast<size_t>(glyph.width * glyph.height), bytes = (pixels + per_byte - 1) / per_byte;
        if (ch <= last || in.at + bytes > in.bytes.size()) in.ok = false;
        if (!in.ok) break;
        last = ch;
        if (unpack) {
            glyph.on.resize(pixels);
            for (size_t i = 0; i < pixels; i++) {
                const int byte = static_cast<unsigned char>(in.bytes[in.at + i / per_byte]);
                if (levels == 2) {
                    glyph.on[i] = ((byte >> (7 - i % 8)) & 1) * kFullCoverage;
                } else {
                    const int n = i % 2 ? byte & 15 : byte >> 4;
                    glyph.on[i] = static_cast<uint8_t>(n ? n + 1 : 0);
                }
            }
            glyphs->emplace_back(static_cast<char16_t>(ch), std::move(glyph));
        }
        in.at += bytes;
    }
}

// One size at `in`: its metrics and, when `unpack`, its glyphs' pixels;
// without, only checked and passed over.
void ReadSize(Reader &in, bool unpack, Size *size)
{
    size->ppem = in.U8();
    size->ascent = in.U8();
    size->descent = in.U8();
    const int levels = in.U8();
    if (levels != 2 && levels != 16) in.ok = false;
    for (int &advance : size->advances) advance = in.U8();
    ReadGlyphs(in, levels, unpack, &size->glyphs);
    if (levels == 16) ReadGlyphs(in, 2, unpack, &size->rough);
}

}  // namespace

std::unique_ptr<Table> Table::Load(std::string_view bytes, std::string *error)
{
    Reader in{bytes};
    auto table = std::make_unique<Table>();
    const bool magic = bytes.substr(0, 4) == std::string_view(kMagic, 4);
    in.at = 4;
    const int face_count = magic ? in.U8() : 0;
    for (int f = 0; magic && in.ok && f < face_count && f < 2; f++) {
        const int sizes = in.U8();
        for (int s = 0; in.ok && s < sizes; s++) {
            Entry entry;
            entry.at = in.at;
            Size size;
            ReadSize(in, false, &size);
            entry.ppem = size.ppem;
            table->faces_[f].push_back(entry);
        }
    }
    if (!magic || !in.ok || face_count != 2 || in.at != bytes.size()) {
        *error = "the page's copy of Tahoma is damaged";
        return nullptr;
    }
    table->bytes_.assign(bytes);
    return table;
}

std::unique_ptr<PixelFont> Table::Open(bool bold, int points, int dpi, std::string *error)
{
    const int ppem = PixelsPerEm(points, dpi);
    for (Entry &entry : faces_[bold ? 1 : 0]) {
        if (entry.ppem != ppem) continue;
        if (!entry.size) {
            auto size = std::make_shared<Size>();
            Reader in{bytes_, entry.at};
            ReadSize(in, true, size.get());
            entry.size = std::move(size);
        }
        std::shared_ptr<const Size> size = entry.size;
        return std::make_unique<PixelFont>(size->ascent, size->descent,
                                           [size](char16_t c, bool rough) { return Lookup(*size, c, rough); });
    }
    *error = "Tahoma is not carried at " + std::to_string(ppem) + " pixels to the em";
    return nullptr;
}

int Table::LargestEm() const
{
    int largest = 0;
    for (const Entry &entry : faces_[0]) largest = std::max(largest, entry.ppem);
    return largest;
}

}  // namespace platform::baked
