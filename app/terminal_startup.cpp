// The program's start-up in a terminal: main answers --help and --version,
// opens the terminal screen, calls WinMain as Windows' start-up code would,
// and exits with its result once the terminal is restored. WinMain itself
// is handed an empty command line, as the program takes none.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform.h"
#include "terminal_screen.h"

#ifndef RGBHSV_VERSION
#define RGBHSV_VERSION "unknown"
#endif

namespace {

const char kUsage[] =
    "Usage: rgbhsv [--help | --version]\n"
    "\n"
    "Shows the RGB <-> HSV converter in this terminal: edit red, green and blue\n"
    "or hue, saturation and value (0..255); the other row and the swatch follow.\n"
    "Tab moves between fields; Escape, Ctrl+C or the close box ends it; Ctrl+Z\n"
    "suspends it. See rgbhsv(1).\n";

// Writes an answer to standard output: status 0, or 1 with the reason when
// it cannot be written (a full disk, say).
int Answer(const char *text)
{
    errno = 0;
    if (std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0) return 0;
    std::fprintf(stderr, "rgbhsv: cannot write output: %s\n", std::strerror(errno ? errno : EIO));
    return 1;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc > 1) {
        if (argc == 2 && std::strcmp(argv[1], "--help") == 0) return Answer(kUsage);
        if (argc == 2 && std::strcmp(argv[1], "--version") == 0) return Answer("rgbhsv " RGBHSV_VERSION "\n");
        // The argument is shown as far as it is printable, and no further.
        std::fputs("rgbhsv: unknown argument '", stderr);
        for (const char *p = argv[1]; *p && p - argv[1] < 24; p++)
            std::fputc(*p >= 0x20 && *p < 0x7F ? *p : '?', stderr);
        std::fputs("'; usage: rgbhsv [--help | --version]\n", stderr);
        return 2;
    }
    std::string error;
    std::unique_ptr<platform::Screen> screen = platform::OpenTerminalScreen(&error);
    if (!screen) {
        std::fprintf(stderr, "rgbhsv: %s\n", error.c_str());
        return 1;
    }
    const int result = platform::RunOnScreen(*screen);
    screen.reset();  // the terminal is restored before the process ends
    return result;
}
