// The dialog manager: DialogBoxIndirectParamW reads a classic template,
// lays it out on the screen's device as Windows does (dialog units through
// the base units of the device's dialog font), and again at another
// density, creates the controls in template order, sends WM_INITDIALOG,
// sets the default focus and runs the one modal loop (modal_loop.cpp).
// A template that names a font (DS_SETFONT) is laid out in the device's
// dialog font all the same: there is one.
// Leaves out: modeless dialogs, default push buttons (Enter always sends
// IDOK), group navigation with the arrow keys.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "accessibility.h"
#include "dialog_manager.h"
#include "gdi.h"
#include "platform.h"
#include "resource_reader.h"
#include "resources.h"
#include "system.h"
#include "window.h"

namespace platform {

DialogState *StateOf(HWND dialog)
{
    if (!IsLiveWindow(dialog) || dialog->kind != WindowKind::kDialog) return nullptr;
    return static_cast<DialogState *>(dialog->state.get());
}

// The control of `dialog` that has the focus, or null where the focus is
// elsewhere (or nowhere).
HWND FocusIn(HWND dialog)
{
    HWND focus = GetFocus();
    return focus && focus->parent == dialog ? focus : nullptr;
}

namespace {

// The dialog's base units on the screen's device, as Windows takes them
// from the dialog font: the average width of the alphabet, rounded as
// (extent + 26) / 52, and the font's height. A cell device's make 4 dialog
// units across and 8 down one cell.
SIZE BaseUnits(const Device &device)
{
    return SIZE{AverageCharWidth(device), device.Metrics().font_height};
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

void CentreOnScreen(HWND dialog)
{
    const Device &device = Drawing();
    const LONG width = dialog->rect.right - dialog->rect.left;
    const LONG height = dialog->rect.bottom - dialog->rect.top;
    const LONG left = std::max<LONG>(0, (device.Width() - width) / 2);
    const LONG top = std::max<LONG>(0, (device.Height() - height) / 2);
    MoveWindowTree(dialog, left - dialog->rect.left, top - dialog->rect.top);
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
    DescribeBeep();
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
