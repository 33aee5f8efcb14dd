// The browser screen, for emscripten builds: a pixel screen, the dialog
// drawn through the pixel device as classic Windows draws it (its frame and
// caption too), on Tahoma's glyphs as the page carries them. Each frame goes
// to the page whole, where web/screen.js puts it in a canvas of as many
// device pixels, so that the browser never resamples it; the caret goes
// apart, for the page to blink. The dpi is 96 for each device pixel in a
// CSS pixel; where the page would rather the dialog filled its width (a
// phone), the first run, before any input, gives way to one at the dpi that
// fills it. A change of zoom or of the device pixel ratio, or a phone
// turned, lays the dialog out afresh at the dpi the page then has, its
// fields as they were (the dialog manager's kRescale); the dpi the page
// would rather have is taken the same way, before anything is drawn.
// Waiting for the next event suspends the program (ASYNCIFY) until the page
// has one, so the modal loop runs unchanged and the page never freezes. A
// copy goes to the browser's clipboard; a paste brings the browser's
// clipboard text with it. Leaves out: mouse buttons other than the first,
// the wheel.
#include "browser_screen.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "baked_font.h"
#include "pixel_device.h"

namespace platform {
namespace {

// The frame as RGBA bytes, and the caret's box (empty when hidden).
EM_JS(void, JsPresent, (const uint32_t *rgba, int width, int height, const int *caret), {
    Module.rgbhsvScreen.present(rgba, width, height, HEAP32.subarray(caret >> 2, (caret >> 2) + 4));
});

// The dpi to draw at first, and then the one the page would rather have
// for a dialog that came out `width` x `height` at `dpi`.
EM_JS(int, JsStartDpi, (), { return Module.rgbhsvScreen.startDpi(); });
EM_JS(int, JsBetterDpi, (int width, int height, int dpi), { return Module.rgbhsvScreen.betterDpi(width, height, dpi); });

// The page's copy of Tahoma, once it is inflated: its size, then its bytes.
EM_JS(int, JsTahomaSize, (), { return Module.rgbhsvTahomaBytes ? Module.rgbhsvTahomaBytes.length : 0; });
EM_JS(void, JsTahomaBytes, (char *out), { HEAPU8.set(Module.rgbhsvTahomaBytes, out); });

EM_JS(void, JsBeep, (), { Module.rgbhsvScreen.beep(); });

EM_JS(void, JsAnnounce, (const char *text), { Module.rgbhsvScreen.announce(UTF8ToString(text)); });

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
// the modifiers, and a click's device pixel.
EM_ASYNC_JS(void, JsNextEvent, (int *out), {
    const event = await Module.rgbhsvScreen.nextEvent();
    for (let i = 0; i < 5; i++) HEAP32[(out >> 2) + i] = event[i];
});

// The number web/screen.js gives a kind of event, a key or a modifier,
// by its name there; -1 for none.
EM_JS(int, JsNumber, (const char *group, const char *name), {
    const number = Module.rgbhsvScreen.numbering[UTF8ToString(group)][UTF8ToString(name)];
    return number === undefined ? -1 : number;
});

// The page's numbers, read once, and what each stands for here.
struct PageNumbering {
    int key, character, click, paste, drag, release, rescale;
    int shift, ctrl, alt, touch;
    std::vector<std::pair<int, Key>> keys;

    PageNumbering()
    {
        const auto kind = [](const char *name) { return JsNumber("kind", name); };
        const auto modifier = [](const char *name) { return JsNumber("modifier", name); };
        key = kind("key"), character = kind("char"), click = kind("click"), paste = kind("paste");
        drag = kind("drag"), release = kind("release"), rescale = kind("rescale");
        shift = modifier("shift"), ctrl = modifier("ctrl"), alt = modifier("alt"), touch = modifier("touch");
        const std::pair<const char *, Key> named[] = {
            {"Backspace", Key::kBack}, {"Tab", Key::kTab}, {"Enter", Key::kReturn}, {"Escape", Key::kEscape},
            {"ArrowLeft", Key::kLeft}, {"ArrowRight", Key::kRight}, {"Home", Key::kHome}, {"End", Key::kEnd},
            {"Delete", Key::kDelete}, {"ArrowUp", Key::kUp}, {"ArrowDown", Key::kDown}, {"Insert", Key::kInsert},
        };
        for (const auto &[name, k] : named) keys.emplace_back(JsNumber("key", name), k);
    }
};

// The one place page events become the screen's. A paste is the paste
// key, Ctrl+V, once its text is the screen's clipboard.
bool Decode(const PageNumbering &n, const int *page, InputEvent *event)
{
    const uint8_t modifiers = static_cast<uint8_t>(((page[2] & n.shift) ? kShift : 0) | ((page[2] & n.ctrl) ? kCtrl : 0) |
                                                   ((page[2] & n.alt) ? kAlt : 0));
    const int kind = page[0];
    if (kind == n.character) {
        *event = CharEvent(static_cast<char32_t>(page[1]), modifiers);
    } else if (kind == n.paste) {
        *event = CharEvent(U'v', kCtrl);
    } else if (kind == n.click) {
        *event = ClickEvent(page[3], page[4], modifiers, (page[1] & ~n.touch) == 2 ? 2 : 1, (page[1] & n.touch) != 0);
    } else if (kind == n.drag || kind == n.release) {
        *event = EventOf(kind == n.drag ? InputEvent::Kind::kDrag : InputEvent::Kind::kRelease, page[3], page[4]);
    } else if (kind == n.key) {
        const auto found = std::find_if(n.keys.begin(), n.keys.end(), [&](const auto &k) { return k.first == page[1]; });
        if (found == n.keys.end()) return false;
        *event = KeyEvent(found->second, modifiers);
    } else {
        return false;
    }
    return true;
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

// The dpi that draws Tahoma at an em the page carries, nearest `dpi`.
int CarriedDpi(const baked::Table &tahoma, int dpi)
{
    const int largest = tahoma.LargestEm();
    const int points = kDialogFontPoints, smallest = 8;  // ems smallest .. largest
    const int low = (smallest * 72 - 36 + points - 1) / points, high = ((largest + 1) * 72 - 36 - 1) / points;
    return std::clamp(dpi, low, std::max(low, high));
}

class BrowserScreen : public Screen {
public:
    BrowserScreen(ControlNames names, std::unique_ptr<baked::Table> tahoma, std::unique_ptr<PixelDevice> device)
        : names_(std::move(names)), tahoma_(std::move(tahoma)), device_(std::move(device))
    {
    }

    Device *OwnDevice() override { return device_.get(); }
    int Width() const override { return device_->Width(); }
    int Height() const override { return device_->Height(); }

    // The canvas takes the dialog's size. At the start, and after the page
    // said its density changed, a page that would rather have another dpi
    // (a phone, a dialog that does not fit) gets it before anything is
    // drawn: the next event lays the dialog out again at that dpi. A few
    // times at most, so that two dpis cannot take turns for ever.
    void Fit(int width, int height) override
    {
        device_->Resize(width, height);
        if (rescales_left_ <= 0) return;
        const int better = CarriedDpi(*tahoma_, JsBetterDpi(width, height, device_->Dpi()));
        if (better == device_->Dpi()) return;
        rescales_left_--;
        next_dpi_ = better;
    }

    void Present() override
    {
        if (next_dpi_) return;
        const std::vector<Colour> &pixels = device_->Pixels();
        rgba_.resize(pixels.size());
        // COLORREF's bytes are red, green, blue and a zero: RGBA once opaque.
        for (size_t i = 0; i < pixels.size(); i++) rgba_[i] = pixels[i] | 0xFF000000u;
        const Box c = device_->CaretVisible() ? device_->CaretBox() : Box{};
        const int caret[4] = {c.left, c.top, c.right - c.left, c.bottom - c.top};
        JsPresent(rgba_.data(), device_->Width(), device_->Height(), caret);
    }

    void Beep() override { JsBeep(); }
    void Announce(const std::string &text) override
    {
        if (!next_dpi_) JsAnnounce(text.c_str());
    }

    bool DescribesControls() const override { return true; }

    // The nodes as JSON, with the page's names for controls that have no
    // text of their own; a graphic's name says its colour.
    void Describe(const std::vector<AccessibleNode> &nodes) override
    {
        if (next_dpi_) return;
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
                json += i == 0 ? ",\"selection\":[" : i == 2 ? "],\"box\":[" : ",";
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
        for (;;) {
            if (next_dpi_ && TakeDpi(std::exchange(next_dpi_, 0))) {
                *event = EventOf(InputEvent::Kind::kRescale);
                return true;
            }
            int page[5] = {};
            JsNextEvent(page);
            rescales_left_ = 0;
            if (page[0] == numbering_.rescale) {
                // The dpi the page now draws at, and then the one it would
                // rather have, if another.
                next_dpi_ = CarriedDpi(*tahoma_, JsStartDpi());
                rescales_left_ = 3;
                continue;
            }
            if (page[0] == numbering_.paste) {
                char text[4096];
                clipboard_.assign(text, static_cast<size_t>(JsPastedText(text, sizeof text)));
            }
            if (Decode(numbering_, page, event)) return true;
        }
    }

private:
    // A device at `dpi` in place of the one drawn on; false, keeping that
    // one, where it cannot be had or is what there is.
    bool TakeDpi(int dpi)
    {
        if (dpi == device_->Dpi()) return false;
        std::string error;
        auto device = PixelDevice::Open(*tahoma_, 1, 1, dpi, &error);
        if (!device) return false;
        device_ = std::move(device);
        described_.clear();
        return true;
    }

    ControlNames names_;
    std::unique_ptr<baked::Table> tahoma_;
    PageNumbering numbering_;
    std::unique_ptr<PixelDevice> device_;
    int next_dpi_ = 0;         // the dpi the dialog is to be laid out at next, if any
    int rescales_left_ = 3;    // how many more times Fit may ask for a better dpi
    std::vector<uint32_t> rgba_;
    std::string described_;  // what the page was told last
};

}  // namespace

std::unique_ptr<Screen> OpenBrowserScreen(ControlNames names, std::string *error)
{
    std::string bytes(static_cast<size_t>(JsTahomaSize()), '\0');
    if (bytes.empty()) {
        *error = "this browser could not unpack the page's font";
        return nullptr;
    }
    JsTahomaBytes(bytes.data());
    auto tahoma = baked::Table::Load(bytes, error);
    if (!tahoma) return nullptr;
    auto device = PixelDevice::Open(*tahoma, 1, 1, CarriedDpi(*tahoma, JsStartDpi()), error);
    if (!device) return nullptr;
    return std::make_unique<BrowserScreen>(std::move(names), std::move(tahoma), std::move(device));
}

void ShowProgramEnded(int status)
{
    JsEnded(status);
}

}  // namespace platform
