// The drawing room of the Windows emulation: every cell that windows put in
// the frame goes through these, in a window's client coordinates (clipped to
// its client area) or, for the dialog's own frame, in screen cells. Named so
// as not to be taken for the Win32 functions of similar purpose.
#ifndef RGBHSV_PLATFORM_WIN32_GDI_H
#define RGBHSV_PLATFORM_WIN32_GDI_H

#include <windows.h>

#include <string_view>

#include "screen.h"

namespace platform {

// Fills `rect` of the window's client area with blank cells of ground `bg`.
void FillCells(HWND window, const RECT &rect, Colour bg, uint8_t attrs = 0);
// Puts `text` one character a cell from (x, y) of the client area.
void PutText(HWND window, int x, int y, std::u16string_view text, Colour fg, Colour bg, uint8_t attrs = 0);
// Label text may run on past its control into the dialog: a proportional
// font fits "HSV color:" in 34 dialog units, fixed cells do not.
void PutLabel(HWND window, std::u16string_view text, Colour fg, Colour bg);
// One cell at a screen position, for what lies outside any client area:
// a dialog's border and caption bar.
void PutScreenCell(LONG x, LONG y, const Cell &cell);
// A WS_BORDER frame on cells, which are too coarse for a frame outside the
// client area: lines in `fg` over the window's edge cells, on whatever
// ground its paint gave them, so that the outline shows whatever the fill.
void OutlineCells(HWND window, Colour fg);
// In place of a dialog of `width` x `height` that the screen is too small
// for: one line, the longest of the messages that fits, of the size
// needed, the size there is and how to leave; no caret.
void ShowNeededSize(int width, int height);
// The one place the caret is shown, at (x, y) of the window's client area,
// or hidden.
void PlaceCaret(HWND window, bool visible, int x = 0, int y = 0);

// Frees every paint context and brush still live, at the end of a run.
void FreeDrawingObjects();

}  // namespace platform

#endif
