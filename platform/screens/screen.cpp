// The frame's own helpers: its rows as UTF-8 text; and UTF-8 both ways,
// for the terminal writer and for clipboard text crossing the seam.
#include "screen.h"

namespace platform {

void AppendUtf8(std::string *out, char32_t c)
{
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | c >> 6));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | c >> 12));
        out->push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | c >> 18));
        out->push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::u32string DecodeUtf8(std::string_view text)
{
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2 : (lead & 0xF8) == 0xF0 ? 3 : -1;
        char32_t c = extra <= 0 ? lead : lead & (0x3F >> extra);
        bool whole = extra >= 0 && i + static_cast<size_t>(extra) < text.size();
        for (int k = 1; whole && k <= extra; k++) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            whole = (next & 0xC0) == 0x80;
            c = c << 6 | (next & 0x3F);
        }
        if (!whole) {
            out.push_back(U'\uFFFD');
            i++;
            continue;
        }
        out.push_back(c);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

std::string Frame::RowText(int y) const
{
    std::string out;
    for (int x = 0; x < width; x++) AppendUtf8(&out, At(x, y).ch);
    return out;
}

}  // namespace platform
