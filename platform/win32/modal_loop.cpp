// The one modal loop and the input it turns into the dialog's messages:
// paint when idle, show the caret, present, describe to a screen reader,
// then wait for the screen's next event. Keys become WM_KEYDOWN and
// WM_CHAR (as keys.h translates them) or the dialog's own Tab, Escape and
// Enter; the mouse's presses, drags and releases become button and move
// messages to the control under it or the one that captured it; the
// window's activation and a new density are the dialog's. While the screen
// is too small for the dialog, one line says so. And the end of a run.
#include <algorithm>
#include <iterator>
#include <string>

#include "accessibility.h"
#include "dialog_manager.h"
#include "gdi.h"
#include "keys.h"
#include "platform.h"
#include "system.h"
#include "window.h"

namespace platform {
namespace {

// The keys that close the dialog, which still work while it cannot be seen.
bool ClosingKey(const InputEvent &event)
{
    return event.kind == InputEvent::Kind::kKey &&
           ((event.key == Key::kEscape && event.modifiers == 0) || (event.key == Key::kF4 && event.modifiers == kAlt));
}

bool IsTabStop(HWND window)
{
    return IsEnabledAndVisible(window) && (window->style & WS_TABSTOP);
}

// A key as Windows delivers it, with the character TranslateMessage would
// add: Tab, Escape and Enter are the dialog's own; other keys go to the
// focus as WM_KEYDOWN, or with Alt held as WM_SYSKEYDOWN (bit 29 of lParam
// says Alt); Backspace is followed by its character, and a letter with Ctrl
// by its control character (Ctrl+C is 3).
void HandleKey(HWND dialog, int key, char16_t ch, uint8_t modifiers)
{
    System().modifiers = modifiers;
    HWND focus = FocusIn(dialog);
    const LRESULT code = focus ? SendMessageW(focus, WM_GETDLGCODE, 0, 0) : 0;
    const bool alt = (modifiers & kAlt) != 0;
    // With no control focused, a system key goes to the dialog itself, as
    // Windows sends it to the active window (Alt+F4 closes it).
    if (!focus && alt) focus = dialog;
    if (key == VK_TAB && !alt) {
        if (!(code & DLGC_WANTTAB)) FocusItem(NextTabItem(dialog, focus, (modifiers & kShift) != 0));
    } else if (key == VK_ESCAPE && !alt) {
        SendCommand(dialog, IDCANCEL);
    } else if (key == VK_RETURN && !alt) {
        SendCommand(dialog, IDOK);
    } else if (focus) {
        const LPARAM context = alt ? 1 | 1 << 29 : 1;
        SendMessageW(focus, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, static_cast<WPARAM>(key), context);
        if (ch && IsLiveWindow(focus)) SendMessageW(focus, alt ? WM_SYSCHAR : WM_CHAR, ch, context);
    }
    System().modifiers = 0;
}

bool Inside(const RECT &r, int x, int y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// A point of the screen in `window`'s client area, as mouse messages carry
// it: two signed words, so that a drag past the left edge is negative.
LPARAM ClientPoint(HWND window, int x, int y)
{
    const RECT client = ClientRectOnScreen(window);
    return MAKELPARAM(static_cast<WORD>(x - client.left), static_cast<WORD>(y - client.top));
}

WPARAM MouseKeys(uint8_t modifiers)
{
    return MK_LBUTTON | ((modifiers & kShift) ? MK_SHIFT : 0) | ((modifiers & kCtrl) ? MK_CONTROL : 0);
}

// The button pressed: the close box closes; a control under it gets
// WM_LBUTTONDOWN, or WM_LBUTTONDBLCLK for a double click's second press.
// A finger's tap that brings the focus to an edit field selects its text,
// as Tab does, so that what the phone's keyboard types next replaces it.
void HandleClick(HWND dialog, const InputEvent &event)
{
    const int x = event.x, y = event.y;
    if ((dialog->style & WS_SYSMENU) && (dialog->style & WS_CAPTION) && Inside(CloseBoxOf(dialog), x, y)) {
        SendMessageW(dialog, WM_CLOSE, 0, 0);
        return;
    }
    for (auto it = dialog->children.rbegin(); it != dialog->children.rend(); ++it) {
        HWND child = *it;
        if (!(child->style & WS_VISIBLE) || !Inside(child->rect, x, y)) continue;
        if (child->style & WS_DISABLED) return;
        if (event.touch && GetFocus() != child && (SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)) {
            FocusItem(child);
            return;
        }
        System().modifiers = event.modifiers;
        SendMessageW(child, event.clicks == 2 ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN, MouseKeys(event.modifiers),
                     ClientPoint(child, x, y));
        System().modifiers = 0;
        return;
    }
}

// The pointer's moves with the button held, and its release, go to the
// window that captured it.
void HandlePointer(const InputEvent &event)
{
    HWND capture = GetCapture();
    if (!capture) return;
    if (event.kind == InputEvent::Kind::kDrag)
        SendMessageW(capture, WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(capture, event.x, event.y));
    else
        SendMessageW(capture, WM_LBUTTONUP, 0, ClientPoint(capture, event.x, event.y));
}

// The screen's window losing the keyboard to another, or getting it back:
// the focused control loses the focus (its caret and its selection's
// highlight go) and gets it back as it was, as the default dialog
// procedure keeps it over WM_ACTIVATE.
void HandleActivation(HWND dialog, bool active)
{
    DialogState *state = StateOf(dialog);
    SendMessageW(dialog, WM_ACTIVATE, active ? WA_ACTIVE : WA_INACTIVE, 0);
    if (!active) {
        if (HWND focus = FocusIn(dialog)) {
            state->saved_focus = focus;
            SetFocus(nullptr);
        }
    } else if (IsLiveWindow(state->saved_focus) && !GetFocus()) {
        SetFocus(state->saved_focus);
        state->saved_focus = nullptr;
    }
}

// Whether the screen is large enough to show the dialog whole.
bool Fits(HWND dialog)
{
    const Device &device = Drawing();
    return dialog->rect.right - dialog->rect.left <= device.Width() &&
           dialog->rect.bottom - dialog->rect.top <= device.Height();
}

void Dispatch(HWND dialog, const InputEvent &event)
{
    // What cannot be seen cannot be typed into or clicked; but Escape still
    // closes, as a close changes no field.
    const bool aimed_at_dialog = event.kind == InputEvent::Kind::kKey || event.kind == InputEvent::Kind::kChar ||
                                 event.kind == InputEvent::Kind::kClick || event.kind == InputEvent::Kind::kDrag;
    if (aimed_at_dialog && !ClosingKey(event) && !Fits(dialog)) return;
    switch (event.kind) {
    case InputEvent::Kind::kKey: {
        const int key = VirtualKey(event.key);
        if (key) HandleKey(dialog, key, TranslatedCharacter(key, 0, event.modifiers), event.modifiers);
        break;
    }
    case InputEvent::Kind::kChar: {
        const char32_t ch = event.ch;
        const char16_t translated = TranslatedCharacter(0, ch, event.modifiers);
        if (event.modifiers & (kAlt | kCtrl)) {
            // With Alt or Ctrl a character is a key: Alt's go to the focus
            // as system keys.
            HandleKey(dialog, VirtualKeyOfCharacter(ch), translated, event.modifiers);
            break;
        }
        HWND focus = FocusIn(dialog);
        if (focus && translated) SendMessageW(focus, WM_CHAR, static_cast<WPARAM>(translated), 1);
        break;
    }
    case InputEvent::Kind::kClick:
        HandleClick(dialog, event);
        break;
    case InputEvent::Kind::kDrag:
    case InputEvent::Kind::kRelease:
        HandlePointer(event);
        break;
    case InputEvent::Kind::kActivate:
    case InputEvent::Kind::kDeactivate:
        HandleActivation(dialog, event.kind == InputEvent::Kind::kActivate);
        break;
    case InputEvent::Kind::kRescale:
        Rescale(dialog);
        break;
    case InputEvent::Kind::kResize:
        if (dialog->style & DS_CENTER) CentreOnScreen(dialog);
        InvalidateRect(dialog, nullptr, TRUE);
        break;
    case InputEvent::Kind::kClose:
        SendMessageW(dialog, WM_CLOSE, 0, 0);
        break;
    }
}

// In place of a dialog of `width` x `height` that the screen is too small
// for: one line, the longest of the messages that fits, of the size
// needed, the size there is and how to leave; no caret.
void ShowNeededSize(int width, int height)
{
    Device &device = Drawing();
    const auto size = [](int w, int h) { return std::to_string(w) + "x" + std::to_string(h); };
    const int has_width = device.Width(), has_height = device.Height();
    const std::string needs = "Needs " + size(width, height);
    const std::string has = needs + ", has " + size(has_width, has_height);
    const std::string messages[] = {
        "The dialog needs a screen of " + std::to_string(width) + " x " + std::to_string(height) + "; this one is " +
            std::to_string(has_width) + " x " + std::to_string(has_height) + ". Escape or Ctrl+C closes.",
        has + "; Escape or Ctrl+C closes",
        has + "; Esc closes",
        has,
        needs,
        size(width, height),
    };
    std::u16string message = Utf16FromUtf8(messages[std::size(messages) - 1]);
    for (const std::string &m : messages)
        if (device.TextWidth(Utf16FromUtf8(m)) <= has_width) {
            message = Utf16FromUtf8(m);
            break;
        }
    device.Clear();
    TextLook look;
    look.fg = look.bg = kDefaultColour;
    device.Text(0, 0, message, Box{0, 0, has_width, has_height}, look);
    device.Caret(false, Box{});
}

}  // namespace

// The next (or previous) control that Tab reaches from `from`, wrapping.
HWND NextTabItem(HWND dialog, HWND from, bool backwards)
{
    const std::vector<HWND> &items = dialog->children;
    const int n = static_cast<int>(items.size());
    if (n == 0) return nullptr;
    int at = static_cast<int>(std::find(items.begin(), items.end(), from) - items.begin());
    if (at == n) at = backwards ? 0 : n - 1;
    for (int step = 1; step <= n; step++) {
        const int i = ((backwards ? at - step : at + step) % n + n) % n;
        if (IsTabStop(items[static_cast<size_t>(i)])) return items[static_cast<size_t>(i)];
    }
    return nullptr;
}

// Focus as the dialog manager gives it: an edit field's text is selected,
// so that typing replaces it.
void FocusItem(HWND item)
{
    if (!item) return;
    if (SendMessageW(item, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(item, EM_SETSEL, 0, -1);
    SetFocus(item);
}

void SendCommand(HWND dialog, int id)
{
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

INT_PTR RunModalLoop(HWND dialog)
{
    Screen *screen = GetScreen();
    DialogState *state = StateOf(dialog);
    while (state && !state->ended) {
        PaintPending();
        ShowCaretOnDevice();
        if (!Fits(dialog)) {
            // Until the screen grows, a line says what it lacks; the resize
            // that ends it repaints the whole dialog.
            ShowNeededSize(dialog->rect.right - dialog->rect.left, dialog->rect.bottom - dialog->rect.top);
        }
        screen->Present();
        DescribeToScreen();
        InputEvent event;
        if (!screen->NextInput(&event)) {
            // Nothing more will come: close as the close box would.
            SendMessageW(dialog, WM_CLOSE, 0, 0);
            state = StateOf(dialog);
            if (state && !state->ended) EndDialog(dialog, 0);
            break;
        }
        Dispatch(dialog, event);
        state = StateOf(dialog);
    }
    return state ? state->result : 0;
}

// The end of a run, which leaves nothing behind for the next one.
void ResetWindowSystem()
{
    const std::vector<HWND> left = System().top_level;
    for (HWND window : left) DestroyWindowRecord(window);
    FreeDrawingObjects();
    DiscardSystem();
}

}  // namespace platform
