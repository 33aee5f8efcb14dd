// The seam between the platform's window system and what shows it: the
// screen's own device, which the window system draws on (device.h: cells
// or pixels), and the person's keys and clicks. Its backends are the
// in-memory screen (tests), the terminal screen, the browser screen and the
// desktop window; none knows about windows or virtual-key codes.
#ifndef RGBHSV_PLATFORM_SCREEN_H
#define RGBHSV_PLATFORM_SCREEN_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "resource_reader.h"

namespace platform {

class Device;

// Appends a character as UTF-8.
void AppendUtf8(std::string *out, char32_t c);
// The characters of UTF-8 text; a malformed byte becomes U+FFFD.
std::u32string DecodeUtf8(std::string_view text);

// A colour as the Windows COLORREF layout 0x00BBGGRR, or kDefaultColour for
// the backend's own (a terminal's default foreground or background).
using Colour = uint32_t;
constexpr Colour kDefaultColour = 0xFF000000u;

enum CellAttribute : uint8_t {
    kAttrNone = 0,
    kAttrBold = 1,
    kAttrUnderline = 2,
    kAttrReverse = 4,
    kAttrDim = 64,
};

// What a cell is part of, for a backend that cannot show its colours and
// must set it apart another way: the caption bar, an edit field's box, or
// the program's own drawing (the swatch), whose colour is content, not
// decoration, so that a terminal told NO_COLOR still shows it.
enum class Role : uint8_t { kNone, kCaption, kField, kContent };

struct Cell {
    char32_t ch = U' ';
    Colour fg = kDefaultColour;
    Colour bg = kDefaultColour;
    uint8_t attrs = kAttrNone;
    Role role = Role::kNone;
    bool operator==(const Cell &) const = default;
};

// What the screen should show: the cells, row by row, and the caret.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<Cell> cells;
    bool caret_visible = false;
    int caret_x = 0;
    int caret_y = 0;

    void Resize(int w, int h)
    {
        width = w;
        height = h;
        cells.assign(static_cast<size_t>(w * h), Cell{});
    }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    Cell &At(int x, int y) { return cells[static_cast<size_t>(y * width + x)]; }
    const Cell &At(int x, int y) const { return cells[static_cast<size_t>(y * width + x)]; }
    // The characters of one row, as UTF-8, for tests and messages.
    std::string RowText(int y) const;
};

// The keys a screen reports besides characters, named for what they are.
// The dialog manager turns them into the platform's virtual keys.
enum class Key : uint8_t {
    kNone,
    kBack,
    kTab,
    kReturn,
    kEscape,
    kLeft,
    kRight,
    kUp,
    kDown,
    kHome,
    kEnd,
    kInsert,
    kDelete,
    kF4,
};

// Modifier keys held with a key or a character, as bits.
enum Modifier : uint8_t { kShift = 1, kCtrl = 2, kAlt = 4 };

// One thing the person did. The first button pressed (kClick), the pointer
// moved while it is held (kDrag) and let go (kRelease); the screen's window
// given the keyboard's focus or losing it to another (kActivate,
// kDeactivate); the screen's density changed, its dialog to be laid out
// afresh (kRescale).
struct InputEvent {
    enum class Kind { kKey, kChar, kClick, kDrag, kRelease, kResize, kClose, kActivate, kDeactivate, kRescale };
    Kind kind = Kind::kKey;
    Key key = Key::kNone;   // kKey
    uint8_t modifiers = 0;  // kKey, kChar, kClick: Modifier bits
    char32_t ch = 0;        // kChar: the character typed; with Ctrl or Alt, a letter
    int x = 0, y = 0;      // kClick, kDrag: the screen cell or pixel under the pointer
    int clicks = 1;        // kClick: 2 for the second press of a double click
    bool touch = false;    // kClick: a finger's tap rather than a mouse's click
    int width = 0, height = 0;  // kResize: the screen's new size, its device already resized to it
};

// Events as a backend or a test makes them.
inline InputEvent KeyEvent(Key key, uint8_t modifiers = 0)
{
    InputEvent e;
    e.kind = InputEvent::Kind::kKey;
    e.key = key;
    e.modifiers = modifiers;
    return e;
}

inline InputEvent CharEvent(char32_t ch, uint8_t modifiers = 0)
{
    InputEvent e;
    e.kind = InputEvent::Kind::kChar;
    e.ch = ch;
    e.modifiers = modifiers;
    return e;
}

inline InputEvent ClickEvent(int x, int y, uint8_t modifiers = 0, int clicks = 1, bool touch = false)
{
    InputEvent e;
    e.kind = InputEvent::Kind::kClick;
    e.x = x;
    e.y = y;
    e.modifiers = modifiers;
    e.clicks = clicks;
    e.touch = touch;
    return e;
}

// An event that carries no more than its kind, or its kind and a point.
inline InputEvent EventOf(InputEvent::Kind kind, int x = 0, int y = 0)
{
    InputEvent e;
    e.kind = kind;
    e.x = x;
    e.y = y;
    return e;
}

inline InputEvent ResizeEvent(int width, int height)
{
    InputEvent e;
    e.kind = InputEvent::Kind::kResize;
    e.width = width;
    e.height = height;
    return e;
}

// The person asked to close by a means that works even while the dialog
// cannot be seen (Ctrl+C, the end of input).
inline InputEvent CloseEvent()
{
    InputEvent e;
    e.kind = InputEvent::Kind::kClose;
    return e;
}

// What a screen reader is told about one control: its part, what it is
// called and holds, its state, and the cells it covers. The window system
// describes its windows this way to a screen that asks (the page's
// accessibility tree), so that the screen never sees a window.
struct AccessibleNode {
    enum class Role { kDialog, kTextField, kButton, kText, kGraphic, kCloseButton };
    Role role = Role::kText;
    int id = 0;              // the control's identifier, 0 for the dialog and its close box
    std::string name;        // the control's own text (a dialog's caption, a label, a button's face)
    std::string value;       // a text field's text
    bool focused = false;
    bool disabled = false;
    int selection_start = 0, selection_end = 0;  // a text field's selection, the caret where they meet
    Colour colour = kDefaultColour;              // a graphic's colour, where its cells share one
    int x = 0, y = 0, width = 0, height = 0;     // in the screen's units: cells or pixels
};

// What a screen reader calls the controls that have no text of their own,
// by control identifier: the fields, and the swatch, whose colour is added.
struct ControlName {
    int id;
    const char *name;
};
using ControlNames = std::vector<ControlName>;

class Screen {
public:
    virtual ~Screen() = default;
    // The device the window system draws on: the screen's own, cells or
    // pixels, which only the screen resizes.
    virtual Device *OwnDevice() = 0;
    // Asked to take the size a dialog needs: a screen whose size is its own
    // to choose (a window, the page) takes it, its device resized; others
    // keep theirs.
    virtual void Fit(int /*width*/, int /*height*/) {}
    // A screen whose windows get their title bars from a window manager
    // (a desktop window) shows a dialog's caption there.
    virtual void ShowCaption(const std::string & /*caption*/) {}
    // ... and a top-level window's icons, each size once, the most
    // colourful image of it.
    virtual void ShowIcons(const std::vector<IconImage> & /*images*/) {}
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Shows what its device holds. Backends send only what changed since
    // the last time.
    virtual void Present() = 0;
    virtual void Beep() = 0;
    // Waits for the next event. False when no more will come.
    virtual bool NextInput(InputEvent *event) = 0;
    // The person's clipboard, as UTF-8: a copy or cut puts text there, a
    // paste takes it. A screen that cannot reach a clipboard keeps its own.
    virtual void WriteClipboard(const std::string &text) { clipboard_ = text; }
    virtual std::string ReadClipboard() { return clipboard_; }
    // True for a screen that tells a screen reader about the controls; it
    // is then told after every frame, and before every beep.
    virtual bool DescribesControls() const { return false; }
    virtual void Describe(const std::vector<AccessibleNode> &) {}
    // ... and what it should say now: a beep, or a number refused and what
    // the field holds instead.
    virtual void Announce(const std::string & /*text*/) {}

protected:
    std::string clipboard_;
};

}  // namespace platform

#endif
