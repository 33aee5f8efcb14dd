// The edit control as it draws and is clicked: one field in a dialog made
// in memory, on a screen of cells and on a pixel device at 96 DPI, where
// characters differ in width. The caret and a click go by the text's
// extents, the field scrolls as far as its caret needs, and a selection is
// drawn in the highlight colours.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "memory_screen.h"
#include "pixel_device.h"
#include "platform.h"

namespace {

using platform::InputEvent;
using platform::Key;
using platform::MemoryScreen;

constexpr int kField = 10;
// Where a field's text starts in its client area at 96 DPI, as the Windows
// build draws it under Wine: a pixel in, and a margin of 3.
constexpr int kTextInset = 4;

// A classic template of one bordered edit field, `width` dialog units wide,
// at (4, 4) in a captionless dialog.
std::vector<WORD> OneFieldTemplate(short width)
{
    std::vector<WORD> t(64, 0);
    const DWORD dialog_style = DS_CENTER, field_style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
    std::memcpy(&t[0], &dialog_style, 4);
    t[4] = 1;                                  // one item
    t[7] = static_cast<WORD>(width + 8);       // cx
    t[8] = 24;                                 // cy; menu, class, title empty
    size_t at = 12;                            // the item, DWORD-aligned
    std::memcpy(&t[at], &field_style, 4);
    t[at + 4] = 4;
    t[at + 5] = 4;
    t[at + 6] = static_cast<WORD>(width);
    t[at + 7] = 14;
    t[at + 8] = kField;
    t[at + 9] = 0xFFFF;
    t[at + 10] = 0x0081;                       // the edit class; title and creation data empty
    return t;
}

INT_PTR CALLBACK Plain(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// Runs the one-field dialog on `screen`, whose driver does the work.
void RunField(MemoryScreen &screen, short width)
{
    const std::vector<WORD> t = OneFieldTemplate(width);
    platform::SetScreen(&screen);
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE *>(t.data()), nullptr,
                            Plain, 0);
    platform::ResetWindowSystem();
}

// Feeds `steps` in turn, each called until it gives no more events: a
// key, a text's characters, or a check, which gives none.
using Step = std::function<bool(InputEvent *)>;
MemoryScreen::Driver Steps(std::vector<Step> steps)
{
    return [steps = std::move(steps), next = size_t{0}](MemoryScreen &, InputEvent *event) mutable {
        for (; next < steps.size(); next++)
            if (steps[next](event)) return true;
        return false;
    };
}

Step Type(const char16_t *text)
{
    return [left = std::u16string(text)](InputEvent *event) mutable {
        if (left.empty()) return false;
        *event = platform::CharEvent(left.front());
        left.erase(0, 1);
        return true;
    };
}

Step Once(InputEvent e)
{
    return [e, done = false](InputEvent *event) mutable {
        if (std::exchange(done, true)) return false;
        *event = e;
        return true;
    };
}

Step Press(Key key, uint8_t modifiers = 0)
{
    return Once(platform::KeyEvent(key, modifiers));
}

Step Check(std::function<void()> check)
{
    return [check](InputEvent *) {
        check();
        return false;
    };
}

HWND Field()
{
    return GetDlgItem(platform::ActiveDialog(), kField);
}

RECT ClientOnScreen(HWND window, const platform::DeviceMetrics &m)
{
    RECT r;
    GetWindowRect(window, &r);
    return RECT{r.left + m.field_edge.left, r.top + m.field_edge.top, r.right - m.field_edge.right,
                r.bottom - m.field_edge.bottom};
}

std::pair<DWORD, DWORD> Selection()
{
    DWORD start = 0, end = 0;
    SendMessageW(Field(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

std::unique_ptr<platform::PixelDevice> Pixels()
{
    std::string error;
    auto device = platform::PixelDevice::Open(platform::TahomaFile(), 320, 200, 96, &error);
    EXPECT_TRUE(device) << error;
    return device;
}

// The caret stands after the text's extent, whichever characters it has.
TEST(Edit, CaretStandsWhereTheTextsExtentEnds)
{
    const auto device = Pixels();
    ASSERT_TRUE(device);
    const platform::DeviceMetrics m = device->Metrics();
    for (const char16_t *text : {u"111", u"WWW", u"1W"}) {
        MemoryScreen screen(320, 200, Steps({Type(text), Check([&] {
            const RECT client = ClientOnScreen(Field(), m);
            ASSERT_TRUE(device->CaretVisible());
            EXPECT_EQ(device->CaretBox().left, client.left + kTextInset + device->TextWidth(text, false));
            EXPECT_EQ(device->CaretBox().top, client.top + 1);
            EXPECT_EQ(device->CaretBox().bottom - device->CaretBox().top, m.font_height);
        })}), device.get());
        RunField(screen, 60);
    }
}

// A click goes before the last character whose extent from the first
// shown does not pass it, as Windows finds it: not to the nearest gap.
TEST(Edit, ClickFindsTheCharacterByExtents)
{
    const auto device = Pixels();
    ASSERT_TRUE(device);
    const platform::DeviceMetrics m = device->Metrics();
    const int w = device->TextWidth(u"W", false), one = device->TextWidth(u"1", false);
    const struct {
        int x;  // from the text's start
        DWORD caret;
    } kCases[] = {{-1, 0}, {0, 0}, {w - 1, 0}, {w, 1}, {w + one - 1, 1}, {w + one, 2}, {w + one + 20, 2}};
    for (const auto &c : kCases) {
        std::vector<Step> steps{Type(u"W1"), [&, done = false](InputEvent *event) mutable {
            if (std::exchange(done, true)) return false;
            const RECT client = ClientOnScreen(Field(), m);
            *event = platform::ClickEvent(client.left + kTextInset + c.x, client.top + 2);
            return true;
        }, Check([&] { EXPECT_EQ(Selection(), std::make_pair(c.caret, c.caret)) << "x " << c.x; })};
        MemoryScreen screen(320, 200, Steps(std::move(steps)), device.get());
        RunField(screen, 60);
    }
}

// On cells a field 16 dialog units wide shows 3 characters (its fourth
// cell is the gap); the text scrolls as far as the caret needs, and back.
TEST(Edit, ScrollsOnlyAsFarAsTheCaretNeeds)
{
    const auto shown = [](const MemoryScreen &screen) {
        RECT r;
        GetWindowRect(Field(), &r);
        std::string row;
        for (LONG x = r.left; x < r.right; x++) row.push_back(static_cast<char>(screen.LastFrame().At(x, r.top).ch));
        return row;
    };
    MemoryScreen *self = nullptr;
    MemoryScreen screen(40, 10, Steps({Type(u"12345"), Check([&] {
        EXPECT_EQ(shown(*self), "45  ");
        RECT r;
        GetWindowRect(Field(), &r);
        EXPECT_EQ(self->LastFrame().caret_x, r.left + 2);
    }), Press(Key::kLeft), Press(Key::kLeft), Press(Key::kLeft), Check([&] { EXPECT_EQ(shown(*self), "345 "); }),
        Press(Key::kHome), Check([&] { EXPECT_EQ(shown(*self), "123 "); })}));
    self = &screen;
    RunField(screen, 16);
}

// The selected characters' ground is the highlight colour, and only theirs.
TEST(Edit, SelectionIsDrawnInTheHighlightColours)
{
    const auto device = Pixels();
    ASSERT_TRUE(device);
    const platform::DeviceMetrics m = device->Metrics();
    MemoryScreen screen(320, 200, Steps({Type(u"1W1"), Press(Key::kLeft, platform::kShift),
                                         Press(Key::kLeft, platform::kShift), Check([&] {
        const RECT client = ClientOnScreen(Field(), m);
        const int start = client.left + kTextInset + device->TextWidth(u"1", false);
        const int end = start + device->TextWidth(u"W1", false);
        const int y = client.top + m.font_height;  // below the glyphs, the ground
        for (int x = client.left; x < client.right; x++)
            EXPECT_EQ(device->At(x, y), x >= start && x < end ? GetSysColor(COLOR_HIGHLIGHT) : GetSysColor(COLOR_WINDOW))
                << "x " << x - client.left;
    })}), device.get());
    RunField(screen, 60);
}

}  // namespace

// The mouse selects as in the Windows build: a drag from one character to
// another (past the field's edge too), a double click, Shift+click from
// the caret; what is typed next replaces the selection. While the window
// is inactive the selection is kept but not shown, and the caret is gone.
TEST(Edit, MouseSelectsAsOnWindows)
{
    const auto device = Pixels();
    ASSERT_TRUE(device);
    const platform::DeviceMetrics m = device->Metrics();
    const int two = device->TextWidth(u"2", false);
    using Kind = InputEvent::Kind;
    // A pointer event `x` pixels from the text's start.
    const auto at = [&](Kind kind, int x, uint8_t modifiers = 0, int clicks = 1) {
        return [=, &m, done = false](InputEvent *event) mutable {
            if (std::exchange(done, true)) return false;
            const RECT client = ClientOnScreen(Field(), m);
            *event = platform::EventOf(kind, client.left + kTextInset + x, client.top + 2);
            event->modifiers = modifiers;
            event->clicks = clicks;
            return true;
        };
    };
    const struct {
        const char *name;
        std::vector<Step> gesture;
        std::pair<DWORD, DWORD> selected;
    } kCases[] = {
        {"a drag from the start to past the end", {at(Kind::kClick, 0), at(Kind::kDrag, two), at(Kind::kDrag, 200),
                                                   at(Kind::kRelease, 200)}, {0, 3}},
        {"a drag leftwards out of the field", {at(Kind::kClick, 3 * two), at(Kind::kDrag, -40), at(Kind::kRelease, -40)},
         {0, 3}},
        {"a move after the release selects nothing more", {at(Kind::kClick, two), at(Kind::kRelease, two),
                                                            at(Kind::kDrag, 3 * two)}, {1, 1}},
        {"a double click", {at(Kind::kClick, two), at(Kind::kRelease, two), at(Kind::kClick, two, 0, 2),
                            at(Kind::kRelease, two)}, {0, 3}},
        {"Shift+click extends from the caret", {at(Kind::kClick, two), at(Kind::kRelease, two),
                                                at(Kind::kClick, 3 * two, platform::kShift), at(Kind::kRelease, 3 * two)},
         {1, 3}},
    };
    for (const auto &c : kCases) {
        std::vector<Step> steps{Type(u"255")};
        steps.insert(steps.end(), c.gesture.begin(), c.gesture.end());
        steps.push_back(Check([&] { EXPECT_EQ(Selection(), c.selected) << c.name; }));
        MemoryScreen screen(320, 200, Steps(std::move(steps)), device.get());
        RunField(screen, 60);
    }

    // Selected by a drag, then the window loses the keyboard and gets it
    // back; then a 7 replaces the selection.
    const auto highlighted = [&] {
        const RECT client = ClientOnScreen(Field(), m);
        return device->At(client.left + kTextInset + 1, client.top + m.font_height) == GetSysColor(COLOR_HIGHLIGHT);
    };
    MemoryScreen screen(320, 200, Steps({Type(u"255"), at(Kind::kClick, 0), at(Kind::kDrag, 200), at(Kind::kRelease, 200),
        Check([&] { EXPECT_TRUE(highlighted()); }), Once(platform::EventOf(Kind::kDeactivate)),
        Check([&] {
            EXPECT_FALSE(highlighted()) << "an inactive window shows no selection";
            EXPECT_FALSE(device->CaretVisible()) << "nor a caret";
        }),
        Once(platform::EventOf(Kind::kActivate)), Check([&] {
            EXPECT_TRUE(highlighted());
            EXPECT_TRUE(device->CaretVisible());
            EXPECT_EQ(Selection(), std::make_pair(DWORD{0}, DWORD{3}));
        }),
        Type(u"7"), Check([&] {
            WCHAR text[8] = {};
            GetWindowTextW(Field(), text, 8);
            EXPECT_EQ(std::u16string(reinterpret_cast<char16_t *>(text)), u"7");
        })}), device.get());
    RunField(screen, 60);
}
