// The terminal's input: characters, control keys, escape sequences for the
// caret keys, Insert and Delete with their modifiers (the forms terminals
// actually send, besides the terminfo entry's own), Alt as an Escape before
// a key, clicks in both mouse encodings, bracketed pastes, resizes and the
// suspend character, turned into the screen's events in one place.
// Leaves out: mouse buttons other than the first, drags, the wheel, function
// keys, and the keypad's own keys beyond Enter.
#include "terminal_input.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <vector>

namespace platform {
namespace {

// How long the rest of an escape sequence may take to arrive before the
// Escape counts as a key of its own.
constexpr int kEscapeWaitMs = 25;
constexpr size_t kLongestSequence = 32;
// Inside a paste the terminal writes the closing bracket at once; this only
// bounds the wait for one that never comes.
constexpr int kPasteWaitMs = 1000;

// xterm's modifier parameter: 1 + Shift (1) + Alt (2) + Ctrl (4).
uint8_t ModifiersOfParameter(int parameter)
{
    const int bits = parameter > 1 ? parameter - 1 : 0;
    return static_cast<uint8_t>(((bits & 1) ? kShift : 0) | ((bits & 2) ? kAlt : 0) | ((bits & 4) ? kCtrl : 0));
}

bool CaretKeyOfFinal(char final, Key *key)
{
    switch (final) {
    case 'A': *key = Key::kUp; return true;
    case 'B': *key = Key::kDown; return true;
    case 'C': *key = Key::kRight; return true;
    case 'D': *key = Key::kLeft; return true;
    case 'H': *key = Key::kHome; return true;
    case 'F': *key = Key::kEnd; return true;
    default: return false;
    }
}

// The keys of the "ESC [ n ~" family: VT220's and rxvt's numbers.
bool KeyOfNumber(int number, Key *key)
{
    switch (number) {
    case 1: case 7: *key = Key::kHome; return true;
    case 4: case 8: *key = Key::kEnd; return true;
    case 2: *key = Key::kInsert; return true;
    case 3: *key = Key::kDelete; return true;
    default: return false;
    }
}

std::vector<int> Parameters(const std::string &body)
{
    std::vector<int> numbers(1, 0);
    for (char c : body) {
        if (c == ';')
            numbers.push_back(0);
        else if (c >= '0' && c <= '9')
            numbers.back() = numbers.back() * 10 + (c - '0');
    }
    return numbers;
}

// A press of the first button, with no motion or wheel bits, is a click.
bool IsFirstButtonPress(int button)
{
    return (button & 3) == 0 && !(button & (32 | 64 | 128));
}

bool DecodeCsi(const std::string &sequence, InputEvent *event)
{
    if (sequence.size() == 5 && sequence.compare(0, 2, "[M") == 0) {
        // The old mouse encoding: button, column and row, each plus 32.
        const int button = static_cast<unsigned char>(sequence[2]) - 32;
        if (!IsFirstButtonPress(button)) return false;
        *event = ClickEvent(static_cast<unsigned char>(sequence[3]) - 33, static_cast<unsigned char>(sequence[4]) - 33);
        return true;
    }
    const char final = sequence.back();
    const std::string body = sequence.substr(1, sequence.size() - 2);
    const std::vector<int> p = Parameters(body);
    if (!body.empty() && body[0] == '<') {
        // SGR mouse reports: button;column;row, M for a press, m for a release.
        if (final != 'M' || p.size() != 3 || !IsFirstButtonPress(p[0])) return false;
        *event = ClickEvent(p[1] - 1, p[2] - 1);
        return true;
    }
    if (!body.empty() && (body[0] < '0' || body[0] > '9') && body[0] != ';') return false;
    const uint8_t modifiers = p.size() > 1 ? ModifiersOfParameter(p[1]) : 0;
    Key key;
    if (CaretKeyOfFinal(final, &key)) {
        *event = KeyEvent(key, modifiers);
        return true;
    }
    if (final >= 'a' && final <= 'd') {  // rxvt's Shift with an arrow
        CaretKeyOfFinal(static_cast<char>(final - 'a' + 'A'), &key);
        *event = KeyEvent(key, kShift);
        return true;
    }
    if (final == 'Z') {
        *event = KeyEvent(Key::kTab, kShift);
        return true;
    }
    // "~", and rxvt's "$" (Shift), "^" (Ctrl) and "@" (Ctrl+Shift).
    const uint8_t rxvt = final == '$' ? kShift : final == '^' ? kCtrl : final == '@' ? (kCtrl | kShift) : 0;
    if ((final == '~' || rxvt) && KeyOfNumber(p[0], &key)) {
        *event = KeyEvent(key, static_cast<uint8_t>(modifiers | rxvt));
        return true;
    }
    return false;
}

bool DecodeSs3(const std::string &sequence, InputEvent *event)
{
    const char final = sequence.back();
    // Some terminals put the modifier parameter between O and the key.
    const uint8_t modifiers = sequence.size() == 3 && sequence[1] >= '0' && sequence[1] <= '9'
                                  ? ModifiersOfParameter(sequence[1] - '0')
                                  : 0;
    Key key;
    if (CaretKeyOfFinal(final, &key)) {
        *event = KeyEvent(key, modifiers);
        return true;
    }
    if (final >= 'a' && final <= 'd') {  // rxvt's Ctrl with an arrow
        CaretKeyOfFinal(static_cast<char>(final - 'a' + 'A'), &key);
        *event = KeyEvent(key, kCtrl);
        return true;
    }
    if (final == 'M') {
        *event = KeyEvent(Key::kReturn);
        return true;
    }
    return false;
}

}  // namespace

bool DecodeEscapeSequence(const std::string &sequence, InputEvent *event)
{
    if (sequence.size() < 2) return false;
    if (sequence[0] == '[') return DecodeCsi(sequence, event);
    if (sequence[0] == 'O') return DecodeSs3(sequence, event);
    return false;
}

TerminalInput::TerminalInput(WINDOW *window, cc_t suspend_char) : window_(window), suspend_char_(suspend_char)
{
    static const struct {
        const char *capability;
        Key key;
        uint8_t modifiers;
    } kCapabilities[] = {
        {"kcuu1", Key::kUp, 0},    {"kcud1", Key::kDown, 0},       {"kcub1", Key::kLeft, 0},
        {"kcuf1", Key::kRight, 0}, {"khome", Key::kHome, 0},       {"kend", Key::kEnd, 0},
        {"kich1", Key::kInsert, 0}, {"kdch1", Key::kDelete, 0},    {"kcbt", Key::kTab, kShift},
        {"kLFT", Key::kLeft, kShift}, {"kRIT", Key::kRight, kShift}, {"kHOM", Key::kHome, kShift},
        {"kEND", Key::kEnd, kShift}, {"kDC", Key::kDelete, kShift}, {"kIC", Key::kInsert, kShift},
    };
    for (const auto &c : kCapabilities) {
        const char *text = tigetstr(const_cast<char *>(c.capability));
        if (text && text != reinterpret_cast<const char *>(-1) && text[0] == '\x1b' && text[1])
            terminfo_keys_[text + 1] = KeyEvent(c.key, c.modifiers);
    }
}

TerminalInput::Read TerminalInput::ReadChar(wint_t *ch, int timeout_ms)
{
    wtimeout(window_, timeout_ms);
    errno = 0;
    const int kind = wget_wch(window_, ch);
    wtimeout(window_, -1);
    if (kind == ERR) {
        if (errno == EINTR) return Read::kInterrupted;
        return timeout_ms >= 0 ? Read::kNone : Read::kEnd;
    }
    return kind == KEY_CODE_YES ? Read::kKeyCode : Read::kChar;
}

// Lets ncurses finish its own work on a resize first, so that nothing of it
// lands on top of the next frame.
InputEvent TerminalInput::Resized()
{
    refresh();
    wrefresh(window_);
    return ResizeEvent(COLS, LINES);
}

TerminalInput::Result TerminalInput::Next(InputEvent *event)
{
    for (;;) {
        if (!pending_.empty()) {
            *event = pending_.front();
            pending_.pop_front();
            return Result::kEvent;
        }
        if (in_paste_) {
            Result result;
            if (NextPasted(event, &result)) return result;
            continue;
        }
        wint_t ch;
        switch (ReadChar(&ch, -1)) {
        case Read::kInterrupted: return Result::kInterrupted;
        case Read::kEnd:
        case Read::kNone: return Result::kEnd;
        case Read::kKeyCode:
            if (ch != KEY_RESIZE) continue;
            *event = Resized();
            return Result::kEvent;
        case Read::kChar: break;
        }
        if (suspend_char_ && ch == static_cast<wint_t>(suspend_char_)) {
            raise(SIGTSTP);  // returns once the process is continued
            return Result::kInterrupted;
        }
        if (ch == 27 ? DecodeEscape(event) : DecodeControl(ch, event)) return Result::kEvent;
    }
}

bool TerminalInput::DecodeControl(wint_t ch, InputEvent *event)
{
    switch (ch) {
    case 3: *event = CloseEvent(); return true;  // Ctrl+C closes, even while the dialog is hidden
    case '\t': *event = KeyEvent(Key::kTab); return true;
    case '\r': case '\n': *event = KeyEvent(Key::kReturn); return true;
    case 8: case 127: *event = KeyEvent(Key::kBack); return true;
    default: break;
    }
    if (ch >= 1 && ch <= 26) {
        *event = CharEvent(static_cast<char32_t>('a' + ch - 1), kCtrl);
        return true;
    }
    if (ch < 0x20) return false;
    *event = CharEvent(static_cast<char32_t>(ch));
    return true;
}

// After an Escape: nothing soon after it is the Escape key; a second Escape
// is an Escape key and then the start of something else; "[" or "O" begins
// a sequence; any other key is that key with Alt.
bool TerminalInput::DecodeEscape(InputEvent *event)
{
    wint_t ch;
    if (ReadChar(&ch, kEscapeWaitMs) != Read::kChar) {
        *event = KeyEvent(Key::kEscape);
        return true;
    }
    if (ch == 27) {
        unget_wch(27);
        *event = KeyEvent(Key::kEscape);
        return true;
    }
    if (ch != '[' && ch != 'O') {
        if (ch == 127 || ch == 8) *event = KeyEvent(Key::kBack, kAlt);
        else if (ch >= 0x20) *event = CharEvent(static_cast<char32_t>(ch), kAlt);
        else return false;  // Alt with a control key: nothing here
        return true;
    }
    std::string sequence(1, static_cast<char>(ch));
    for (;;) {
        if (ReadChar(&ch, kEscapeWaitMs) != Read::kChar) break;
        sequence.push_back(static_cast<char>(ch));
        if (sequence == "[M") {
            // The old mouse encoding: three raw characters follow.
            for (int i = 0; i < 3 && ReadChar(&ch, kEscapeWaitMs) == Read::kChar; i++)
                sequence.push_back(static_cast<char>(ch));
            break;
        }
        const bool final = ch >= 0x40 && ch <= 0x7E && !(sequence[0] == '[' && sequence.size() == 2 && ch == '[');
        if ((final && sequence.size() > 1) || sequence.size() >= kLongestSequence) break;
    }
    if (sequence == "[200~") {
        in_paste_ = true;
        return false;
    }
    const auto known = terminfo_keys_.find(sequence);
    if (known != terminfo_keys_.end()) {
        *event = known->second;
        return true;
    }
    return DecodeEscapeSequence(sequence, event);
}

// Pasted text arrives as typed characters, so the edit field's own rules
// decide what is taken and what is dropped. Nothing between the brackets is
// ever a key, however long the paste: line ends, Tab, Ctrl+C, the suspend
// character and Escapes are passed over, and the paste is read a character
// at a time, so that its length costs no memory.
bool TerminalInput::NextPasted(InputEvent *event, Result *result)
{
    static const std::string kEnd = "[201~";
    wint_t ch;
    switch (ReadChar(&ch, -1)) {
    case Read::kInterrupted: *result = Result::kInterrupted; return true;
    case Read::kEnd:
    case Read::kNone: *result = Result::kEnd; return true;
    case Read::kKeyCode:
        if (ch != KEY_RESIZE) return false;
        *event = Resized();
        *result = Result::kEvent;
        return true;
    case Read::kChar: break;
    }
    if (ch != 27) {
        if (ch < 0x20 || ch == 0x7F) return false;
        *event = CharEvent(static_cast<char32_t>(ch));
        *result = Result::kEvent;
        return true;
    }
    // An Escape: the closing bracket, or pasted text that begins with one.
    std::string after;
    while (after.size() < kEnd.size()) {
        if (ReadChar(&ch, kPasteWaitMs) != Read::kChar) break;
        if (ch != static_cast<unsigned char>(kEnd[after.size()])) {
            unget_wch(ch);
            break;
        }
        after.push_back(static_cast<char>(ch));
    }
    if (after == kEnd) {
        in_paste_ = false;
        return false;
    }
    for (char c : after) pending_.push_back(CharEvent(static_cast<char32_t>(c)));
    return false;
}

}  // namespace platform
