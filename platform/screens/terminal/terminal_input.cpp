// The terminal's input: keys as ncurses decodes them from the terminfo
// entry, characters, the first mouse button, resizes, bracketed pastes and
// the suspend character, turned into the screen's events in one place.
// Leaves out: mouse buttons other than the first, drags, the scroll wheel,
// and Alt combinations.
#include "terminal_input.h"

#include <cerrno>
#include <csignal>
#include <string>

namespace platform {

TerminalInput::Result TerminalInput::Next(InputEvent *event)
{
    for (;;) {
        if (!pending_.empty()) {
            *event = pending_.front();
            pending_.pop_front();
            return Result::kEvent;
        }
        wint_t ch;
        errno = 0;
        const int kind = wget_wch(window_, &ch);
        if (kind == ERR) return errno == EINTR ? Result::kInterrupted : Result::kEnd;
        if (kind != KEY_CODE_YES && suspend_char_ && ch == static_cast<wint_t>(suspend_char_)) {
            raise(SIGTSTP);  // returns once the process is continued
            return Result::kInterrupted;
        }
        if (kind == KEY_CODE_YES ? Decode(static_cast<int>(ch), event) : DecodeChar(ch, event)) return Result::kEvent;
    }
}

bool TerminalInput::Decode(int key, InputEvent *event)
{
    switch (key) {
    case KEY_BACKSPACE: *event = KeyEvent(Key::kBack); return true;
    case KEY_DC: *event = KeyEvent(Key::kDelete); return true;
    case KEY_LEFT: *event = KeyEvent(Key::kLeft); return true;
    case KEY_RIGHT: *event = KeyEvent(Key::kRight); return true;
    case KEY_HOME: *event = KeyEvent(Key::kHome); return true;
    case KEY_END: *event = KeyEvent(Key::kEnd); return true;
    case KEY_SLEFT: *event = KeyEvent(Key::kLeft, kShift); return true;
    case KEY_SRIGHT: *event = KeyEvent(Key::kRight, kShift); return true;
    case KEY_SHOME: *event = KeyEvent(Key::kHome, kShift); return true;
    case KEY_SEND: *event = KeyEvent(Key::kEnd, kShift); return true;
    case KEY_BTAB: *event = KeyEvent(Key::kTab, kShift); return true;
    case KEY_ENTER: *event = KeyEvent(Key::kReturn); return true;
    case KEY_RESIZE:
        // Let ncurses finish its own work on the resize first, so that
        // nothing of it lands on top of the next frame.
        refresh();
        wrefresh(window_);
        *event = ResizeEvent(COLS, LINES);
        return true;
    case KEY_MOUSE: {
        MEVENT mouse;
        if (getmouse(&mouse) != OK || !(mouse.bstate & (BUTTON1_PRESSED | BUTTON1_CLICKED))) return false;
        *event = ClickEvent(mouse.x, mouse.y);
        return true;
    }
    default:
        return false;
    }
}

bool TerminalInput::DecodeChar(wint_t ch, InputEvent *event)
{
    switch (ch) {
    case 27: return DecodeEscape(event);
    case 3: *event = CloseEvent(); return true;  // Ctrl+C closes, even while the dialog is hidden
    case '\t': *event = KeyEvent(Key::kTab); return true;
    case '\r': case '\n': *event = KeyEvent(Key::kReturn); return true;
    case 8: case 127: *event = KeyEvent(Key::kBack); return true;
    default:
        if (ch < 0x20) return false;
        *event = CharEvent(static_cast<char32_t>(ch));
        return true;
    }
}

// Escape alone, or the start of a sequence ncurses does not know: only
// bracketed paste matters here; the rest is passed over.
bool TerminalInput::DecodeEscape(InputEvent *event)
{
    std::string sequence;
    nodelay(window_, TRUE);
    wint_t ch;
    while (wget_wch(window_, &ch) == OK) {
        sequence.push_back(static_cast<char>(ch));
        if (sequence.size() > 1 && ch >= 0x40 && ch <= 0x7E) break;
        if (sequence.size() == 1 && ch != '[' && ch != 'O') break;
    }
    nodelay(window_, FALSE);
    if (sequence.empty() || sequence[0] == '\x1b') {
        // A second Escape right behind the first is a key of its own.
        if (!sequence.empty()) unget_wch(27);
        *event = KeyEvent(Key::kEscape);
        return true;
    }
    if (sequence == "[200~") ReadPaste();
    return false;
}

// Pasted text arrives as typed characters, so the edit field's own rules
// decide what is taken. Line ends and other controls are passed over.
void TerminalInput::ReadPaste()
{
    static const std::u32string kEnd = U"\x1b[201~";
    const size_t kLongest = 4096;
    std::u32string text;
    wint_t ch;
    while (text.size() < kLongest && wget_wch(window_, &ch) != ERR) {
        text.push_back(static_cast<char32_t>(ch));
        if (text.size() >= kEnd.size() && text.compare(text.size() - kEnd.size(), kEnd.size(), kEnd) == 0) {
            text.resize(text.size() - kEnd.size());
            break;
        }
    }
    for (char32_t c : text)
        if (c >= 0x20 && c != 0x7F) pending_.push_back(CharEvent(c));
}

}  // namespace platform
