// The static control: SS_LEFT text, wrapped at spaces and clipped to the
// control, greyed when disabled; and SS_BLACKRECT.
// Leaves out: icons, bitmaps, centred and right-aligned text, and
// WM_CTLCOLORSTATIC (the face is the scheme's).
#include "window.h"

namespace platform {

LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        if ((window->style & SS_TYPEMASK) == SS_BLACKRECT) {
            FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOWFRAME));
        } else {
            FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            SetTextColor(dc, GetSysColor((window->style & WS_DISABLED) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
            DrawTextW(dc, window->text.c_str(), -1, &client, DT_LEFT | DT_WORDBREAK);
        }
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace platform
