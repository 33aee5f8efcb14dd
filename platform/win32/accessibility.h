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
// Tells the screen, if it asks to be told, about the running dialog.
void DescribeToScreen();

}  // namespace platform

#endif
