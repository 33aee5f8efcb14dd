// The browser screen: shows the platform's frame in a web page and reads
// the page's keys, clicks, taps and pastes, through emscripten. The page's
// half of it is web/screen.js.
#ifndef RGBHSV_PLATFORM_BROWSER_SCREEN_H
#define RGBHSV_PLATFORM_BROWSER_SCREEN_H

#include <memory>

#include "screen.h"

namespace platform {

std::unique_ptr<Screen> OpenBrowserScreen();
// Tells the page that the program ended, and how.
void ShowProgramEnded(int status);

}  // namespace platform

#endif
