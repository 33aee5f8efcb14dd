// The program's start-up in a browser: the page's main runs the program on
// the browser screen as Windows' start-up code would, then tells the page
// how it ended. The page names the controls for screen readers from the
// table every screen shares.
#include <windows.h>

#include <cstdio>
#include <string>

#include "browser_screen.h"
#include "app/control_names.h"
#include "platform.h"

int main()
{
    std::string error;
    platform::ControlNames names;
    for (const ControlNameEntry &entry : ControlNamesTable) names.push_back({entry.id, entry.name});
    std::unique_ptr<platform::Screen> screen = platform::OpenBrowserScreen(names, &error);
    if (!screen) {
        std::fprintf(stderr, "rgbhsv: %s\n", error.c_str());
        platform::ShowProgramEnded(1);
        return 1;
    }
    const int result = platform::RunOnScreen(*screen);
    platform::ShowProgramEnded(result);
    return result;
}
