// The accessible description of the running dialog, for a screen that
// tells a screen reader. Internal to the Windows emulation.
#ifndef RGBHSV_PLATFORM_WIN32_ACCESSIBILITY_H
#define RGBHSV_PLATFORM_WIN32_ACCESSIBILITY_H

#include <windows.h>

#include <vector>

#include "screen.h"

namespace platform {

// The dialog, its close box and its visible controls, in tab order.
std::vector<AccessibleNode> DescribeDialog(HWND dialog);
// Tells the screen, if it asks to be told, about the running dialog; and,
// once a field refused a number, what it holds instead.
void DescribeToScreen();
// A beep is about to sound: the screen reader is told the dialog as it is,
// and then that beep, as what the focused field refused (said once the
// field holds what it took instead) or, with no field focused, as a beep.
void DescribeBeep();

}  // namespace platform

#endif
