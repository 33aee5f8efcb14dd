// The drawing room of the Windows emulation beyond GDI's own functions: the
// device contexts and objects, the caption's font, the caret as the screen
// shows it. Includes run one way: system.h, then window.h, then this.
#ifndef RGBHSV_PLATFORM_WIN32_GDI_H
#define RGBHSV_PLATFORM_WIN32_GDI_H

#include <windows.h>

#include "device.h"

// A device context: its window, whether it reaches the frame (GetWindowDC)
// or only the client area, what SetTextColor, SetBkColor, SetBkMode and
// SelectObject gave it, and what its drawing is part of.
struct HDC__ {
    HWND window;
    bool whole_window;  // GetWindowDC's, for the frame; else the client area's
    COLORREF text = 0x000000;
    COLORREF background = 0xFFFFFF;
    int background_mode = OPAQUE;
    HGDIOBJ font;
    bool selected = false;  // what it draws now is a selection, as the edit control says
};


namespace platform {

// The bold font of a caption bar.
HFONT CaptionFont();
// Puts the system caret on the device: where its owner set it, or nowhere.
void ShowCaretOnDevice();

// Frees every device context and brush still live, at the end of a run.
void FreeDrawingObjects();

// What user32's drawing (user_draw.cpp) asks of a device context: whether
// it is live, where its (0, 0) is on the device and what it may draw on, a
// rectangle of it on the device, and the look its text takes.
bool IsLiveDC(HDC dc);
Box Area(HDC dc);
Box OnDevice(HDC dc, const RECT &r);
bool Bold(HDC dc);
TextLook LookOf(HDC dc);

}  // namespace platform

#endif
