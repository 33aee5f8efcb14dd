// The frame's own helpers: its rows as UTF-8 text, and the UTF-8 encoder
// that the terminal writer shares.
#include "screen.h"

namespace platform {

void AppendUtf8(std::string *out, char32_t c)
{
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | c >> 6));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xE0 | c >> 12));
        out->push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string Frame::RowText(int y) const
{
    std::string out;
    for (int x = 0; x < width; x++) AppendUtf8(&out, At(x, y).ch);
    return out;
}

}  // namespace platform
