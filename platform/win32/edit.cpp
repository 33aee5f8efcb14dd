// The single-line edit control, as a Windows edit control answers a person:
// text, caret and selection; ES_NUMBER for typing; EM_LIMITTEXT, which also
// cuts what is pasted; the caret keys with Shift and Ctrl (Up and Down act
// as Left and Right); Backspace and the Delete family; the clipboard
// messages and their keys; one level of undo, which a second undo redoes.
// Every change of the text, typed or set, sends EN_CHANGE to the parent
// once the new text, caret and selection are in place.
// It paints as the classic control: its ground in the window colour (the
// face when disabled), the text from its margin, the selection in the
// highlight colours while it has the focus, and the caret between
// characters, placed, as a click is, by the text's extents.
// The mouse: a press places the caret (Shift extends), a drag selects, a
// double click selects the number.
// Leaves out: multi-line, password and read-only styles, word-break
// procedures other than the default, IME, a context menu, and scrolling by
// a third of the width (it scrolls only as far as the caret needs).
#include <algorithm>

#include "gdi.h"
#include "system.h"
#include "window.h"

namespace platform {
namespace {

// One level of undo, as Windows keeps it: the text that an edit removed and
// where, and how many characters it inserted there. Consecutive typing or
// deleting at one place grows the record, so that one undo takes it all back.
// Emptying it keeps the position, where an undo with nothing to undo still
// puts the caret.
struct UndoRecord {
    std::u16string removed;
    int position = 0;
    int inserted = 0;
    bool Empty() const { return removed.empty() && inserted == 0; }
    void Clear()
    {
        removed.clear();
        inserted = 0;
    }
};

struct EditState : WindowExtra {
    int caret = 0;
    int anchor = 0;  // the other end of the selection
    int limit = 0x7FFFFFFE;
    int scroll = 0;  // first character shown
    bool focused = false;
    UndoRecord undo;
};

EditState &State(HWND window)
{
    return static_cast<EditState &>(*window->state);
}

int Length(HWND window)
{
    return static_cast<int>(window->text.size());
}

int SelectionStart(const EditState &s)
{
    return std::min(s.caret, s.anchor);
}

int SelectionEnd(const EditState &s)
{
    return std::max(s.caret, s.anchor);
}

bool HasSelection(const EditState &s)
{
    return s.caret != s.anchor;
}

bool Held(int key)
{
    return GetKeyState(key) < 0;
}

// The one place EN_CHANGE is sent from, once text, caret and selection are
// final.
void Changed(HWND window)
{
    InvalidateRect(window, nullptr, TRUE);
    NotifyParent(window, EN_CHANGE);
}

void Select(HWND window, int anchor, int caret)
{
    EditState &s = State(window);
    s.anchor = std::clamp(anchor, 0, Length(window));
    s.caret = std::clamp(caret, 0, Length(window));
    InvalidateRect(window, nullptr, FALSE);
}

// Notes in the undo record that [start, end) was replaced by `inserted`
// characters: removing next to what was removed before, or inserting right
// after what was inserted before, adds to the record.
void RecordEdit(UndoRecord *u, int start, int end, std::u16string_view removed, int inserted)
{
    if (end > start) {
        if (u->inserted == 0 && !u->removed.empty() && start == u->position) {
            u->removed.append(removed);  // Delete, again and again
        } else if (u->inserted == 0 && !u->removed.empty() && end == u->position) {
            u->removed.insert(0, removed);  // Backspace, again and again
            u->position = start;
        } else {
            u->removed.assign(removed);
            u->position = start;
        }
        u->inserted = 0;
    }
    if (inserted > 0) {
        if (start == u->position || (u->inserted > 0 && start == u->position + u->inserted)) {
            u->inserted += inserted;
        } else {
            u->position = start;
            u->inserted = inserted;
            u->removed.clear();
        }
    }
}

// Puts `insert` in place of the selection, cut to what the limit leaves
// room for (EN_MAXTEXT when it is cut), and records it for undo. True when
// the text changed; the caller then sends EN_CHANGE.
bool ReplaceSelection(HWND window, std::u16string_view insert)
{
    EditState &s = State(window);
    const int start = SelectionStart(s), end = SelectionEnd(s);
    const int room = s.limit - (Length(window) - (end - start));
    if (static_cast<int>(insert.size()) > room) {
        insert = insert.substr(0, static_cast<size_t>(std::max(0, room)));
        NotifyParent(window, EN_MAXTEXT);
    }
    if (start == end && insert.empty()) return false;
    const std::u16string removed = window->text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
    RecordEdit(&s.undo, start, end, removed, static_cast<int>(insert.size()));
    window->text.replace(static_cast<size_t>(start), static_cast<size_t>(end - start), insert);
    s.caret = s.anchor = start + static_cast<int>(insert.size());
    return true;
}

void Replace(HWND window, std::u16string_view insert)
{
    if (ReplaceSelection(window, insert)) Changed(window);
}

// --- The clipboard and undo ---------------------------------------------------

void Copy(HWND window)
{
    const EditState &s = State(window);
    if (!HasSelection(s)) return;
    WriteClipboard(std::u16string_view(window->text).substr(static_cast<size_t>(SelectionStart(s)),
                                                              static_cast<size_t>(SelectionEnd(s) - SelectionStart(s))));
}

void Clear(HWND window)
{
    if (HasSelection(State(window))) Replace(window, u"");
}

void Cut(HWND window)
{
    Copy(window);
    Clear(window);
}

// A single-line control takes the clipboard's first line. ES_NUMBER does
// not filter a paste: as on Windows, only typing is held to digits.
void Paste(HWND window)
{
    std::u16string text = ReadClipboard();
    text.resize(std::min(text.find_first_of(u"\r\n"), text.size()));
    if (!text.empty()) Replace(window, text);
}

// Puts back what the last edit removed, selecting it; the undo is itself
// recorded, so a second one redoes. With nothing to undo, the caret still
// goes to where the last edit was and the parent still hears EN_CHANGE, as
// the Windows control does it.
void Undo(HWND window)
{
    EditState &s = State(window);
    const UndoRecord last = s.undo;
    s.undo.Clear();
    s.anchor = last.position;
    s.caret = last.position + last.inserted;
    ReplaceSelection(window, last.removed);
    Select(window, s.undo.position, s.undo.position + s.undo.inserted);
    Changed(window);
}

// --- Keys -------------------------------------------------------------------

bool IsWordBreak(char16_t ch)
{
    return ch == u' ' || ch == u'\t';
}

// The default word break: Ctrl+Left goes to the start of this word or the
// one before, Ctrl+Right past this word and the spaces after it.
int WordLeft(HWND window, int from)
{
    const std::u16string &t = window->text;
    int i = from;
    while (i > 0 && IsWordBreak(t[static_cast<size_t>(i - 1)])) i--;
    while (i > 0 && !IsWordBreak(t[static_cast<size_t>(i - 1)])) i--;
    return i;
}

int WordRight(HWND window, int from)
{
    const std::u16string &t = window->text;
    const int n = Length(window);
    int i = from;
    while (i < n && !IsWordBreak(t[static_cast<size_t>(i)])) i++;
    while (i < n && IsWordBreak(t[static_cast<size_t>(i)])) i++;
    return i;
}

// The caret moves from where it is, not from the selection's edge; without
// Shift the selection collapses there.
void MoveCaret(HWND window, int to)
{
    EditState &s = State(window);
    Select(window, Held(VK_SHIFT) ? s.anchor : to, to);
}

// Delete removes the selection (Shift cuts it); with none, the character
// after the caret, with Ctrl everything after it, with Shift the character
// before it. Ctrl+Shift+Delete does nothing.
void OnDelete(HWND window)
{
    EditState &s = State(window);
    const bool shift = Held(VK_SHIFT), ctrl = Held(VK_CONTROL);
    if (shift && ctrl) return;
    if (HasSelection(s)) {
        if (shift)
            Cut(window);
        else
            Clear(window);
        return;
    }
    if (shift) {
        if (s.caret == 0) return;
        s.anchor = s.caret - 1;
    } else {
        if (s.caret == Length(window)) return;
        s.anchor = ctrl ? Length(window) : s.caret + 1;
    }
    Replace(window, u"");
}

void OnKeyDown(HWND window, WPARAM key)
{
    const EditState &s = State(window);
    const bool shift = Held(VK_SHIFT), ctrl = Held(VK_CONTROL);
    switch (key) {
    case VK_LEFT:
    case VK_UP:
        MoveCaret(window, ctrl ? WordLeft(window, s.caret) : s.caret - 1);
        break;
    case VK_RIGHT:
    case VK_DOWN:
        MoveCaret(window, ctrl ? WordRight(window, s.caret) : s.caret + 1);
        break;
    case VK_HOME: MoveCaret(window, 0); break;
    case VK_END: MoveCaret(window, Length(window)); break;
    case VK_DELETE: OnDelete(window); break;
    case VK_INSERT:
        if (shift && !ctrl) Paste(window);
        else if (ctrl && !shift) Copy(window);
        break;
    case 'A':
        if (ctrl) Select(window, 0, Length(window));
        break;
    default: break;
    }
}

// Characters: Backspace, the clipboard's and undo's control characters
// (Ctrl+C, Ctrl+V, Ctrl+X, Ctrl+Z), and text, digits only under ES_NUMBER.
void OnChar(HWND window, char16_t ch)
{
    EditState &s = State(window);
    switch (ch) {
    case u'\b':
        if (!HasSelection(s)) {
            if (s.caret == 0) return;
            s.anchor = s.caret - 1;
        }
        Replace(window, u"");
        return;
    case 0x03: Copy(window); return;
    case 0x16: Paste(window); return;
    case 0x18: Cut(window); return;
    case 0x1A: Undo(window); return;
    default: break;
    }
    if (ch < 0x20 || ch == 0x7F) return;
    if ((window->style & ES_NUMBER) && (ch < u'0' || ch > u'9')) return;
    Replace(window, std::u16string_view(&ch, 1));
}

// --- Mouse, focus, messages ---------------------------------------------------

// Where the text starts and how wide it may run, in the client area, as
// Windows sets it for a field with a client edge: a pixel in all round
// where there is room for a line and two, then margins of half the font's
// average character width each side; one line of the font tall.
RECT FormatRect(HWND window, HDC dc)
{
    RECT r;
    GetClientRect(window, &r);
    TEXTMETRICW tm;
    GetTextMetricsW(dc, &tm);
    if (r.bottom - r.top >= tm.tmHeight + 2) InflateRect(&r, -1, -1);
    const LONG margin = tm.tmAveCharWidth / 2;
    r.left += margin;
    r.right = std::max(r.left, r.right - margin);
    r.bottom = r.top + tm.tmHeight;
    return r;
}

int Extent(HDC dc, HWND window, int from, int to)
{
    SIZE size{};
    if (to > from) GetTextExtentPoint32W(dc, window->text.c_str() + from, to - from, &size);
    return static_cast<int>(size.cx);
}

// The character a point of the client area falls before, as Windows finds
// it: the last one whose extent from the first shown does not pass it.
int CharFromPos(HWND window, int x)
{
    HDC dc = GetWindowDC(window);
    const EditState &s = State(window);
    const int from = static_cast<int>(FormatRect(window, dc).left);
    int at = s.scroll;
    if (x < from) {
        while (at > 0 && from - Extent(dc, window, at, s.scroll) > x) at--;
    } else {
        while (at < Length(window) && from + Extent(dc, window, s.scroll, at + 1) <= x) at++;
    }
    ReleaseDC(window, dc);
    return at;
}

// A press puts the caret at the character under it, with Shift extending
// the selection from where it was anchored, captures the pointer for a
// drag, and takes the focus.
void OnButtonDown(HWND window, WPARAM keys, int x)
{
    SetCapture(window);
    const int at = CharFromPos(window, x);
    Select(window, (keys & MK_SHIFT) ? State(window).anchor : at, at);
    if (!State(window).focused) SetFocus(window);
}

// A drag moves the caret under the pointer, the anchor staying where the
// press left it.
void OnMouseMove(HWND window, int x)
{
    if (GetCapture() != window) return;
    Select(window, State(window).anchor, CharFromPos(window, x));
}

// A double click selects the word the press put the caret in, the caret at
// its end: the run of characters between spaces, so the whole number.
void OnDoubleClick(HWND window)
{
    SetCapture(window);
    const std::u16string &t = window->text;
    int start = State(window).caret, end = start;
    while (start > 0 && !IsWordBreak(t[static_cast<size_t>(start - 1)])) start--;
    while (end < Length(window) && !IsWordBreak(t[static_cast<size_t>(end)])) end++;
    Select(window, start, end);
}

// EM_SETSEL: start -1 removes the selection; an end below 0 means the end
// of the text; both are kept within the text.
void OnSetSel(HWND window, int start, int end)
{
    EditState &s = State(window);
    if (start == -1)
        Select(window, s.caret, s.caret);
    else
        Select(window, start, end < 0 ? Length(window) : end);
}

// After WM_SETTEXT the caret is at the start, as Windows puts it, and there
// is nothing to undo.
void OnTextSet(HWND window)
{
    EditState &s = State(window);
    s.caret = s.anchor = s.scroll = 0;
    s.undo.Clear();
    Changed(window);
}

// The caret, one pixel wide and a line tall, is the field's while it has
// the focus; the parent hears of it.
void OnFocus(HWND window, bool gained)
{
    State(window).focused = gained;
    if (gained) {
        HDC dc = GetWindowDC(window);
        TEXTMETRICW tm;
        GetTextMetricsW(dc, &tm);
        ReleaseDC(window, dc);
        CreateCaret(window, nullptr, 1, tm.tmHeight);
        ShowCaret(window);
    } else {
        DestroyCaret();
    }
    InvalidateRect(window, nullptr, FALSE);
    NotifyParent(window, gained ? EN_SETFOCUS : EN_KILLFOCUS);
}

// Scrolls as little as keeps the caret inside the format rectangle.
void ScrollToCaret(HWND window, HDC dc, const RECT &format)
{
    EditState &s = State(window);
    const int width = static_cast<int>(format.right - format.left);
    if (s.caret < s.scroll) s.scroll = s.caret;
    while (s.scroll < s.caret && Extent(dc, window, s.scroll, s.caret) >= width) s.scroll++;
}

void Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    EditState &s = State(window);
    RECT client;
    GetClientRect(window, &client);
    const bool enabled = !(window->style & WS_DISABLED);
    FillRect(dc, &client, GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
    const RECT format = FormatRect(window, dc);
    ScrollToCaret(window, dc, format);

    // Before, in and after the selection, each from where the last ended.
    const int start = s.focused ? std::max(SelectionStart(s), s.scroll) : s.scroll;
    const int end = s.focused ? std::max(SelectionEnd(s), start) : s.scroll;
    const int runs[] = {s.scroll, start, end, Length(window)};
    const Colour ground = GetSysColor(enabled ? COLOR_WINDOW : COLOR_BTNFACE);
    const Colour ink = GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT);
    int x = static_cast<int>(format.left);
    for (int run = 0; run < 3; run++) {
        const int from = runs[run], to = runs[run + 1];
        if (to <= from) continue;
        const bool selected = run == 1;
        SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : ink);
        SetBkColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHT) : ground);
        dc->selected = selected;
        ExtTextOutW(dc, x, static_cast<int>(format.top), ETO_CLIPPED, &format, window->text.c_str() + from,
                    static_cast<UINT>(to - from), nullptr);
        x += Extent(dc, window, from, to);
    }
    if (s.focused) SetCaretPos(static_cast<int>(format.left) + Extent(dc, window, s.scroll, s.caret), static_cast<int>(format.top));
    EndPaint(window, &paint);
}

}  // namespace

LRESULT CALLBACK EditWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    const bool enabled = !(window->style & WS_DISABLED);
    switch (message) {
    case WM_CREATE:
        window->state = std::make_unique<EditState>();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        OnFocus(window, message == WM_SETFOCUS);
        return 0;
    case WM_CHAR:
        if (enabled) OnChar(window, static_cast<char16_t>(wparam));
        return 0;
    case WM_KEYDOWN:
        if (enabled) OnKeyDown(window, wparam);
        return 0;
    case WM_SYSKEYDOWN:
        // Alt+Backspace: the old keyboard's undo, when there is one; other
        // system keys (Alt+F4) are the default procedure's.
        if (wparam != VK_BACK) return DefWindowProcW(window, message, wparam, lparam);
        if (enabled && (lparam & (1 << 29)) && !State(window).undo.Empty()) Undo(window);
        return 0;
    case WM_LBUTTONDOWN:
        OnButtonDown(window, wparam, static_cast<short>(LOWORD(lparam)));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnDoubleClick(window);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(window, static_cast<short>(LOWORD(lparam)));
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == window) ReleaseCapture();
        return 0;
    case WM_COPY: Copy(window); return 0;
    case WM_CUT: if (enabled) Cut(window); return 0;
    case WM_PASTE: if (enabled) Paste(window); return 0;
    case WM_CLEAR: if (enabled) Clear(window); return 0;
    case WM_UNDO:
    case EM_UNDO:
        if (enabled) Undo(window);
        return TRUE;  // always, for a single-line control
    case EM_CANUNDO: return State(window).undo.Empty() ? FALSE : TRUE;
    case EM_EMPTYUNDOBUFFER: State(window).undo.Clear(); return 0;
    case EM_LIMITTEXT:
        State(window).limit = wparam ? static_cast<int>(std::min<WPARAM>(wparam, 0x7FFFFFFE)) : 0x7FFFFFFE;
        return 0;
    case EM_SETSEL:
        OnSetSel(window, static_cast<int>(static_cast<INT_PTR>(wparam)), static_cast<int>(lparam));
        return 0;
    case EM_GETSEL: {
        const EditState &s = State(window);
        if (wparam) *reinterpret_cast<DWORD *>(wparam) = static_cast<DWORD>(SelectionStart(s));
        if (lparam) *reinterpret_cast<DWORD *>(lparam) = static_cast<DWORD>(SelectionEnd(s));
        return MAKELPARAM(SelectionStart(s), SelectionEnd(s));
    }
    case WM_SETTEXT:
        DefWindowProcW(window, message, wparam, lparam);
        OnTextSet(window);
        return TRUE;
    case WM_PAINT:
        Paint(window);
        return 0;
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace platform
