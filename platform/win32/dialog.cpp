// The dialog manager: DialogBoxIndirectParamW reads a classic template,
// lays it out on the screen's device as Windows does (dialog units through
// the base units of the device's dialog font), creates the controls in
// template order, sends
// WM_INITDIALOG, sets the default focus and runs the one modal loop, which
// paints when idle and turns the screen's keys (as keys.h translates them)
// and clicks into the dialog's messages.
// A template that names a font (DS_SETFONT) is laid out in the device's
// dialog font all the same: there is one.
// Leaves out: modeless dialogs, default push buttons (Enter always sends
// IDOK), group navigation with the arrow keys.
#include <algorithm>
#include <cstdlib>
#include <cstring>

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
    HWND saved_focus = nullptr;  // the control that had the focus when the dialog was deactivated
    DialogTemplateRecord layout;  // the template, to lay the dialog out again at another density
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
SIZE BaseUnits(const Device &device)
{
    return SIZE{AverageCharWidth(device), device.Metrics().font_height};
}

// The control of `dialog` that has the focus, or null where the focus is
// elsewhere (or nowhere).
HWND FocusIn(HWND dialog)
{
    HWND focus = GetFocus();
    return focus && focus->parent == dialog ? focus : nullptr;
}

// The keys that close the dialog, which still work while it cannot be seen.
bool ClosingKey(const InputEvent &event)
{
    return event.kind == InputEvent::Kind::kKey &&
           ((event.key == Key::kEscape && event.modifiers == 0) || (event.key == Key::kF4 && event.modifiers == kAlt));
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
    const Device &device = Drawing();
    const LONG width = dialog->rect.right - dialog->rect.left;
    const LONG height = dialog->rect.bottom - dialog->rect.top;
    const LONG left = std::max<LONG>(0, (device.Width() - width) / 2);
    const LONG top = std::max<LONG>(0, (device.Height() - height) / 2);
    MoveWindowTree(dialog, left - dialog->rect.left, top - dialog->rect.top);
}

HWND CreateDialogWindows(const DialogTemplateRecord &t, DLGPROC proc)
{
    // The frame and caption round the client area, from the device.
    const SIZE base = BaseUnits(Drawing());
    const DWORD style = t.style & ~static_cast<DWORD>(WS_VISIBLE);
    const RECT inset = NonClientInset(WindowKind::kDialog, style, t.ex_style);
    RECT rect = DialogUnitsToDevice(base, t.x, t.y, t.cx, t.cy);
    rect.right += inset.left + inset.right;
    rect.bottom += inset.top + inset.bottom;
    HWND dialog = CreateWindowRecord(WindowKind::kDialog, nullptr, 0, style, t.ex_style, rect, t.title);
    StateOf(dialog)->proc = proc;
    StateOf(dialog)->layout = t;
    GetScreen()->Fit(rect.right - rect.left, rect.bottom - rect.top);
    if (style & WS_CAPTION) GetScreen()->ShowCaption(Utf8FromUtf16(t.title));
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
        // A 4.0 dialog's bordered control has a sunken client edge instead.
        DWORD item_style = item.style, item_ex_style = item.ex_style;
        if (item_style & WS_BORDER) {
            item_style &= ~static_cast<DWORD>(WS_BORDER);
            item_ex_style |= WS_EX_CLIENTEDGE;
        }
        CreateWindowRecord(kind, dialog, item.id, item_style, item_ex_style, r, text);
    }
    return dialog;
}

// The dialog laid out afresh on the screen's device, now at another
// density, as Windows lays out a per-monitor aware dialog on WM_DPICHANGED:
// every window keeps its text, state and focus, and takes the rectangle its
// template gives at the new base units; the focused field's caret is made
// again at the new font's height.
void Rescale(HWND dialog)
{
    DialogState *state = StateOf(dialog);
    const DialogTemplateRecord &t = state->layout;
    const SIZE base = BaseUnits(Drawing());
    dialog->client_inset = NonClientInset(WindowKind::kDialog, dialog->style, dialog->ex_style);
    RECT rect = DialogUnitsToDevice(base, t.x, t.y, t.cx, t.cy);
    rect.right += dialog->client_inset.left + dialog->client_inset.right;
    rect.bottom += dialog->client_inset.top + dialog->client_inset.bottom;
    dialog->rect = rect;
    GetScreen()->Fit(rect.right - rect.left, rect.bottom - rect.top);
    const RECT client = ClientRectOnScreen(dialog);
    for (size_t i = 0; i < dialog->children.size() && i < t.items.size(); i++) {
        HWND child = dialog->children[i];
        const DialogItemRecord &item = t.items[i];
        RECT r = DialogUnitsToDevice(base, item.x, item.y, item.cx, item.cy);
        child->rect = RECT{r.left + client.left, r.top + client.top, r.right + client.left, r.bottom + client.top};
        child->client_inset = NonClientInset(child->kind, child->style, child->ex_style);
    }
    if (dialog->style & DS_CENTER) CentreOnScreen(dialog);
    if (HWND focus = FocusIn(dialog)) {
        SetFocus(nullptr);
        SetFocus(focus);
    }
    InvalidateRect(dialog, nullptr, TRUE);
    for (HWND child : dialog->children) InvalidateRect(child, nullptr, TRUE);
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

// A template the program made in its own memory, as Windows takes one:
// its bytes are as many as its header, strings and items take. Strings are
// walked no further than a template's own limits allow.
std::span<const uint8_t> TemplateInMemory(const void *start)
{
    const auto *base = static_cast<const uint8_t *>(start);
    const auto word = [&](size_t at) {
        uint16_t w;
        std::memcpy(&w, base + at, sizeof w);
        return w;
    };
    const size_t kMost = 0x10000;
    const auto name = [&](size_t at) {  // past an ordinal or a string
        if (word(at) == 0xFFFF) return at + 4;
        while (at < kMost && word(at) != 0) at += 2;
        return at + 2;
    };
    uint32_t style;
    std::memcpy(&style, base, sizeof style);
    if ((style & 0xFFFF0000u) == 0xFFFF0000u) return {};  // an extended template, as the reader refuses
    const int count = word(8);
    size_t at = name(name(name(18)));  // menu, class, caption
    if (style & DS_SETFONT) at = name(at + 2);
    for (int i = 0; i < count && at < kMost; i++) {
        at = (at + 3) & ~static_cast<size_t>(3);
        at = name(name(at + 18));  // class, title
        at += 2 + word(at);        // the creation data
    }
    return at < kMost ? std::span<const uint8_t>(base, at) : std::span<const uint8_t>();
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
        // The screen's title bar shows them, where it has one.
        if (GetScreen() && !dialog->parent) {
            std::vector<IconImage> images = ImagesOfIcon(state->icons[0]);
            for (IconImage &image : ImagesOfIcon(state->icons[1]))
                if (std::none_of(images.begin(), images.end(), [&](const IconImage &i) { return i.width == image.width; }))
                    images.push_back(std::move(image));
            GetScreen()->ShowIcons(images);
        }
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_CLOSE:
        // As the default dialog procedure does: closing is cancelling.
        SendCommand(dialog, IDCANCEL);
        return 0;
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

int WINAPI MulDiv(int number, int numerator, int denominator)
{
    return MulDivRounded(number, numerator, denominator);
}

// Dialog units to the device's, for any dialog on this screen: they share
// the one dialog font.
BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect)
{
    if (!StateOf(dialog) || !rect || !GetScreen()) return FALSE;
    ScaleDialogUnits(BaseUnits(Drawing()), rect);
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
    std::span<const uint8_t> bytes = ResourceBytesAt(dialog_template);
    if (bytes.empty() && dialog_template) bytes = TemplateInMemory(dialog_template);
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
