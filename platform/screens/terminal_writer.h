// The terminal writer: turns the platform's frames into the bytes a
// terminal needs, sending only the cells that changed, with colours as
// exact as the terminal allows. It knows nothing of curses or of the
// terminal device, so that what it writes can be measured and replayed.
#ifndef RGBHSV_PLATFORM_TERMINAL_WRITER_H
#define RGBHSV_PLATFORM_TERMINAL_WRITER_H

#include <string>

#include "screen.h"

namespace platform {

// How colours reach the terminal.
enum class ColourDepth { kNone, kBasic8, k256, kDirect };

// Chooses the colour depth from the environment and terminfo: direct colour
// where COLORTERM says truecolor or 24bit or the terminfo entry has RGB;
// otherwise what the entry's colour count allows.
ColourDepth ChooseColourDepth(const char *colorterm, int terminfo_colours, bool terminfo_rgb);
// The nearest colour of the xterm 256-colour cube and grey ramp (16-255).
int Nearest256(Colour colour);

// How one cell is shown: its colours (kDefaultColour for the terminal's
// own) and the attributes that stand in where colours cannot.
struct CellStyle {
    Colour fg = kDefaultColour;
    Colour bg = kDefaultColour;
    uint8_t attrs = kAttrNone;  // kAttrBold, kAttrDim, kAttrUnderline, kAttrReverse only
    bool operator==(const CellStyle &) const = default;
};

// Which style a cell gets on a terminal of `depth`: the cell's own colours,
// fitted to eight colours, or none at all under NO_COLOR (decoration off)
// or on a terminal without colour, where roles are shown by attributes.
CellStyle ChooseCellStyle(const Cell &cell, ColourDepth depth, bool decoration_colours);

class FrameWriter {
public:
    FrameWriter(ColourDepth depth, bool decoration_colours, bool unicode)
        : depth_(depth), decoration_(decoration_colours), unicode_(unicode)
    {
    }
    // Appends to `out` what takes the terminal from the last frame to this.
    void Write(const Frame &frame, std::string *out);
    // Forget what the terminal shows: the next frame is written whole.
    void Invalidate() { last_.width = -1; }

private:
    void MoveTo(int x, int y, std::string *out);
    void WriteStyle(const CellStyle &style, bool exact_colours, std::string *out);
    void PutChar(char32_t ch, std::string *out);

    ColourDepth depth_;
    bool decoration_;
    bool unicode_;
    Frame last_;
    int x_ = -1, y_ = -1;  // where the terminal's cursor is, -1 if unknown
    bool style_known_ = false;
    CellStyle style_;
};

}  // namespace platform

#endif
