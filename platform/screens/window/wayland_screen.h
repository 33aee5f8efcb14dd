// The desktop window as a Wayland client of its own: an xdg-shell toplevel
// whose pixels are the pixel device's, in shared memory, at the output's
// scale.
#ifndef RGBHSV_PLATFORM_WAYLAND_SCREEN_H
#define RGBHSV_PLATFORM_WAYLAND_SCREEN_H

#include <memory>
#include <string>

#include "screen.h"

namespace platform::wayland {

// The window on the compositor named by WAYLAND_DISPLAY, described to
// screen readers with `names`; null, with the reason in *error, where none
// can be shown there.
std::unique_ptr<Screen> OpenScreen(const ControlNames &names, std::string *error);

}  // namespace platform::wayland

#endif
