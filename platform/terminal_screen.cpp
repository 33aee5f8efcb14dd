// The terminal screen on ncursesw. ncurses sets the terminal up, reads and
// decodes keys, clicks and resizes, and restores the terminal at the end;
// frames are written by FrameWriter: only changed cells, in one write, with
// colours as exact as the terminal allows. Leaves out: mouse buttons other
// than the first, drags, the scroll wheel, and Alt combinations.
#include "terminal_screen.h"

#include <curses.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <langinfo.h>
#include <termios.h>
#include <unistd.h>

#include <windows.h>

namespace platform {
namespace {

constexpr mmask_t kMouseEvents = BUTTON1_PRESSED | BUTTON1_CLICKED;

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
void FitEightColours(uint8_t role, Colour *fg, Colour *bg, uint8_t *attrs)
{
    if ((role & kAttrField) && Nearest8(*bg) == 7) *bg = kEightCyan;
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

// --- FrameWriter --------------------------------------------------------------

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

void FrameWriter::SetStyle(const Cell &cell, bool content, std::string *out)
{
    const bool colours = depth_ != ColourDepth::kNone && (decoration_ || content);
    uint8_t attrs = cell.attrs & (kAttrBold | kAttrUnderline | kAttrReverse | kAttrDim);
    Colour fg = kDefaultColour, bg = kDefaultColour;
    if (colours) {
        fg = cell.fg;
        bg = cell.bg;
        if (depth_ == ColourDepth::kBasic8 && !content) FitEightColours(cell.attrs, &fg, &bg, &attrs);
    } else if (!content && (cell.attrs & kAttrCaption)) {
        attrs |= kAttrReverse;
    } else if (!content && (cell.attrs & kAttrField)) {
        attrs |= kAttrUnderline;
    }
    if (style_known_ && attrs == attrs_ && fg == fg_ && bg == bg_) return;

    std::string params;
    auto add = [&](const std::string &p) {
        if (!params.empty()) params += ';';
        params += p;
    };
    const bool reset = !style_known_ || (attrs_ & ~attrs) != 0 || (fg == kDefaultColour && fg_ != kDefaultColour) ||
                       (bg == kDefaultColour && bg_ != kDefaultColour);
    if (reset) add("0");
    const uint8_t new_attrs = reset ? attrs : static_cast<uint8_t>(attrs & ~attrs_);
    if (new_attrs & kAttrBold) add("1");
    if (new_attrs & kAttrDim) add("2");
    if (new_attrs & kAttrUnderline) add("4");
    if (new_attrs & kAttrReverse) add("7");
    auto colour = [&](Colour c, bool foreground) {
        if (c == kDefaultColour) return;
        std::string p;
        if (depth_ == ColourDepth::kDirect && content) {
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
    if (reset || fg != fg_) colour(fg, true);
    if (reset || bg != bg_) colour(bg, false);
    *out += "\x1b[" + params + "m";
    style_known_ = true;
    attrs_ = attrs;
    fg_ = fg;
    bg_ = bg;
}

void FrameWriter::PutChar(char32_t ch, std::string *out)
{
    AppendUtf8(out, unicode_ ? ch : PlainFallback(ch));
    x_++;
}

void FrameWriter::WriteTooSmall(const Frame &frame, std::string *out)
{
    if (too_small_shown_ && last_.width == frame.width && last_.height == frame.height) return;
    std::string message = "rgbhsv needs a terminal of " + std::to_string(frame.needed_width) + " x " +
                          std::to_string(frame.needed_height) + "; this one is " + std::to_string(frame.width) +
                          " x " + std::to_string(frame.height) + ".";
    if (static_cast<int>(message.size()) > frame.width)
        message = "Too small: " + std::to_string(frame.needed_width) + "x" + std::to_string(frame.needed_height);
    *out += "\x1b[0m\x1b[H\x1b[2J\x1b[?25l";
    out->append(message, 0, static_cast<size_t>(std::max(0, frame.width)));
    style_known_ = false;
    x_ = y_ = -1;
    too_small_shown_ = true;
    last_.width = frame.width;
    last_.height = frame.height;
    last_.cells.clear();
}

void FrameWriter::Write(const Frame &frame, std::string *out)
{
    if (!frame.ShowsDialog()) {
        WriteTooSmall(frame, out);
        return;
    }
    const bool whole = too_small_shown_ || last_.width != frame.width || last_.height != frame.height ||
                       last_.cells.size() != frame.cells.size();
    if (whole) {
        *out += "\x1b[0m\x1b[H\x1b[2J";
        style_known_ = false;
        x_ = y_ = 0;
        too_small_shown_ = false;
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
            const bool content = (cell.attrs & kAttrContent) != 0;
            SetStyle(cell, content, out);
            const bool shade = content && (depth_ == ColourDepth::kNone);
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

// --- The terminal -------------------------------------------------------------

namespace {

// What puts the terminal back, kept ready for a signal handler, which may
// call nothing but write and tcsetattr. It stays here, apart from the window
// system's record (system.h), so that a handler needs nothing else.
char g_reset[512];
size_t g_reset_length = 0;
struct termios g_saved_modes;
bool g_have_saved_modes = false;

// A terminfo string capability, or null where the entry has none.
const char *TerminfoString(const char *name)
{
    const char *text = tigetstr(const_cast<char *>(name));
    return text == reinterpret_cast<const char *>(-1) ? nullptr : text;
}

constexpr char kBracketedPasteOn[] = "\x1b[?2004h";

void AppendReset(const char *text)
{
    if (!text) return;
    const size_t n = std::strlen(text);
    if (g_reset_length + n < sizeof g_reset) {
        std::memcpy(g_reset + g_reset_length, text, n);
        g_reset_length += n;
    }
}

void RestoreTerminalNow()
{
    if (g_reset_length) {
        ssize_t ignored = write(STDOUT_FILENO, g_reset, g_reset_length);
        (void)ignored;
    }
    if (g_have_saved_modes) tcsetattr(STDIN_FILENO, TCSANOW, &g_saved_modes);
}

extern "C" void RestoreAndDie(int signal_number)
{
    RestoreTerminalNow();
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

// Set by the suspend handler once the process runs again; the input loop
// then puts the program's terminal modes back and draws everything anew.
volatile sig_atomic_t g_resumed = 0;

void CatchSuspend();

// SIGTSTP (kill -TSTP, or Ctrl+Z below): the terminal goes back to how the
// shell left it, the process stops as it would by default, and when it is
// continued the handler returns here.
extern "C" void SuspendHere(int)
{
    const int saved_errno = errno;
    RestoreTerminalNow();
    struct sigaction stop {};
    stop.sa_handler = SIG_DFL;
    sigemptyset(&stop.sa_mask);
    sigaction(SIGTSTP, &stop, nullptr);
    sigset_t tstp;
    sigemptyset(&tstp);
    sigaddset(&tstp, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &tstp, nullptr);
    raise(SIGTSTP);
    CatchSuspend();
    g_resumed = 1;
    errno = saved_errno;
}

void CatchSuspend()
{
    // No SA_RESTART: a read waiting for a key must return, so that the
    // resume is handled at once.
    struct sigaction suspend {};
    suspend.sa_handler = SuspendHere;
    sigemptyset(&suspend.sa_mask);
    sigaction(SIGTSTP, &suspend, nullptr);
}

class TerminalScreen : public Screen {
public:
    TerminalScreen(SCREEN *screen, WINDOW *input, ColourDepth depth, bool decoration, bool unicode,
                   std::string modes_on)
        : screen_(screen), input_(input), writer_(depth, decoration, unicode), modes_on_(std::move(modes_on))
    {
        if (g_have_saved_modes && g_saved_modes.c_cc[VSUSP] != _POSIX_VDISABLE)
            suspend_char_ = g_saved_modes.c_cc[VSUSP];
    }

    ~TerminalScreen() override
    {
        WriteAll("\x1b[?2004l\x1b[0m\x1b[?25h");
        delwin(input_);
        endwin();
        delscreen(screen_);
        if (g_have_saved_modes) tcsetattr(STDIN_FILENO, TCSANOW, &g_saved_modes);
        g_reset_length = 0;
        std::signal(SIGTSTP, SIG_DFL);
    }

    int Width() const override { return COLS; }
    int Height() const override { return LINES; }

    void Present(const Frame &frame) override
    {
        std::string out;
        writer_.Write(frame, &out);
        WriteAll(out);
    }

    void Beep() override { WriteAll("\a"); }

    bool NextInput(InputEvent *event) override
    {
        for (;;) {
            if (g_resumed) {
                g_resumed = 0;
                Resume();
                *event = ResizeEvent(COLS, LINES);  // lay out and draw everything again
                return true;
            }
            if (!pending_.empty()) {
                *event = pending_.front();
                pending_.pop_front();
                return true;
            }
            wint_t ch;
            errno = 0;
            const int kind = wget_wch(input_, &ch);
            if (kind == ERR) {
                if (errno == EINTR) continue;
                return false;  // the terminal went away
            }
            if (kind == KEY_CODE_YES ? Decode(static_cast<int>(ch), event) : DecodeChar(ch, event)) return true;
        }
    }

private:
    // Back from a stop: every mode set at start is set again, and the next
    // frame is written whole.
    void Resume()
    {
        reset_prog_mode();
        flushinp();  // ncurses keeps the interrupted read's error queued
        WriteAll(modes_on_);
        mousemask(0, nullptr);
        mousemask(kMouseEvents, nullptr);
        refresh();
        writer_.Invalidate();
    }

    void WriteAll(const std::string &text)
    {
        size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = write(STDOUT_FILENO, text.data() + done, text.size() - done);
            if (n > 0)
                done += static_cast<size_t>(n);
            else if (!(n < 0 && errno == EINTR))
                return;
        }
    }

    // The one place terminal keys become the platform's key messages.
    bool Decode(int key, InputEvent *event)
    {
        switch (key) {
        case KEY_BACKSPACE: *event = KeyEvent(VK_BACK); return true;
        case KEY_DC: *event = KeyEvent(VK_DELETE); return true;
        case KEY_LEFT: *event = KeyEvent(VK_LEFT); return true;
        case KEY_RIGHT: *event = KeyEvent(VK_RIGHT); return true;
        case KEY_HOME: *event = KeyEvent(VK_HOME); return true;
        case KEY_END: *event = KeyEvent(VK_END); return true;
        case KEY_SLEFT: *event = KeyEvent(VK_LEFT, true); return true;
        case KEY_SRIGHT: *event = KeyEvent(VK_RIGHT, true); return true;
        case KEY_SHOME: *event = KeyEvent(VK_HOME, true); return true;
        case KEY_SEND: *event = KeyEvent(VK_END, true); return true;
        case KEY_BTAB: *event = KeyEvent(VK_TAB, true); return true;
        case KEY_ENTER: *event = KeyEvent(VK_RETURN); return true;
        case KEY_RESIZE:
            // Let ncurses finish its own work on the resize first, so that
            // nothing of it lands on top of the next frame.
            refresh();
            wrefresh(input_);
            writer_.Invalidate();
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

    bool DecodeChar(wint_t ch, InputEvent *event)
    {
        if (suspend_char_ && ch == static_cast<wint_t>(suspend_char_)) {
            raise(SIGTSTP);  // returns once the process is continued
            return false;
        }
        switch (ch) {
        case 27: return DecodeEscape(event);
        case 3: *event = CloseEvent(); return true;  // Ctrl+C closes, even while the dialog is hidden
        case '\t': *event = KeyEvent(VK_TAB); return true;
        case '\r': case '\n': *event = KeyEvent(VK_RETURN); return true;
        case 8: case 127: *event = KeyEvent(VK_BACK); return true;
        default:
            if (ch < 0x20) return false;
            *event = CharEvent(static_cast<char32_t>(ch));
            return true;
        }
    }

    // Escape alone, or the start of a sequence ncurses does not know: only
    // bracketed paste matters here; the rest is passed over.
    bool DecodeEscape(InputEvent *event)
    {
        std::string sequence;
        nodelay(input_, TRUE);
        wint_t ch;
        while (wget_wch(input_, &ch) == OK) {
            sequence.push_back(static_cast<char>(ch));
            if (sequence.size() > 1 && ch >= 0x40 && ch <= 0x7E) break;
            if (sequence.size() == 1 && ch != '[' && ch != 'O') break;
        }
        nodelay(input_, FALSE);
        if (sequence.empty() || sequence[0] == '\x1b') {
            // A second Escape right behind the first is a key of its own.
            if (!sequence.empty()) unget_wch(27);
            *event = KeyEvent(VK_ESCAPE);
            return true;
        }
        if (sequence == "[200~") ReadPaste();
        return false;
    }

    // Pasted text arrives as typed characters, so the edit field's own rules
    // decide what is taken. Line ends and other controls are passed over.
    void ReadPaste()
    {
        static const std::u32string kEnd = U"\x1b[201~";
        const size_t kLongest = 4096;
        std::u32string text;
        wint_t ch;
        while (text.size() < kLongest && wget_wch(input_, &ch) != ERR) {
            text.push_back(static_cast<char32_t>(ch));
            if (text.size() >= kEnd.size() && text.compare(text.size() - kEnd.size(), kEnd.size(), kEnd) == 0) {
                text.resize(text.size() - kEnd.size());
                break;
            }
        }
        for (char32_t c : text)
            if (c >= 0x20 && c != 0x7F) pending_.push_back(CharEvent(c));
    }

    SCREEN *screen_;
    WINDOW *input_;
    FrameWriter writer_;
    std::string modes_on_;  // what sets the terminal up, written again on resume
    cc_t suspend_char_ = 0;
    std::deque<InputEvent> pending_;
};

}  // namespace

std::unique_ptr<Screen> OpenTerminalScreen(std::string *error)
{
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) {
        *error = "needs a terminal: standard input and output must both be one";
        return nullptr;
    }
    std::setlocale(LC_ALL, "");
    const bool unicode = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    g_have_saved_modes = tcgetattr(STDIN_FILENO, &g_saved_modes) == 0;

    set_escdelay(25);  // Escape must feel instant; ncurses waits a second
    SCREEN *screen = newterm(nullptr, stdout, stdin);
    if (!screen) {
        const char *term = std::getenv("TERM");
        *error = std::string("cannot use terminal type '") + (term ? term : "") + "'";
        return nullptr;
    }
    if (!TerminfoString("cup")) {
        // Nothing has been drawn yet; only the modes need putting back.
        delscreen(screen);
        if (g_have_saved_modes) tcsetattr(STDIN_FILENO, TCSANOW, &g_saved_modes);
        const char *term = std::getenv("TERM");
        *error = std::string("terminal type '") + (term ? term : "") + "' cannot move the cursor";
        return nullptr;
    }
    raw();
    noecho();
    nonl();
    leaveok(stdscr, TRUE);
    WINDOW *input = newwin(1, 1, 0, 0);
    keypad(input, TRUE);
    leaveok(input, TRUE);
    mousemask(kMouseEvents, nullptr);
    mouseinterval(0);
    // ncurses clears the screen on its first refresh; let it, before any
    // frame of ours is there to be cleared.
    refresh();
    wrefresh(input);

    const char *colorterm = std::getenv("COLORTERM");
    const int colours = tigetnum(const_cast<char *>("colors"));
    const bool rgb = tigetflag(const_cast<char *>("RGB")) > 0;
    const char *no_color = std::getenv("NO_COLOR");
    const bool decoration = !(no_color && *no_color);

    g_reset_length = 0;
    AppendReset("\x1b[?2004l\x1b[?1000l\x1b[?1002l\x1b[?1006l\x1b[0m\x1b[?25h");
    AppendReset(TerminfoString("rmkx"));
    AppendReset(TerminfoString("rmcup"));
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) std::signal(s, RestoreAndDie);
    g_resumed = 0;
    CatchSuspend();

    // ncurses set raw input and the mouse up; these are the rest, kept to
    // be written again after a suspend.
    std::string modes_on;
    for (const char *cap : {"smcup", "smkx"})
        if (const char *text = TerminfoString(cap)) modes_on += text;
    modes_on += kBracketedPasteOn;
    modes_on += "\x1b[?25l";
    ssize_t ignored = write(STDOUT_FILENO, kBracketedPasteOn, sizeof kBracketedPasteOn - 1);
    (void)ignored;
    return std::make_unique<TerminalScreen>(screen, input, ChooseColourDepth(colorterm, colours, rgb), decoration,
                                            unicode, std::move(modes_on));
}

}  // namespace platform
