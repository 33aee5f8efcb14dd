// The desktop window screen: the dialog in a window of its own on a Wayland
// or X11 desktop, drawn in pixels as classic Windows draws it, through a
// Wayland client of our own or SDL2, and FreeType.
#ifndef RGBHSV_PLATFORM_WINDOW_SCREEN_H
#define RGBHSV_PLATFORM_WINDOW_SCREEN_H

#include <memory>
#include <string>

#include "screen.h"

namespace platform {

// Opens a window on the desktop, or returns null with the reason in
// *error (no desktop, or no dialog font). `names` are what screen readers
// call the controls with no text of their own.
std::unique_ptr<Screen> OpenWindowScreen(const ControlNames &names, std::string *error);

}  // namespace platform

#endif
