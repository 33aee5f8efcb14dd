// The push button: its text centred in brackets, greyed and passed over by
// focus when disabled; a click, Space or Enter sends BN_CLICKED.
// Leaves out: check boxes, radio buttons, group boxes, owner drawing.
#include <algorithm>

#include "gdi.h"
#include "window.h"

namespace platform {
namespace {

void Paint(HWND window)
{
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    const bool enabled = !(window->style & WS_DISABLED);
    const std::u16string face = u"[ " + window->text + u" ]";
    const int x = std::max(0, (static_cast<int>(client.right) - static_cast<int>(face.size())) / 2);
    const uint8_t attrs = GetFocus() == window ? kAttrBold : kAttrNone;
    PutText(window, x, 0, face, enabled ? kColourText : kColourGreyText, kColourFace, attrs);
    EndPaint(window, &paint);
}

}  // namespace

LRESULT CALLBACK ButtonWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_BUTTON;
    case WM_SETFOCUS:
        PlaceCaret(window, false);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
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
