// Start-up: the process's main opens the terminal screen, calls the
// program's WinMain as Windows' start-up code would, and exits with its
// result once the terminal is restored.
#include <windows.h>

#include <cstdio>

#include "terminal_screen.h"

int main()
{
    std::string error;
    std::unique_ptr<platform::Screen> screen = platform::OpenTerminalScreen(&error);
    if (!screen) {
        std::fprintf(stderr, "rgbhsv: %s\n", error.c_str());
        return 1;
    }
    platform::SetScreen(screen.get());
    char command_line[] = "";
    const int result = WinMain(GetModuleHandleW(nullptr), nullptr, command_line, SW_SHOWNORMAL);
    platform::SetScreen(nullptr);
    screen.reset();
    return result;
}
