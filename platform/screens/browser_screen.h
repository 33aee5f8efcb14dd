// The browser screen: shows the pixel device's image in a web page and reads
// the page's keys, clicks, taps and pastes, through emscripten. The page's
// half of it is web/screen.js.
#ifndef RGBHSV_PLATFORM_BROWSER_SCREEN_H
#define RGBHSV_PLATFORM_BROWSER_SCREEN_H

#include <memory>
#include <string>
#include <vector>

#include "screen.h"

namespace platform {

// Null, with why in `error`, where the page's font cannot be had.
std::unique_ptr<Screen> OpenBrowserScreen(ControlNames names, std::string *error);
// Tells the page that the program ended, and how.
void ShowProgramEnded(int status);

}  // namespace platform

#endif
