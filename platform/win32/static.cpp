// The static control: SS_LEFT text (greyed when disabled) and SS_BLACKRECT.
// Leaves out: icons, bitmaps, centred and right-aligned text, wrapping.
#include "gdi.h"
#include "window.h"

namespace platform {

LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        const DWORD kind = window->style & SS_TYPEMASK;
        if (kind == SS_BLACKRECT) {
            RECT client;
            GetClientRect(window, &client);
            FillCells(window, client, kColourFrame);
        } else {
            const Colour fg = (window->style & WS_DISABLED) ? kColourGreyText : kColourText;
            PutLabel(window, window->text, fg, kColourFace);
        }
        EndPaint(window, &paint);
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace platform
