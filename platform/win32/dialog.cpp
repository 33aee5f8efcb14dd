// The dialog manager: DialogBoxIndirectParamW reads a classic template,
// lays it out on the screen's device as Windows does (dialog units through
// the base units of the device's dialog font), creates the controls in
// template order, sends
// WM_INITDIALOG, sets the default focus and runs the one modal loop, which
// paints when idle and turns the screen's keys (as keys.h translates them)
// and clicks into the dialog's messages.
// Leaves out: modeless dialogs, DS_SETFONT fonts, default push buttons
// (Enter always sends IDOK), group navigation with the arrow keys.
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "accessibility.h"
#include "gdi.h"
#include "keys.h"
#include "platform.h"
#include "resource_reader.h"
#include "resources.h"
#include "system.h"
#include "window.h"

namespace platform {
namespace {

struct DialogState : WindowExtra {
    DLGPROC proc = nullptr;
    INT_PTR result = 0;
    bool ended = false;
    HICON icons[2] = {nullptr, nullptr};
};

DialogState *StateOf(HWND dialog)
{
    if (!IsLiveWindow(dialog) || dialog->kind != WindowKind::kDialog) return nullptr;
    return static_cast<DialogState *>(dialog->state.get());
}

// The dialog's base units on the screen's device, as Windows takes them
// from the dialog font: the average width of the alphabet, rounded as
// (extent + 26) / 52, and the font's height. A cell device's make 4 dialog
// units across and 8 down one cell.
SIZE BaseUnits(const Screen &screen)
{
    const int alphabet = screen.TextWidth(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return SIZE{(alphabet + 26) / 52, screen.Metrics().font_height};
}

// Each member of `r` from dialog units to the device's, on its own, as
// MapDialogRect does it.
void ScaleDialogUnits(const SIZE &base, RECT *r)
{
    r->left = MulDiv(r->left, base.cx, 4);
    r->right = MulDiv(r->right, base.cx, 4);
    r->top = MulDiv(r->top, base.cy, 8);
    r->bottom = MulDiv(r->bottom, base.cy, 8);
}

// A template's x, y, cx and cy on the device, each scaled on its own; the
// rectangle they make.
RECT DialogUnitsToDevice(const SIZE &base, int x, int y, int cx, int cy)
{
    RECT r{x, y, cx, cy};
    ScaleDialogUnits(base, &r);
    return RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
}

bool KindOfClass(ControlClass c, WindowKind *kind)
{
    switch (c) {
    case ControlClass::kButton: *kind = WindowKind::kButton; return true;
    case ControlClass::kEdit: *kind = WindowKind::kEdit; return true;
    case ControlClass::kStatic: *kind = WindowKind::kStatic; return true;
    default: return false;
    }
}

void CentreOnScreen(HWND dialog)
{
    const Frame &frame = FrameBuffer();
    const LONG width = dialog->rect.right - dialog->rect.left;
    const LONG height = dialog->rect.bottom - dialog->rect.top;
    const LONG left = std::max<LONG>(0, (frame.width - width) / 2);
    const LONG top = std::max<LONG>(0, (frame.height - height) / 2);
    MoveWindowTree(dialog, left - dialog->rect.left, top - dialog->rect.top);
}

HWND CreateDialogWindows(const DialogTemplateRecord &t, DLGPROC proc)
{
    // The frame and caption round the client area, from the device.
    Screen &screen = *GetScreen();
    const DeviceMetrics m = screen.Metrics();
    const SIZE base = BaseUnits(screen);
    const RECT inset{m.frame_width, m.frame_height + m.caption_height, m.frame_width, m.frame_height};
    RECT rect = DialogUnitsToDevice(base, t.x, t.y, t.cx, t.cy);
    rect.right += inset.left + inset.right;
    rect.bottom += inset.top + inset.bottom;
    const DWORD style = t.style & ~static_cast<DWORD>(WS_VISIBLE);
    HWND dialog = CreateWindowRecord(WindowKind::kDialog, nullptr, 0, style, t.ex_style, rect, t.title);
    dialog->client_inset = inset;
    StateOf(dialog)->proc = proc;
    screen.Fit(rect.right - rect.left, rect.bottom - rect.top);
    if (t.style & DS_CENTER) CentreOnScreen(dialog);
    const RECT client = ClientRectOnScreen(dialog);
    for (const DialogItemRecord &item : t.items) {
        WindowKind kind;
        if (!KindOfClass(item.control_class, &kind)) {
            DestroyWindowRecord(dialog);
            return nullptr;
        }
        RECT r = DialogUnitsToDevice(base, item.x, item.y, item.cx, item.cy);
        r.left += client.left;
        r.right += client.left;
        r.top += client.top;
        r.bottom += client.top;
        const std::u16string text = item.title.kind == NameOrOrdinal::Kind::kString ? item.title.text : u"";
        CreateWindowRecord(kind, dialog, item.id, item.style, item.ex_style, r, text);
    }
    return dialog;
}

bool IsTabStop(HWND window)
{
    return IsEnabledAndVisible(window) && (window->style & WS_TABSTOP);
}

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

// A key as Windows delivers it, with the character TranslateMessage would
// add: Tab, Escape and Enter are the dialog's own; other keys go to the
// focus as WM_KEYDOWN, or with Alt held as WM_SYSKEYDOWN (bit 29 of lParam
// says Alt); Backspace is followed by its character, and a letter with Ctrl
// by its control character (Ctrl+C is 3).
void HandleKey(HWND dialog, int key, char16_t ch, uint8_t modifiers)
{
    System().modifiers = modifiers;
    HWND focus = GetFocus();
    if (focus && focus->parent != dialog) focus = nullptr;
    const LRESULT code = focus ? SendMessageW(focus, WM_GETDLGCODE, 0, 0) : 0;
    const bool alt = (modifiers & kAlt) != 0;
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

void HandleClick(HWND dialog, int x, int y)
{
    if ((dialog->style & WS_SYSMENU) && (dialog->style & WS_CAPTION) && Inside(CloseBoxOf(dialog), x, y)) {
        SendMessageW(dialog, WM_CLOSE, 0, 0);
        return;
    }
    for (auto it = dialog->children.rbegin(); it != dialog->children.rend(); ++it) {
        HWND child = *it;
        if (!(child->style & WS_VISIBLE) || !Inside(child->rect, x, y)) continue;
        if (child->style & WS_DISABLED) return;
        const RECT client = ClientRectOnScreen(child);
        SendMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x - client.left, y - client.top));
        return;
    }
}

// Whether the screen is large enough to show the dialog whole.
bool Fits(HWND dialog)
{
    const Frame &frame = FrameBuffer();
    return dialog->rect.right - dialog->rect.left <= frame.width && dialog->rect.bottom - dialog->rect.top <= frame.height;
}

void Dispatch(HWND dialog, const InputEvent &event)
{
    // What cannot be seen cannot be typed into or clicked; but Escape still
    // closes, as a close changes no field.
    const bool aimed_at_dialog = event.kind == InputEvent::Kind::kKey || event.kind == InputEvent::Kind::kChar ||
                                 event.kind == InputEvent::Kind::kClick;
    const bool closing = event.kind == InputEvent::Kind::kKey && event.key == Key::kEscape && event.modifiers == 0;
    if (aimed_at_dialog && !closing && !Fits(dialog)) return;
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
        HWND focus = GetFocus();
        if (focus && focus->parent == dialog && translated)
            SendMessageW(focus, WM_CHAR, static_cast<WPARAM>(translated), 1);
        break;
    }
    case InputEvent::Kind::kClick:
        HandleClick(dialog, event.x, event.y);
        break;
    case InputEvent::Kind::kResize:
        FrameBuffer().Resize(event.width, event.height);
        if (dialog->style & DS_CENTER) CentreOnScreen(dialog);
        InvalidateRect(dialog, nullptr, TRUE);
        break;
    case InputEvent::Kind::kClose:
        SendMessageW(dialog, WM_CLOSE, 0, 0);
        break;
    }
}

void PaintFrame(HWND dialog)
{
    const RECT r = dialog->rect;
    auto put = [](LONG x, LONG y, char32_t ch, Colour fg, Colour bg, uint8_t attrs = kAttrNone) {
        PutScreenCell(x, y, Cell{ch, fg, bg, attrs});
    };
    for (LONG y = r.top + 1; y < r.bottom - 1; y++) {
        put(r.left, y, U'│', kColourText, kColourFace);
        put(r.right - 1, y, U'│', kColourText, kColourFace);
    }
    for (LONG x = r.left; x < r.right; x++) {
        const char32_t bottom = x == r.left ? U'└' : x == r.right - 1 ? U'┘' : U'─';
        put(x, r.bottom - 1, bottom, kColourText, kColourFace);
    }
    if (dialog->style & WS_CAPTION) {
        for (LONG x = r.left; x < r.right; x++)
            put(x, r.top, U' ', kColourCaptionText, kColourCaption, kAttrCaption);
        for (size_t i = 0; i < dialog->text.size() && r.left + 1 + static_cast<LONG>(i) < r.right - 5; i++)
            put(r.left + 1 + static_cast<LONG>(i), r.top, dialog->text[i], kColourCaptionText, kColourCaption,
                kAttrCaption | kAttrBold);
        if (dialog->style & WS_SYSMENU) {
            const RECT box = CloseBoxOf(dialog);
            put(box.left, r.top, U'[', kColourCaptionText, kColourCaption, kAttrCaption);
            put(box.left + 1, r.top, U'×', kColourCaptionText, kColourCaption, kAttrCaption | kAttrBold);
            put(box.left + 2, r.top, U']', kColourCaptionText, kColourCaption, kAttrCaption);
        }
    } else {
        for (LONG x = r.left; x < r.right; x++)
            put(x, r.top, x == r.left ? U'┌' : x == r.right - 1 ? U'┐' : U'─', kColourText, kColourFace);
    }
}

INT_PTR RunModalLoop(HWND dialog)
{
    Screen *screen = GetScreen();
    DialogState *state = StateOf(dialog);
    while (state && !state->ended) {
        PaintPending();
        if (!Fits(dialog)) {
            // Until the screen grows, a line says what it lacks; the resize
            // that ends it repaints the whole dialog.
            ShowNeededSize(dialog->rect.right - dialog->rect.left, dialog->rect.bottom - dialog->rect.top);
        }
        screen->Present(FrameBuffer());
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

}  // namespace

LRESULT CALLBACK DialogWindowProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_CREATE) {
        dialog->state = std::make_unique<DialogState>();
        return 0;
    }
    DialogState *state = StateOf(dialog);
    if (state && state->proc) {
        const INT_PTR handled = state->proc(dialog, message, wparam, lparam);
        if (message == WM_INITDIALOG) return handled;
        if (handled) return 0;
    }
    switch (message) {
    case WM_SETICON: {
        const int slot = wparam == ICON_BIG ? 1 : 0;
        const HICON previous = state->icons[slot];
        state->icons[slot] = reinterpret_cast<HICON>(lparam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_CLOSE:
        // As the default dialog procedure does: closing is cancelling.
        SendCommand(dialog, IDCANCEL);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(dialog, &paint);
        PaintFrame(dialog);
        EndPaint(dialog, &paint);
        return 0;
    }
    default:
        return DefWindowProcW(dialog, message, wparam, lparam);
    }
}

HWND ActiveDialog()
{
    return System().running_dialogs.empty() ? nullptr : System().running_dialogs.back();
}

}  // namespace platform

using namespace platform;

extern "C" {

// Windows' MulDiv: the product over the denominator, rounded to nearest
// with halves away from zero; -1 for a zero denominator or a result past
// an int.
int WINAPI MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0) return -1;
    const long long product = static_cast<long long>(number) * numerator;
    const bool negative = (product < 0) != (denominator < 0);
    const long long magnitude = (std::llabs(product) + std::llabs(static_cast<long long>(denominator)) / 2) /
                                std::llabs(static_cast<long long>(denominator));
    const long long result = negative ? -magnitude : magnitude;
    return result > INT_MAX || result < INT_MIN ? -1 : static_cast<int>(result);
}

// Dialog units to the device's, for any dialog on this screen: they share
// the one dialog font.
BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect)
{
    if (!StateOf(dialog) || !rect || !GetScreen()) return FALSE;
    ScaleDialogUnits(BaseUnits(*GetScreen()), rect);
    return TRUE;
}

// The beep, with the screen reader told first, so that it hears the beep
// with the field as it is: the dialog manager is the one place that
// describes the dialog to the screen.
BOOL WINAPI MessageBeep(UINT)
{
    DescribeToScreen();
    if (System().screen) System().screen->Beep();
    return TRUE;
}

INT_PTR WINAPI DialogBoxIndirectParamW(HINSTANCE, LPCDLGTEMPLATEW dialog_template, HWND, DLGPROC dialog_proc,
                                       LPARAM init_param)
{
    const std::span<const uint8_t> bytes = ResourceBytesAt(dialog_template);
    DialogTemplateRecord t;
    std::string error;
    if (!GetScreen() || bytes.empty() || !ReadDialogTemplate(bytes, &t, &error)) return -1;
    HWND dialog = CreateDialogWindows(t, dialog_proc);
    if (!dialog) return -1;
    System().running_dialogs.push_back(dialog);

    HWND first = NextTabItem(dialog, nullptr, false);
    if (SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), init_param) && IsLiveWindow(dialog))
        FocusItem(NextTabItem(dialog, nullptr, false));  // WM_INITDIALOG may have disabled the first
    dialog->style |= WS_VISIBLE;
    InvalidateRect(dialog, nullptr, TRUE);

    const INT_PTR result = RunModalLoop(dialog);
    std::vector<HWND> &running = System().running_dialogs;
    running.erase(std::remove(running.begin(), running.end(), dialog), running.end());
    DestroyWindowRecord(dialog);
    return result;
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result)
{
    DialogState *state = StateOf(dialog);
    if (!state) return FALSE;
    state->result = result;
    state->ended = true;
    return TRUE;
}

}  // extern "C"
