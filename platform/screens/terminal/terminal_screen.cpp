// The terminal screen on ncursesw: ncurses sets the terminal up and reads
// it (terminal_input.cpp), the writer turns frames into bytes
// (terminal_writer.cpp), and the session puts the terminal back on every
// way out (terminal_session.cpp). This file opens the terminal and joins
// the three. Leaves out: terminals that cannot move the cursor, and a
// screen of its own for each window (there is one frame).
#include "terminal_screen.h"

#include <curses.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <langinfo.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "cell_device.h"
#include "terminal_input.h"
#include "terminal_session.h"
#include "terminal_writer.h"

namespace platform {
namespace {

// Clicks as the basic mouse mode reports them, in SGR's encoding where the
// terminal has it: the old one cannot name a column past 223. A terminal
// without SGR ignores the request and sends the old encoding.
constexpr char kMouseOn[] = "\x1b[?1000h\x1b[?1006h";
constexpr char kBracketedPasteOn[] = "\x1b[?2004h";

// A terminfo string capability, or null where the entry has none.
const char *TerminfoString(const char *name)
{
    const char *text = tigetstr(const_cast<char *>(name));
    return text == reinterpret_cast<const char *>(-1) ? nullptr : text;
}

std::string TermName()
{
    const char *term = std::getenv("TERM");
    return term ? term : "";
}

// OSC 52: puts `text` on the terminal's clipboard ("c"), base64-encoded.
std::string ClipboardSequence(const std::string &text)
{
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out = "\x1b]52;c;";
    for (size_t i = 0; i < text.size(); i += 3) {
        const size_t n = std::min<size_t>(3, text.size() - i);
        uint32_t chunk = 0;
        for (size_t k = 0; k < 3; k++)
            chunk = chunk << 8 | (k < n ? static_cast<unsigned char>(text[i + k]) : 0);
        for (size_t k = 0; k < 4; k++) out += k <= n ? kDigits[chunk >> (18 - 6 * k) & 0x3F] : '=';
    }
    return out + "\x1b\\";  // ST, not BEL, which would ring where OSC 52 is refused
}

class TerminalScreen : public Screen {
public:
    TerminalScreen(SCREEN *screen, WINDOW *input, FrameWriter writer, std::string modes_on)
        : screen_(screen), input_window_(input), input_(input, ShellSuspendCharacter()), writer_(std::move(writer)),
          modes_on_(std::move(modes_on)), cells_(COLS, LINES)
    {
    }

    ~TerminalScreen() override
    {
        delwin(input_window_);
        endwin();
        delscreen(screen_);
        RestoreTerminal();
        DisarmRestore();
    }

    Device *OwnDevice() override { return &cells_; }
    int Width() const override { return COLS; }
    int Height() const override { return LINES; }

    void Present() override
    {
        std::string out;
        writer_.Write(cells_.Cells(), &out);
        WriteToTerminal(out);
    }

    void Beep() override { WriteToTerminal("\a"); }

    // What the program copies goes to the terminal's clipboard too, by
    // OSC 52, where the terminal allows it; a paste takes what the program
    // copied (the terminal's own paste arrives as typed text).
    void WriteClipboard(const std::string &text) override
    {
        Screen::WriteClipboard(text);
        WriteToTerminal(ClipboardSequence(text));
    }

    bool NextInput(InputEvent *event) override
    {
        for (;;) {
            if (TakeResume()) {
                Resume();
                cells_.Resize(COLS, LINES);
                *event = ResizeEvent(COLS, LINES);  // lay out and draw everything again
                return true;
            }
            switch (input_.Next(event)) {
            case TerminalInput::Result::kEnd: return false;
            case TerminalInput::Result::kInterrupted: continue;
            case TerminalInput::Result::kEvent:
                if (event->kind == InputEvent::Kind::kResize) {
                    cells_.Resize(event->width, event->height);
                    writer_.Invalidate();
                }
                return true;
            }
        }
    }

private:
    // Back from a stop: every mode set at start is set again, and the next
    // frame is written whole.
    void Resume()
    {
        reset_prog_mode();
        flushinp();  // ncurses keeps the interrupted read's error queued
        // The terminal may have been resized while the program was stopped,
        // when no SIGWINCH reaches it.
        struct winsize size {};
        if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0)
            resize_term(size.ws_row, size.ws_col);
        WriteToTerminal(modes_on_);
        refresh();
        writer_.Invalidate();
    }

    SCREEN *screen_;
    WINDOW *input_window_;
    TerminalInput input_;
    FrameWriter writer_;
    std::string modes_on_;  // what sets the terminal up, written again on resume
    CellDevice cells_;      // what the window system draws, a cell a character
};

// What the terminal can do, found before anything is drawn.
struct TerminalTraits {
    bool unicode = false;
    ColourDepth depth = ColourDepth::kNone;
    bool decoration_colours = true;
};

// Starts ncurses on the terminal and checks that it can show the dialog.
// On failure nothing was drawn, and the shell's modes are back.
SCREEN *ProbeTerminal(TerminalTraits *traits, std::string *error)
{
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
        *error = "needs a terminal: standard input and output must both be one";
        return nullptr;
    }
    std::setlocale(LC_ALL, "");
    traits->unicode = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    SaveShellModes();
    set_escdelay(25);  // Escape must feel instant; ncurses waits a second
    SCREEN *screen = newterm(nullptr, stdout, stdin);
    if (!screen) {
        *error = "cannot use terminal type '" + TermName() + "'";
        return nullptr;
    }
    if (!TerminfoString("cup")) {
        delscreen(screen);
        RestoreShellModes();
        *error = "terminal type '" + TermName() + "' cannot move the cursor";
        return nullptr;
    }
    const char *no_color = std::getenv("NO_COLOR");
    traits->decoration_colours = !(no_color && *no_color);
    traits->depth = ChooseColourDepth(std::getenv("COLORTERM"), tigetnum(const_cast<char *>("colors")),
                                      tigetflag(const_cast<char *>("RGB")) > 0);
    return screen;
}

// What undoes the program's modes, for every way out.
std::string ResetBytes()
{
    std::string reset = "\x1b[?2004l\x1b[?1000l\x1b[?1002l\x1b[?1006l\x1b[0m\x1b[?25h";
    for (const char *cap : {"rmkx", "rmcup"})
        if (const char *text = TerminfoString(cap)) reset += text;
    return reset;
}

// ncurses sets raw input up and enters the alternate screen; these are the
// rest: keypad transmit mode, the mouse, bracketed paste.
std::string InputModesOn()
{
    std::string modes;
    if (const char *text = TerminfoString("smkx")) modes += text;
    return modes + kMouseOn + kBracketedPasteOn;
}

// Every mode the program sets, to be written again after a suspend.
std::string ModesOn()
{
    const char *smcup = TerminfoString("smcup");
    return (smcup ? smcup : "") + InputModesOn() + "\x1b[?25l";
}

// Raw input, no echo; the input window reads characters, which the program
// decodes itself (terminal_input.cpp).
WINDOW *SetInputModes()
{
    raw();
    noecho();
    nonl();
    leaveok(stdscr, TRUE);
    WINDOW *input = newwin(1, 1, 0, 0);
    leaveok(input, TRUE);
    // ncurses clears the screen on its first refresh; let it, before any
    // frame of ours is there to be cleared.
    refresh();
    wrefresh(input);
    return input;
}


}  // namespace

std::unique_ptr<Screen> OpenTerminalScreen(std::string *error)
{
    TerminalTraits traits;
    SCREEN *screen = ProbeTerminal(&traits, error);
    if (!screen) return nullptr;
    WINDOW *input = SetInputModes();
    ArmRestore(ResetBytes());
    WriteToTerminal(InputModesOn());
    return std::make_unique<TerminalScreen>(screen, input,
                                            FrameWriter(traits.depth, traits.decoration_colours, traits.unicode),
                                            ModesOn());
}

}  // namespace platform
