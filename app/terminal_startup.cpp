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
    "Usage: rgbhsv [-h | --help | --version]\n"
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

// Names an argument that is not taken, as far as it is printable and no
// further; status 2.
int Refuse(const char *what, const char *argument)
{
    std::fprintf(stderr, "rgbhsv: %s '", what);
    for (const char *p = argument; *p && p - argument < 24; p++)
        std::fputc(*p >= 0x20 && *p < 0x7F ? *p : '?', stderr);
    std::fputs("'; usage: rgbhsv [--help | --version]\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc > 1) {
        const bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
        const bool version = std::strcmp(argv[1], "--version") == 0;
        if (!help && !version) return Refuse("unknown argument", argv[1]);
        if (argc > 2) return Refuse("unexpected argument", argv[2]);
        return Answer(help ? kUsage : "rgbhsv " RGBHSV_VERSION "\n");
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
