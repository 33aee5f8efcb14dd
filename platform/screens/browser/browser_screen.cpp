// The browser screen, for emscripten builds. Each frame goes to the page
// whole (a dialog is a few hundred cells), where web/screen.js draws it as
// text: sharp at any zoom, the swatch in its exact colour. Waiting for the
// next event suspends the program (ASYNCIFY) until the page has one, so the
// modal loop runs unchanged and the page never freezes. The grid takes the
// running dialog's size, and the page scales it to its width. A copy goes
// to the browser's clipboard; a paste brings the browser's clipboard text
// with it. Leaves out: mouse buttons other than the first, drags, the wheel.
#include "browser_screen.h"

#include <emscripten.h>

#include <cstddef>
#include <cstdio>
#include <string>

namespace platform {
namespace {

static_assert(sizeof(Cell) == 16 && offsetof(Cell, attrs) == 12 && offsetof(Cell, role) == 13,
              "screen.js reads cells with this layout");

EM_JS(void, JsPresent, (const Cell *cells, int width, int height, int caret_visible, int caret_x, int caret_y), {
    Module.rgbhsvScreen.present(cells, width, height, caret_visible, caret_x, caret_y);
});

EM_JS(void, JsBeep, (), { Module.rgbhsvScreen.beep(); });

EM_JS(void, JsEnded, (int status), { Module.rgbhsvScreen.ended(status); });

EM_JS(void, JsCopy, (const char *text), { Module.rgbhsvScreen.copy(UTF8ToString(text)); });

// The controls, for the page's accessibility tree: JSON, parsed there.
EM_JS(void, JsDescribe, (const char *json), { Module.rgbhsvScreen.describe(JSON.parse(UTF8ToString(json))); });

// The text of the page's last paste, as UTF-8 into `buffer`; its length.
EM_JS(int, JsPastedText, (char *buffer, int size), {
    const text = Module.rgbhsvScreen.pastedText();
    stringToUTF8(text, buffer, size);
    return Math.min(lengthBytesUTF8(text), size - 1);
});

// Fills out[0..4] with what the page saw next: kind, key or character,
// the modifiers, and a cell's column and row.
EM_ASYNC_JS(void, JsNextEvent, (int *out), {
    const event = await Module.rgbhsvScreen.nextEvent();
    for (let i = 0; i < 5; i++) HEAP32[(out >> 2) + i] = event[i];
});

// The page's event kinds and keys, as screen.js numbers them.
enum PageEvent { kPageKey = 1, kPageChar = 2, kPageClick = 3, kPagePaste = 4 };
enum PageKey {
    kPageBack = 1, kPageTab, kPageEnter, kPageEscape, kPageLeft, kPageRight, kPageHome, kPageEnd, kPageDelete,
    kPageUp, kPageDown, kPageInsert
};
enum PageModifier { kPageShift = 1, kPageCtrl = 2, kPageAlt = 4 };

// The one place page keys become the screen's keys. A paste is the paste
// key, Ctrl+V, once its text is the screen's clipboard.
bool Decode(const int *page, InputEvent *event)
{
    const uint8_t modifiers = static_cast<uint8_t>(((page[2] & kPageShift) ? kShift : 0) |
                                                   ((page[2] & kPageCtrl) ? kCtrl : 0) | ((page[2] & kPageAlt) ? kAlt : 0));
    switch (page[0]) {
    case kPageChar:
        *event = CharEvent(static_cast<char32_t>(page[1]), modifiers);
        return true;
    case kPagePaste:
        *event = CharEvent(U'v', kCtrl);
        return true;
    case kPageClick:
        *event = ClickEvent(page[3], page[4]);
        return true;
    case kPageKey:
        switch (page[1]) {
        case kPageBack: *event = KeyEvent(Key::kBack, modifiers); return true;
        case kPageTab: *event = KeyEvent(Key::kTab, modifiers); return true;
        case kPageEnter: *event = KeyEvent(Key::kReturn, modifiers); return true;
        case kPageEscape: *event = KeyEvent(Key::kEscape, modifiers); return true;
        case kPageLeft: *event = KeyEvent(Key::kLeft, modifiers); return true;
        case kPageRight: *event = KeyEvent(Key::kRight, modifiers); return true;
        case kPageHome: *event = KeyEvent(Key::kHome, modifiers); return true;
        case kPageEnd: *event = KeyEvent(Key::kEnd, modifiers); return true;
        case kPageDelete: *event = KeyEvent(Key::kDelete, modifiers); return true;
        case kPageUp: *event = KeyEvent(Key::kUp, modifiers); return true;
        case kPageDown: *event = KeyEvent(Key::kDown, modifiers); return true;
        case kPageInsert: *event = KeyEvent(Key::kInsert, modifiers); return true;
        default: return false;
        }
    default:
        return false;
    }
}

void AppendJsonString(std::string *out, const std::string &text)
{
    *out += '"';
    for (char c : text) {
        if (c == '"' || c == '\\') {
            *out += '\\';
            *out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            *out += escaped;
        } else {
            *out += c;
        }
    }
    *out += '"';
}

void AppendNumber(std::string *out, int n)
{
    if (n < 0) {
        *out += '-';
        n = -n;
    }
    char digits[12];
    int used = 0;
    do {
        digits[used++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n);
    while (used) *out += digits[--used];
}

const char *RoleName(AccessibleNode::Role role)
{
    switch (role) {
    case AccessibleNode::Role::kDialog: return "dialog";
    case AccessibleNode::Role::kTextField: return "textbox";
    case AccessibleNode::Role::kButton: return "button";
    case AccessibleNode::Role::kText: return "text";
    case AccessibleNode::Role::kGraphic: return "img";
    case AccessibleNode::Role::kCloseButton: return "close";
    }
    return "text";
}

class BrowserScreen : public Screen {
public:
    explicit BrowserScreen(ControlNames names) : names_(std::move(names)) {}

    int Width() const override { return width_; }
    int Height() const override { return height_; }

    void Present(const Frame &frame) override
    {
        // The grid takes the dialog's own size: until the frame has it too,
        // nothing is shown.
        if (frame.width != width_ || frame.height != height_) return;
        JsPresent(frame.cells.data(), frame.width, frame.height, frame.caret_visible, frame.caret_x, frame.caret_y);
    }

    void Fit(int width, int height) override
    {
        if (width == width_ && height == height_) return;
        width_ = width;
        height_ = height;
        resize_pending_ = true;
    }

    void Beep() override { JsBeep(); }

    bool DescribesControls() const override { return true; }

    // The nodes as JSON, with the page's names for controls that have no
    // text of their own; a graphic's name says its colour.
    void Describe(const std::vector<AccessibleNode> &nodes) override
    {
        std::string json = "[";
        for (const AccessibleNode &n : nodes) {
            std::string name = n.name;
            for (const ControlName &named : names_)
                if (n.id != 0 && named.id == n.id) name = named.name;
            if (n.role == AccessibleNode::Role::kGraphic && n.colour != kDefaultColour) {
                char hex[16];
                std::snprintf(hex, sizeof hex, ", #%02X%02X%02X", n.colour & 0xFF, n.colour >> 8 & 0xFF,
                              n.colour >> 16 & 0xFF);
                name += hex;
            }
            if (json.size() > 1) json += ',';
            json += "{\"role\":\"";
            json += RoleName(n.role);
            json += "\",\"id\":";
            AppendNumber(&json, n.id);
            json += ",\"name\":";
            AppendJsonString(&json, name);
            json += ",\"value\":";
            AppendJsonString(&json, n.value);
            json += n.focused ? ",\"focused\":true" : ",\"focused\":false";
            json += n.disabled ? ",\"disabled\":true" : ",\"disabled\":false";
            const int numbers[] = {n.selection_start, n.selection_end, n.x, n.y, n.width, n.height};
            for (int i = 0; i < 6; i++) {
                json += i == 0 ? ",\"selection\":[" : i == 2 ? "],\"cells\":[" : ",";
                AppendNumber(&json, numbers[i]);
            }
            json += "]}";
        }
        json += "]";
        if (json != described_) JsDescribe(json.c_str());
        described_ = json;
    }

    void WriteClipboard(const std::string &text) override
    {
        Screen::WriteClipboard(text);
        JsCopy(text.c_str());
    }

    bool NextInput(InputEvent *event) override
    {
        if (resize_pending_) {
            resize_pending_ = false;
            *event = ResizeEvent(width_, height_);
            return true;
        }
        for (;;) {
            int page[5] = {};
            JsNextEvent(page);
            if (page[0] == kPagePaste) {
                char text[4096];
                clipboard_.assign(text, static_cast<size_t>(JsPastedText(text, sizeof text)));
            }
            if (Decode(page, event)) return true;
        }
    }

private:
    ControlNames names_;
    std::string described_;  // what the page was told last
    int width_ = 80;
    int height_ = 24;
    bool resize_pending_ = false;
};

}  // namespace

std::unique_ptr<Screen> OpenBrowserScreen(ControlNames names)
{
    return std::make_unique<BrowserScreen>(std::move(names));
}

void ShowProgramEnded(int status)
{
    JsEnded(status);
}

}  // namespace platform
