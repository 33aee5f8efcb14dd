// What start-up code, tests and benchmarks may ask of the platform beyond
// the Windows functions: running the program on a screen, the dialog that is
// running, and counters that show leaks and beeps.
#ifndef RGBHSV_PLATFORM_PLATFORM_H
#define RGBHSV_PLATFORM_PLATFORM_H

#include <windows.h>

#include <string>

#include "screen.h"

namespace platform {

// Runs the program on `screen` as Windows' start-up code would: the screen
// is set, WinMain is called with an empty command line, and the screen is
// cleared again before its result is returned. Inline, so that the platform
// library needs no WinMain of its own.
inline int RunOnScreen(Screen &screen)
{
    SetScreen(&screen);
    char command_line[] = "";
    const int result = WinMain(GetModuleHandleW(nullptr), nullptr, command_line, SW_SHOWNORMAL);
    SetScreen(nullptr);
    return result;
}

// The dialog of the innermost running modal loop, or null.
HWND ActiveDialog();
// Drawing objects (brushes, paint contexts) created and not yet released.
int LiveDrawingObjects();
// MessageBeep calls so far.
int BeepCount();
// A window's text as UTF-8.
std::string WindowText(HWND window);

}  // namespace platform

#endif
