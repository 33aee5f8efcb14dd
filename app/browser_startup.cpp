// The program's start-up in a browser: the page's main runs the program on
// the browser screen as Windows' start-up code would, then tells the page
// how it ended.
#include <windows.h>

#include "browser_screen.h"
#include "platform.h"

int main()
{
    std::unique_ptr<platform::Screen> screen = platform::OpenBrowserScreen();
    const int result = platform::RunOnScreen(*screen);
    platform::ShowProgramEnded(result);
    return result;
}
