// The terminal screen: shows the platform's frame in the terminal the
// program was started in and reads the person's keys, clicks, pastes and
// resizes, on ncursesw.
#ifndef RGBHSV_PLATFORM_TERMINAL_SCREEN_H
#define RGBHSV_PLATFORM_TERMINAL_SCREEN_H

#include <memory>
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

// Turns frames into the bytes a terminal needs, sending only the cells
// that changed since the last frame. Separate from the terminal itself so
// that what it writes can be measured.
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
    void SetStyle(const Cell &cell, bool swatch_colour, std::string *out);
    void PutChar(char32_t ch, std::string *out);
    void WriteTooSmall(const Frame &frame, std::string *out);

    ColourDepth depth_;
    bool decoration_;
    bool unicode_;
    Frame last_;
    int x_ = -1, y_ = -1;  // where the terminal's cursor is, -1 if unknown
    bool style_known_ = false;
    Colour fg_ = 0, bg_ = 0;
    uint8_t attrs_ = 0;
    bool too_small_shown_ = false;
};

// Opens the terminal, or returns null with the reason in *error.
std::unique_ptr<Screen> OpenTerminalScreen(std::string *error);

}  // namespace platform

#endif
