// What the window screen asks of a Wayland compositor itself, before SDL
// may be given it: whether a window can be shown there at all. SDL 2.26's
// Wayland driver ends the program inside SDL_Init where the compositor
// offers no seat, so the compositor is asked first.
#ifndef RGBHSV_PLATFORM_WAYLAND_DESKTOP_H
#define RGBHSV_PLATFORM_WAYLAND_DESKTOP_H

#include <string>

namespace platform::wayland {

// True where the compositor named by WAYLAND_DISPLAY answers and offers
// what a window of ours needs (a compositor, shared memory, the
// xdg-shell, a seat); false, with the reason in *error, where it does not.
bool CanShowWindow(std::string *error);

}  // namespace platform::wayland

#endif
