// The program's start-up on Linux: main answers --help and --version,
// opens a window where a desktop is there (or the terminal, when asked or
// when no window opens), calls WinMain as Windows' start-up code would, and
// exits with its result once the screen is closed and the terminal
// restored. WinMain itself is handed an empty command line, as the program
// takes none.
#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>
#include <cstdio>
#include <cstring>

#include "app/control_names.h"
#include "platform.h"
#include "terminal_screen.h"
#ifdef RGBHSV_WINDOW
#include "window_screen.h"
#endif

#ifndef RGBHSV_VERSION
#define RGBHSV_VERSION "unknown"
#endif

namespace {

const char kUsage[] =
    "Usage: rgbhsv [-t | --terminal | --window | -h | --help | --version]\n"
    "\n"
    "Shows the RGB <-> HSV converter: edit red, green and blue or hue,\n"
    "saturation and value (0..255); the other row and the swatch follow.\n"
    "On a desktop it opens a window, elsewhere it shows in this terminal.\n"
    "  -t, --terminal  always in this terminal\n"
    "      --window    always in a window; status 1 where none can open\n"
    "Tab moves between fields; Escape or the close box ends it; in the\n"
    "terminal Ctrl+C ends it too and Ctrl+Z suspends it. See rgbhsv(1).\n";

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
    std::fputs("'; usage: rgbhsv [--terminal | --window | --help | --version]\n", stderr);
    return 2;
}

enum class Where { kAnywhere, kTerminal, kWindow };

// A window where a desktop is there and one opens; the terminal otherwise,
// with why no window opened in *fallback, to be said once the terminal is
// the shell's again. Where neither can be had, the reason is both: why no
// window opened (the display named), and why the terminal cannot be used,
// as when started from a menu with a desktop that has gone.
std::unique_ptr<platform::Screen> OpenScreen(Where where, std::string *error, std::string *fallback)
{
#ifdef RGBHSV_WINDOW
    platform::ControlNames names;
    for (const ControlNameEntry &entry : ControlNamesTable) names.push_back({entry.id, entry.name});
    if (where == Where::kWindow) return platform::OpenWindowScreen(names, error);
    const auto set = [](const char *name) { return std::getenv(name) && *std::getenv(name); };
    if (where == Where::kAnywhere && (set("DISPLAY") || set("WAYLAND_DISPLAY"))) {
        std::string window_error;
        if (auto window = platform::OpenWindowScreen(names, &window_error)) return window;
        auto terminal = platform::OpenTerminalScreen(error);
        if (!terminal) *error = window_error + "; nor can it show in a terminal: it " + *error;
        else *fallback = window_error;
        return terminal;
    }
#else
    (void)fallback;
    if (where == Where::kWindow) {
        *error = "this build has no window; it shows in the terminal";
        return nullptr;
    }
#endif
    return platform::OpenTerminalScreen(error);
}

}  // namespace

int main(int argc, char **argv)
{
    Where where = Where::kAnywhere;
    if (argc > 1) {
        const bool help = std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0;
        const bool version = std::strcmp(argv[1], "--version") == 0;
        const bool terminal = std::strcmp(argv[1], "--terminal") == 0 || std::strcmp(argv[1], "-t") == 0;
        const bool window = std::strcmp(argv[1], "--window") == 0;
        if (!help && !version && !terminal && !window) return Refuse("unknown argument", argv[1]);
        if (argc > 2) return Refuse("unexpected argument", argv[2]);
        if (help || version) return Answer(help ? kUsage : "rgbhsv " RGBHSV_VERSION "\n");
        where = terminal ? Where::kTerminal : Where::kWindow;
    }
    std::string error, fallback;
    std::unique_ptr<platform::Screen> screen = OpenScreen(where, &error, &fallback);
    if (!screen) {
        std::fprintf(stderr, "rgbhsv: %s\n", error.c_str());
        return 1;
    }
    const int result = platform::RunOnScreen(*screen);
    screen.reset();  // the terminal is restored before the process ends
    if (!fallback.empty()) std::fprintf(stderr, "rgbhsv: %s; it showed in the terminal instead\n", fallback.c_str());
    return result;
}
