// The terminal's input: what ncurses reads, turned into the screen's events.
// Internal to the terminal screen.
#ifndef RGBHSV_PLATFORM_TERMINAL_INPUT_H
#define RGBHSV_PLATFORM_TERMINAL_INPUT_H

#include <curses.h>
#include <termios.h>

#include <deque>

#include "screen.h"

namespace platform {

class TerminalInput {
public:
    enum class Result { kEvent, kInterrupted, kEnd };

    TerminalInput(WINDOW *window, cc_t suspend_char) : window_(window), suspend_char_(suspend_char) {}

    // Reads until one event is decoded (kEvent), a signal interrupts the
    // wait or the suspend character stopped the process (kInterrupted), or
    // the terminal went away (kEnd).
    Result Next(InputEvent *event);

private:
    bool Decode(int key, InputEvent *event);
    bool DecodeChar(wint_t ch, InputEvent *event);
    bool DecodeEscape(InputEvent *event);
    void ReadPaste();

    WINDOW *window_;
    cc_t suspend_char_;
    std::deque<InputEvent> pending_;
};

}  // namespace platform

#endif
