// The terminal writer: frames into escape codes and UTF-8, only the cells
// that changed, cursor moves kept short, one style change per run of cells.
// Deciding a cell's style (roles, NO_COLOR, eight colours) is apart from
// writing its codes. Leaves out: terminals that cannot move the cursor
// (start-up refuses them) and characters wider than one cell.
#include "terminal_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

// --- Colours ----------------------------------------------------------------

int Red(Colour c) { return static_cast<int>(c & 0xFF); }
int Green(Colour c) { return static_cast<int>(c >> 8 & 0xFF); }
int Blue(Colour c) { return static_cast<int>(c >> 16 & 0xFF); }

int Distance(int r1, int g1, int b1, int r2, int g2, int b2)
{
    return (r1 - r2) * (r1 - r2) + (g1 - g2) * (g1 - g2) + (b1 - b2) * (b1 - b2);
}

// The eight ANSI colours as most terminals show them, for the nearest.
int Nearest8(Colour c)
{
    int best = 0, best_distance = 1 << 30;
    for (int i = 0; i < 8; i++) {
        const int level = 205;
        const int d = Distance(Red(c), Green(c), Blue(c), i & 1 ? level : 0, i & 2 ? level : 0, i & 4 ? level : 0);
        if (d < best_distance) {
            best_distance = d;
            best = i;
        }
    }
    return best;
}

// Shade characters for a terminal without colour, by brightness.
char32_t Shade(Colour c, bool unicode)
{
    const int light = (Red(c) * 299 + Green(c) * 587 + Blue(c) * 114) / 1000;
    static const char32_t blocks[] = {U' ', U'░', U'▒', U'▓', U'█'};
    static const char32_t ascii[] = {U' ', U'.', U':', U'*', U'#'};
    const int level = light * 5 / 256;
    return unicode ? blocks[level] : ascii[level];
}

char32_t PlainFallback(char32_t ch)
{
    switch (ch) {
    case U'│': return U'|';
    case U'─': return U'-';
    case U'┌': case U'┐': case U'└': case U'┘': return U'+';
    case U'×': return U'x';
    default: return ch < 0x80 ? ch : U'?';
    }
}

void AppendNumber(std::string *out, int n)
{
    char text[12];
    const int length = std::snprintf(text, sizeof text, "%d", n);
    out->append(text, static_cast<size_t>(length));
}

// The eight colours' own values, so that Nearest8 picks them back exactly.
constexpr Colour kEightBlack = 0x000000, kEightWhite = 0xCDCDCD, kEightCyan = 0xCDCD00;

bool IsLightEight(int index)
{
    return index == 7 || index == 6 || index == 3 || index == 2;  // white, cyan, yellow, green
}

// Eight colours merge the dialog's greys and whites into one: a field
// would vanish into the dialog and greyed text into its ground. Fields get
// a ground of their own, and text that would match its ground is drawn
// dim in black or white, whichever the ground shows.
void FitEightColours(Role role, Colour *fg, Colour *bg, uint8_t *attrs)
{
    if (role == Role::kField && Nearest8(*bg) == 7) *bg = kEightCyan;
    const int ground = Nearest8(*bg);
    if (Nearest8(*fg) == ground) {
        *fg = IsLightEight(ground) ? kEightBlack : kEightWhite;
        *attrs |= kAttrDim;
    }
}

}  // namespace

ColourDepth ChooseColourDepth(const char *colorterm, int terminfo_colours, bool terminfo_rgb)
{
    if (colorterm && (std::strcmp(colorterm, "truecolor") == 0 || std::strcmp(colorterm, "24bit") == 0))
        return ColourDepth::kDirect;
    if (terminfo_rgb || terminfo_colours >= 0x1000000) return ColourDepth::kDirect;
    if (terminfo_colours >= 256) return ColourDepth::k256;
    if (terminfo_colours >= 8) return ColourDepth::kBasic8;
    return ColourDepth::kNone;
}

int Nearest256(Colour c)
{
    static const int levels[6] = {0, 95, 135, 175, 215, 255};
    auto nearest_level = [](int v) {
        int best = 0;
        for (int i = 1; i < 6; i++)
            if (std::abs(levels[i] - v) < std::abs(levels[best] - v)) best = i;
        return best;
    };
    const int r = nearest_level(Red(c)), g = nearest_level(Green(c)), b = nearest_level(Blue(c));
    const int cube = 16 + 36 * r + 6 * g + b;
    const int cube_distance = Distance(Red(c), Green(c), Blue(c), levels[r], levels[g], levels[b]);
    const int average = (Red(c) + Green(c) + Blue(c)) / 3;
    const int grey = std::min(23, std::max(0, (average - 8 + 5) / 10));
    const int level = 8 + 10 * grey;
    const int grey_distance = Distance(Red(c), Green(c), Blue(c), level, level, level);
    return grey_distance < cube_distance ? 232 + grey : cube;
}

// --- Writing --------------------------------------------------------------

void FrameWriter::MoveTo(int x, int y, std::string *out)
{
    if (x == x_ && y == y_) return;
    // The shorter of an absolute move and a relative one.
    std::string absolute = "\x1b[";
    AppendNumber(&absolute, y + 1);
    absolute += ';';
    AppendNumber(&absolute, x + 1);
    absolute += 'H';
    std::string relative;
    if (x_ >= 0 && y_ >= 0 && y >= y_) {
        if (y > y_) {
            relative += "\x1b[";
            if (y - y_ > 1) AppendNumber(&relative, y - y_);
            relative += 'B';
        }
        if (x != x_) {
            relative += "\x1b[";
            if (std::abs(x - x_) > 1) AppendNumber(&relative, std::abs(x - x_));
            relative += x > x_ ? 'C' : 'D';
        }
    }
    *out += !relative.empty() && relative.size() < absolute.size() ? relative : absolute;
    x_ = x;
    y_ = y;
}

CellStyle ChooseCellStyle(const Cell &cell, ColourDepth depth, bool decoration_colours)
{
    // The swatch's colour is the program's own output, not decoration.
    const bool content = cell.role == Role::kContent;
    CellStyle style;
    style.attrs = cell.attrs & (kAttrBold | kAttrUnderline | kAttrReverse | kAttrDim);
    if (depth != ColourDepth::kNone && (decoration_colours || content)) {
        style.fg = cell.fg;
        style.bg = cell.bg;
        if (depth == ColourDepth::kBasic8 && !content) FitEightColours(cell.role, &style.fg, &style.bg, &style.attrs);
    } else if (cell.role == Role::kCaption) {
        style.attrs |= kAttrReverse;
    } else if (cell.role == Role::kField) {
        style.attrs |= kAttrUnderline;
    }
    return style;
}

// Writes what changes the terminal's style to `style`: attributes that
// must go take a reset with them, the rest is added to what is there.
// Exact colours are sent as 24-bit on a direct-colour terminal; the rest
// as the nearest of 256 or of 8.
void FrameWriter::WriteStyle(const CellStyle &style, bool exact_colours, std::string *out)
{
    if (style_known_ && style == style_) return;
    std::string params;
    auto add = [&](const std::string &p) {
        if (!params.empty()) params += ';';
        params += p;
    };
    const bool reset = !style_known_ || (style_.attrs & ~style.attrs) != 0 ||
                       (style.fg == kDefaultColour && style_.fg != kDefaultColour) ||
                       (style.bg == kDefaultColour && style_.bg != kDefaultColour);
    if (reset) add("0");
    const uint8_t new_attrs = reset ? style.attrs : static_cast<uint8_t>(style.attrs & ~style_.attrs);
    if (new_attrs & kAttrBold) add("1");
    if (new_attrs & kAttrDim) add("2");
    if (new_attrs & kAttrUnderline) add("4");
    if (new_attrs & kAttrReverse) add("7");
    auto colour = [&](Colour c, bool foreground) {
        if (c == kDefaultColour) return;
        std::string p;
        if (depth_ == ColourDepth::kDirect && exact_colours) {
            p = foreground ? "38;2;" : "48;2;";
            AppendNumber(&p, Red(c));
            p += ';';
            AppendNumber(&p, Green(c));
            p += ';';
            AppendNumber(&p, Blue(c));
        } else if (depth_ == ColourDepth::kDirect || depth_ == ColourDepth::k256) {
            p = foreground ? "38;5;" : "48;5;";
            AppendNumber(&p, Nearest256(c));
        } else {
            AppendNumber(&p, (foreground ? 30 : 40) + Nearest8(c));
        }
        add(p);
    };
    if (reset || style.fg != style_.fg) colour(style.fg, true);
    if (reset || style.bg != style_.bg) colour(style.bg, false);
    *out += "\x1b[" + params + "m";
    style_known_ = true;
    style_ = style;
}

void FrameWriter::PutChar(char32_t ch, std::string *out)
{
    AppendUtf8(out, unicode_ ? ch : PlainFallback(ch));
    x_++;
}

void FrameWriter::Write(const Frame &frame, std::string *out)
{
    const bool whole = last_.width != frame.width || last_.height != frame.height ||
                       last_.cells.size() != frame.cells.size();
    if (whole) {
        *out += "\x1b[0m\x1b[H\x1b[2J";
        style_known_ = false;
        x_ = y_ = 0;
    }
    bool cursor_hidden = false;
    for (int y = 0; y < frame.height; y++) {
        for (int x = 0; x < frame.width; x++) {
            const Cell &cell = frame.At(x, y);
            if (!whole && cell == last_.At(x, y)) continue;
            if (whole && cell == Cell{}) continue;  // the cleared screen already shows it
            if (!cursor_hidden && !whole) {
                // Keep the caret from wandering across the screen as cells are drawn.
                *out += "\x1b[?25l";
                cursor_hidden = true;
            }
            MoveTo(x, y, out);
            const bool content = cell.role == Role::kContent;
            WriteStyle(ChooseCellStyle(cell, depth_, decoration_), content, out);
            const bool shade = content && depth_ == ColourDepth::kNone && cell.ch == U' ';
            PutChar(shade ? Shade(cell.bg, unicode_) : cell.ch, out);
            if (x_ >= frame.width) x_ = y_ = -1;  // the terminal may or may not wrap
        }
    }
    if (frame.caret_visible && frame.Contains(frame.caret_x, frame.caret_y)) {
        MoveTo(frame.caret_x, frame.caret_y, out);
        if (cursor_hidden || whole || !last_.caret_visible) *out += "\x1b[?25h";
    } else if (last_.caret_visible || whole) {
        *out += "\x1b[?25l";
    }
    last_ = frame;
}

}  // namespace platform
