// The program's start-up in a browser: the page's main runs the program on
// the browser screen as Windows' start-up code would, then tells the page
// how it ended. The page names the fields for screen readers, which on
// Windows would read the labels beside them.
#include <windows.h>

#include <cstdio>
#include <string>

#include "browser_screen.h"
#include "platform.h"
#include "resources/resource.h"

int main()
{
    std::string error;
    std::unique_ptr<platform::Screen> screen = platform::OpenBrowserScreen({
        {IDC_RED, "Red, RGB color"},
        {IDC_GREEN, "Green, RGB color"},
        {IDC_BLUE, "Blue, RGB color"},
        {IDC_HUE, "Hue, HSV color"},
        {IDC_SAT, "Saturation, HSV color"},
        {IDC_VAL, "Value, HSV color"},
        {IDC_SWATCH, "Colour swatch"},
    }, &error);
    if (!screen) {
        std::fprintf(stderr, "rgbhsv: %s\n", error.c_str());
        platform::ShowProgramEnded(1);
        return 1;
    }
    const int result = platform::RunOnScreen(*screen);
    platform::ShowProgramEnded(result);
    return result;
}
