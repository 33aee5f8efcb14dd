// The terminal screen: shows the platform's frame in the terminal the
// program was started in and reads the person's keys, clicks, pastes and
// resizes, on ncursesw.
#ifndef RGBHSV_PLATFORM_TERMINAL_SCREEN_H
#define RGBHSV_PLATFORM_TERMINAL_SCREEN_H

#include <memory>
#include <string>

#include "screen.h"

namespace platform {

// Opens the terminal, or returns null with the reason in *error.
std::unique_ptr<Screen> OpenTerminalScreen(std::string *error);

}  // namespace platform

#endif
