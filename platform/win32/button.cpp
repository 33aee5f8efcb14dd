// The push button: a raised face with its text centred, greyed and passed
// over by focus when disabled, a focus rectangle inside the edge; a click,
// Space or Enter sends BN_CLICKED.
// Leaves out: check boxes, radio buttons, group boxes, owner drawing, and
// the pushed look while the mouse is held (a click is one event here).
#include "window.h"

namespace platform {
namespace {

void Paint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const bool enabled = !(window->style & WS_DISABLED);
    DrawFrameControl(dc, &client, DFC_BUTTON, DFCS_BUTTONPUSH | (enabled ? 0 : DFCS_INACTIVE));
    SIZE text;
    const int length = static_cast<int>(window->text.size());
    GetTextExtentPoint32W(dc, window->text.c_str(), length, &text);
    const int x = static_cast<int>((client.right - text.cx) / 2), y = static_cast<int>((client.bottom - text.cy) / 2);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(window->text.c_str()), static_cast<WPARAM>(length), x, y,
               text.cx, text.cy, DST_TEXT | (enabled ? 0 : DSS_DISABLED));
    if (GetFocus() == window) {
        RECT focus = client;
        const int inset = 2 * GetSystemMetrics(SM_CXEDGE);
        InflateRect(&focus, -inset, -inset);
        DrawFocusRect(dc, &focus);
    }
    EndPaint(window, &paint);
}

}  // namespace

LRESULT CALLBACK ButtonWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_BUTTON;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        if (window->style & WS_DISABLED) return 0;
        SetFocus(window);
        NotifyParent(window, BN_CLICKED);
        return 0;
    case WM_CHAR:
        if (wparam == u' ' && !(window->style & WS_DISABLED)) NotifyParent(window, BN_CLICKED);
        return 0;
    case WM_PAINT:
        Paint(window);
        return 0;
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace platform
