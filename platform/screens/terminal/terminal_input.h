// The terminal's input: the characters ncurses reads, turned into the
// screen's events by the program itself, so that a key is known whatever
// the terminfo entry says. Internal to the terminal screen.
#ifndef RGBHSV_PLATFORM_TERMINAL_INPUT_H
#define RGBHSV_PLATFORM_TERMINAL_INPUT_H

#include <curses.h>
#include <termios.h>

#include <deque>
#include <map>
#include <string>

#include "screen.h"

namespace platform {

class TerminalInput {
public:
    enum class Result { kEvent, kInterrupted, kEnd };

    // `window` reads the characters, with ncurses' own key decoding off.
    TerminalInput(WINDOW *window, cc_t suspend_char);

    // Reads until one event is decoded (kEvent), a signal interrupts the
    // wait or the suspend character stopped the process (kInterrupted), or
    // the terminal went away (kEnd).
    Result Next(InputEvent *event);

private:
    enum class Read { kChar, kKeyCode, kNone, kInterrupted, kEnd };
    Read ReadChar(wint_t *ch, int timeout_ms);
    InputEvent Resized();
    bool DecodeControl(wint_t ch, InputEvent *event);
    bool DecodeEscape(InputEvent *event);
    // The next character of a bracketed paste as an event (true, with
    // `result` set), or nothing yet (false: read on).
    bool NextPasted(InputEvent *event, Result *result);

    WINDOW *window_;
    cc_t suspend_char_;
    // The key strings of the terminfo entry, from after the Escape.
    std::map<std::string, InputEvent> terminfo_keys_;
    std::deque<InputEvent> pending_;
    bool in_paste_ = false;
};

// What one escape sequence (the characters after the Escape) means, if it
// is a key or a click that the screen reports.
bool DecodeEscapeSequence(const std::string &sequence, InputEvent *event);

}  // namespace platform

#endif
