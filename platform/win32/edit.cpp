// The single-line edit control: text, caret and selection; ES_NUMBER;
// EM_LIMITTEXT; Backspace, Delete, arrows, Home and End, Shift to select;
// clicks place the caret. Every change of the text, typed or set, sends
// EN_CHANGE to the parent once the new text and caret are in place.
// Leaves out: multi-line, password and read-only styles, undo, clipboard.
#include <algorithm>

#include "gdi.h"
#include "window.h"

namespace platform {
namespace {

struct EditState : WindowExtra {
    int caret = 0;
    int anchor = 0;  // the other end of the selection
    int limit = 0x7FFFFFFE;
    int scroll = 0;  // first character shown
    bool focused = false;
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

void TextChanged(HWND window)
{
    InvalidateRect(window, nullptr, TRUE);
    NotifyParent(window, EN_CHANGE);
}

// Puts `insert` in place of the selection, if the limit allows.
bool ReplaceSelection(HWND window, std::u16string_view insert)
{
    EditState &s = State(window);
    const int start = SelectionStart(s), end = SelectionEnd(s);
    const int new_length = Length(window) - (end - start) + static_cast<int>(insert.size());
    if (!insert.empty() && new_length > s.limit) {
        NotifyParent(window, EN_MAXTEXT);
        return false;
    }
    if (start == end && insert.empty()) return false;
    window->text.replace(static_cast<size_t>(start), static_cast<size_t>(end - start), insert);
    s.caret = s.anchor = start + static_cast<int>(insert.size());
    TextChanged(window);
    return true;
}

void MoveCaret(HWND window, int to, bool extend)
{
    EditState &s = State(window);
    s.caret = std::clamp(to, 0, Length(window));
    if (!extend) s.anchor = s.caret;
    InvalidateRect(window, nullptr, FALSE);
}

void OnChar(HWND window, char16_t ch)
{
    EditState &s = State(window);
    if (ch == u'\b') {
        if (SelectionStart(s) == SelectionEnd(s)) {
            if (s.caret == 0) return;
            s.anchor = s.caret - 1;
        }
        ReplaceSelection(window, u"");
        return;
    }
    if (ch < 0x20) return;
    if ((window->style & ES_NUMBER) && (ch < u'0' || ch > u'9')) return;
    ReplaceSelection(window, std::u16string_view(&ch, 1));
}

void DeleteForward(HWND window)
{
    EditState &s = State(window);
    if (SelectionStart(s) == SelectionEnd(s)) {
        if (s.caret == Length(window)) return;
        s.anchor = s.caret + 1;
    }
    ReplaceSelection(window, u"");
}

// Arrows, Home and End move the caret, with Shift held extending the
// selection; Delete removes the selection or the character after the caret.
void OnKeyDown(HWND window, WPARAM key)
{
    EditState &s = State(window);
    const bool extend = GetKeyState(VK_SHIFT) < 0;
    switch (key) {
    case VK_LEFT:
        MoveCaret(window, !extend && s.caret != s.anchor ? SelectionStart(s) : s.caret - 1, extend);
        break;
    case VK_RIGHT:
        MoveCaret(window, !extend && s.caret != s.anchor ? SelectionEnd(s) : s.caret + 1, extend);
        break;
    case VK_HOME: MoveCaret(window, 0, extend); break;
    case VK_END: MoveCaret(window, Length(window), extend); break;
    case VK_DELETE: DeleteForward(window); break;
    default: break;
    }
}

// A click takes the focus and puts the caret at the character clicked.
void OnClick(HWND window, int column)
{
    SetFocus(window);
    MoveCaret(window, State(window).scroll + column, false);
}

// EM_SETSEL: start -1 removes the selection; an end below 0 means the end
// of the text; both are kept within the text.
void OnSetSel(HWND window, int start, int end)
{
    EditState &s = State(window);
    if (start == -1) {
        s.anchor = s.caret;
    } else {
        s.anchor = std::clamp(start, 0, Length(window));
        s.caret = end < 0 ? Length(window) : std::clamp(end, 0, Length(window));
    }
    InvalidateRect(window, nullptr, FALSE);
}

// After WM_SETTEXT the caret is at the start, as Windows puts it.
void OnTextSet(HWND window)
{
    EditState &s = State(window);
    s.caret = s.anchor = s.scroll = 0;
    TextChanged(window);
}

// The caret is shown while the field has the focus; the parent hears of it.
void OnFocus(HWND window, bool gained)
{
    State(window).focused = gained;
    if (!gained) PlaceCaret(window, false);
    InvalidateRect(window, nullptr, FALSE);
    NotifyParent(window, gained ? EN_SETFOCUS : EN_KILLFOCUS);
}

void Paint(HWND window)
{
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EditState &s = State(window);
    RECT client;
    GetClientRect(window, &client);
    // A border cannot be drawn inside a cell, so a bordered field gives its
    // last column to the dialog: fields side by side stay apart.
    const int width = static_cast<int>(client.right) - ((window->style & WS_BORDER) && client.right > 1 ? 1 : 0);
    const bool enabled = !(window->style & WS_DISABLED);
    if (s.caret < s.scroll) s.scroll = s.caret;
    if (s.caret - s.scroll >= width) s.scroll = s.caret - width + 1;

    // The field is the first row; a border has no cell of its own.
    const Colour bg = enabled ? kColourWindow : kColourFace;
    const Colour fg = enabled ? kColourText : kColourGreyText;
    const uint8_t role = enabled ? kAttrField : kAttrNone;
    FillCells(window, RECT{0, 0, width, 1}, bg, role);
    const int shown = std::max(0, std::min(width, Length(window) - s.scroll));
    for (int i = 0; i < shown; i++) {
        const int at = s.scroll + i;
        const bool selected = s.focused && at >= SelectionStart(s) && at < SelectionEnd(s);
        PutText(window, i, 0, std::u16string_view(window->text).substr(static_cast<size_t>(at), 1), fg, bg,
                 static_cast<uint8_t>(role | (selected ? kAttrReverse : kAttrNone)));
    }
    if (s.focused) PlaceCaret(window, true, s.caret - s.scroll, 0);
    EndPaint(window, &paint);
}

}  // namespace

LRESULT CALLBACK EditWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
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
        if (!(window->style & WS_DISABLED)) OnChar(window, static_cast<char16_t>(wparam));
        return 0;
    case WM_KEYDOWN:
        if (!(window->style & WS_DISABLED)) OnKeyDown(window, wparam);
        return 0;
    case WM_LBUTTONDOWN:
        OnClick(window, static_cast<short>(LOWORD(lparam)));
        return 0;
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
