// What start-up code, tests and benchmarks may ask of the platform beyond
// the Windows functions: running the program on a screen, the dialog that is
// running, and a counter that shows leaks.
#ifndef RGBHSV_PLATFORM_PLATFORM_H
#define RGBHSV_PLATFORM_PLATFORM_H

#include <windows.h>

#include <string>

#include "screen.h"

namespace platform {

// The screen the window system draws on and reads input from, or null.
void SetScreen(Screen *screen);
Screen *GetScreen();
// Ends a run: destroys what windows are left and forgets every window,
// icon, count and the screen, so that the next run starts as a new process.
void ResetWindowSystem();

// Runs the program on `screen` as Windows' start-up code would: the screen
// is set, WinMain is called with an empty command line, and the window
// system is reset before its result is returned. Inline, so that the platform
// library needs no WinMain of its own.
inline int RunOnScreen(Screen &screen)
{
    SetScreen(&screen);
    char command_line[] = "";
    const int result = WinMain(GetModuleHandleW(nullptr), nullptr, command_line, SW_SHOWNORMAL);
    ResetWindowSystem();
    return result;
}

// The dialog of the innermost running modal loop, or null.
HWND ActiveDialog();
// Drawing objects (brushes, paint contexts) created and not yet released.
int LiveDrawingObjects();
// A window's text as UTF-8.
std::string WindowText(HWND window);

}  // namespace platform

#endif
