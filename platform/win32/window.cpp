// Windows and messages: the window records, synchronous message delivery,
// subclassing, enabling, keyboard focus and the modifiers' state, text,
// invalidation and the paint pass.
// Leaves out: posted messages and queues (everything is sent), overlapping
// top-level windows, and windows of classes other than the dialog's own.
#include "window.h"

#include <algorithm>
#include <unordered_set>

#include "platform.h"
#include "system.h"

namespace platform {

namespace {

WNDPROC ClassProcedure(WindowKind kind)
{
    switch (kind) {
    case WindowKind::kDialog: return DialogWindowProc;
    case WindowKind::kButton: return ButtonWindowProc;
    case WindowKind::kEdit: return EditWindowProc;
    case WindowKind::kStatic: return StaticWindowProc;
    }
    return DefWindowProcW;
}

void MarkForPaint(HWND window, bool erase)
{
    window->needs_paint = true;
    window->needs_erase = window->needs_erase || erase;
    // Without clipping, a parent's repaint covers its children.
    for (HWND child : window->children) MarkForPaint(child, true);
}

void PaintTree(HWND window)
{
    if (!IsLiveWindow(window) || !(window->style & WS_VISIBLE)) return;
    if (window->needs_paint) {
        SendMessageW(window, WM_PAINT, 0, 0);
        // The frame after the client area: on cells a client edge lies over
        // the client's outer cells.
        SendMessageW(window, WM_NCPAINT, 1, 0);
    }
    // A procedure that does not call BeginPaint still gets its window
    // validated, so the pass cannot loop.
    window->needs_paint = false;
    window->needs_erase = false;
    const std::vector<HWND> children = window->children;
    for (HWND child : children) PaintTree(child);
}

void MarkTree(HWND window)
{
    if (!(window->style & WS_VISIBLE)) return;
    if (window->kind == WindowKind::kDialog && (window->style & WS_CAPTION))
        Drawing().Mark(ToBox(CaptionOf(window)), Role::kCaption);
    const Role role = RoleOf(window);
    if (role != Role::kNone) Drawing().Mark(ToBox(ClientRectOnScreen(window)), role);
    for (HWND child : window->children) MarkTree(child);
}

}  // namespace

RECT NonClientInset(WindowKind kind, DWORD style, DWORD ex_style)
{
    const DeviceMetrics m = Drawing().Metrics();
    if (kind == WindowKind::kDialog)
        return RECT{m.frame_width, m.frame_height + ((style & WS_CAPTION) ? m.caption_height : 0), m.frame_width,
                    m.frame_height};
    if (!(ex_style & WS_EX_CLIENTEDGE)) return RECT{};
    const Box e = kind == WindowKind::kEdit ? m.field_edge : m.client_edge;
    return RECT{e.left, e.top, e.right, e.bottom};
}

std::string WindowText(HWND window)
{
    return IsLiveWindow(window) ? Utf8FromUtf16(window->text) : std::string();
}

HWND CreateWindowRecord(WindowKind kind, HWND parent, int id, DWORD style, DWORD ex_style, const RECT &rect,
                        std::u16string text)
{
    HWND window = new HWND__();
    window->kind = kind;
    window->proc = ClassProcedure(kind);
    window->parent = parent;
    window->id = id;
    window->style = style;
    window->ex_style = ex_style;
    window->rect = rect;
    window->client_inset = NonClientInset(kind, style, ex_style);
    window->text = std::move(text);
    System().windows.insert(window);
    if (parent)
        parent->children.push_back(window);
    else
        System().top_level.push_back(window);
    SendMessageW(window, WM_CREATE, 0, 0);
    MarkForPaint(window, true);
    return window;
}

void DestroyWindowRecord(HWND window)
{
    if (!IsLiveWindow(window)) return;
    SendMessageW(window, WM_DESTROY, 0, 0);
    const std::vector<HWND> children = window->children;
    for (HWND child : children) DestroyWindowRecord(child);
    WindowSystem &system = System();
    if (system.focus == window) system.focus = nullptr;
    if (system.capture == window) system.capture = nullptr;
    if (system.caret.owner == window) DestroyCaret();
    auto &siblings = window->parent ? window->parent->children : system.top_level;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), window), siblings.end());
    system.windows.erase(window);
    delete window;
    // What the window covered shows what lies beneath.
    for (HWND top : system.top_level) MarkForPaint(top, true);
}

bool IsLiveWindow(HWND window)
{
    return window && System().windows.count(window) != 0;
}

RECT ClientRectOnScreen(HWND window)
{
    const RECT &r = window->rect, &inset = window->client_inset;
    return RECT{r.left + inset.left, r.top + inset.top, r.right - inset.right, r.bottom - inset.bottom};
}

// Where the device draws them.
RECT CaptionOf(HWND dialog)
{
    const RECT &r = dialog->rect;
    const Box bar = Drawing().CaptionBar(ToBox(r));
    return RECT{bar.left, bar.top, bar.right, bar.bottom};
}

RECT CloseBoxOf(HWND dialog)
{
    const RECT bar = CaptionOf(dialog);
    const Box box = Drawing().CloseBoxIn(ToBox(bar));
    return RECT{box.left, box.top, box.right, box.bottom};
}

bool IsEnabledAndVisible(HWND window)
{
    return IsLiveWindow(window) && (window->style & WS_VISIBLE) && !(window->style & WS_DISABLED);
}

Box ToBox(const RECT &r)
{
    return Box{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right), static_cast<int>(r.bottom)};
}

bool IsPicture(HWND window)
{
    return window->kind == WindowKind::kStatic && (window->style & SS_TYPEMASK) == SS_BLACKRECT;
}

Role RoleOf(HWND window)
{
    if (window->kind == WindowKind::kEdit) return (window->style & WS_DISABLED) ? Role::kNone : Role::kField;
    return IsPicture(window) ? Role::kContent : Role::kNone;
}

void NotifyParent(HWND control, WORD code)
{
    if (control->parent)
        SendMessageW(control->parent, WM_COMMAND, MAKEWPARAM(control->id, code),
                     reinterpret_cast<LPARAM>(control));
}

void PaintPending()
{
    const std::vector<HWND> top = System().top_level;
    for (HWND window : top) PaintTree(window);
    for (HWND window : System().top_level) MarkTree(window);
}

void MoveWindowTree(HWND window, int dx, int dy)
{
    window->rect.left += dx;
    window->rect.right += dx;
    window->rect.top += dy;
    window->rect.bottom += dy;
    for (HWND child : window->children) MoveWindowTree(child, dx, dy);
}

}  // namespace platform

using namespace platform;

extern "C" {

LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (!IsLiveWindow(window)) return 0;
    return window->proc(window, message, wparam, lparam);
}

LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (!proc) return 0;
    return proc(window, message, wparam, lparam);
}

LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (!IsLiveWindow(window)) return 0;
    switch (message) {
    case WM_SETTEXT: {
        const WCHAR *text = reinterpret_cast<const WCHAR *>(lparam);
        window->text = text ? std::u16string(text) : std::u16string();
        InvalidateRect(window, nullptr, TRUE);
        return TRUE;
    }
    case WM_GETTEXT: {
        WCHAR *buffer = reinterpret_cast<WCHAR *>(lparam);
        if (!buffer || wparam == 0) return 0;
        const size_t n = std::min(static_cast<size_t>(wparam) - 1, window->text.size());
        std::copy_n(window->text.data(), n, buffer);
        buffer[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(window->text.size());
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wparam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_NCPAINT:
        DrawNonClient(window);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CLOSE:
        DestroyWindowRecord(window);
        return 0;
    case WM_SYSKEYDOWN: {
        // Alt+F4 closes the top-level window the key was typed in.
        if (wparam != VK_F4 || !(lparam & (1 << 29))) return 0;
        HWND top = window;
        while (top->parent) top = top->parent;
        SendMessageW(top, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    }
    case WM_SYSCOMMAND:
        if ((wparam & 0xFFF0) == SC_CLOSE) SendMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    default:
        return 0;
    }
}

#ifndef _WIN64
LONG WINAPI SetWindowLongW(HWND window, int index, LONG value)
{
    return static_cast<LONG>(SetWindowLongPtrW(window, index, value));
}
#endif

LONG_PTR WINAPI SetWindowLongPtrW(HWND window, int index, LONG_PTR value)
{
    if (!IsLiveWindow(window) || index != GWLP_WNDPROC || value == 0) return 0;
    const WNDPROC previous = window->proc;
    window->proc = reinterpret_cast<WNDPROC>(value);
    return reinterpret_cast<LONG_PTR>(previous);
}

BOOL WINAPI EnableWindow(HWND window, BOOL enable)
{
    if (!IsLiveWindow(window)) return FALSE;
    const BOOL was_disabled = (window->style & WS_DISABLED) != 0;
    if (enable)
        window->style &= ~static_cast<DWORD>(WS_DISABLED);
    else
        window->style |= WS_DISABLED;
    if (was_disabled != !enable) {
        if (!enable && System().focus == window) SetFocus(nullptr);
        SendMessageW(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
        InvalidateRect(window, nullptr, TRUE);
    }
    return was_disabled;
}

BOOL WINAPI IsWindowEnabled(HWND window)
{
    return IsLiveWindow(window) && !(window->style & WS_DISABLED);
}

HWND WINAPI SetFocus(HWND window)
{
    WindowSystem &system = System();
    const HWND previous = system.focus;
    if (window && !IsEnabledAndVisible(window)) return nullptr;
    if (window == previous) return previous;
    system.focus = window;
    if (IsLiveWindow(previous)) SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    if (window && system.focus == window)
        SendMessageW(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

HWND WINAPI GetFocus(void)
{
    return System().focus;
}

// The pointer's moves and the button's release go to the capturing window
// wherever they happen, as a drag that leaves a field still selects in it.
HWND WINAPI SetCapture(HWND window)
{
    const HWND previous = System().capture;
    System().capture = IsLiveWindow(window) ? window : nullptr;
    return previous;
}

BOOL WINAPI ReleaseCapture(void)
{
    System().capture = nullptr;
    return TRUE;
}

HWND WINAPI GetCapture(void)
{
    return IsLiveWindow(System().capture) ? System().capture : nullptr;
}

// Only the modifiers' state is kept: the dialog manager notes them for the
// key being handled, and an edit field asks for them.
SHORT WINAPI GetKeyState(int key)
{
    const uint8_t held = System().modifiers;
    const bool down = (key == VK_SHIFT && (held & kShift)) || (key == VK_CONTROL && (held & kCtrl)) ||
                      (key == VK_MENU && (held & kAlt));
    return down ? static_cast<SHORT>(0x8000) : 0;
}

int WINAPI GetWindowTextW(HWND window, LPWSTR text, int size)
{
    if (size <= 0) return 0;
    return static_cast<int>(SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(text)));
}

BOOL WINAPI SetWindowTextW(HWND window, LPCWSTR text)
{
    return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

BOOL WINAPI GetWindowRect(HWND window, LPRECT rect)
{
    if (!IsLiveWindow(window) || !rect) return FALSE;
    *rect = window->rect;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND window, LPRECT rect)
{
    if (!IsLiveWindow(window) || !rect) return FALSE;
    const RECT client = ClientRectOnScreen(window);
    *rect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND window, const RECT *, BOOL erase)
{
    if (!window) {
        for (HWND top : System().top_level) MarkForPaint(top, erase != FALSE);
        return TRUE;
    }
    if (!IsLiveWindow(window)) return FALSE;
    // The whole window is repainted whatever part was named: cells are few.
    MarkForPaint(window, erase != FALSE);
    return TRUE;
}

}  // extern "C"
