/*
 * The colour swatch: a subclassed static control that fills its client area
 * with SwatchColour and leaves every other message to the static control.
 */
#include <windows.h>

#include "dialog/controller.h"

SWATCHCOLOUR SwatchColour = {255, 255, 255};
WNDPROC PreviousSwatchProc;

static void PaintSwatch(HWND window)
{
    PAINTSTRUCT paint;
    RECT client;
    HDC dc = BeginPaint(window, &paint);
    GetClientRect(window, &client);
    /* One brush per paint: nothing is kept between paints. */
    HBRUSH brush = CreateSolidBrush(RGB(SwatchColour.Red & 0xFF, SwatchColour.Green & 0xFF, SwatchColour.Blue & 0xFF));
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    EndPaint(window, &paint);
}

LRESULT CALLBACK SwatchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintSwatch(window);
        return 0;
    default:
        return CallWindowProcW(PreviousSwatchProc, window, message, wParam, lParam);
    }
}
