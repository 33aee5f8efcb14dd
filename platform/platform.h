// What start-up code and tests may ask of the platform beyond the Windows
// functions: the dialog that is running, and counters that show leaks and
// beeps.
#ifndef RGBHSV_PLATFORM_PLATFORM_H
#define RGBHSV_PLATFORM_PLATFORM_H

#include <windows.h>

#include <string>

namespace platform {

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
