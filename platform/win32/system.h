// The window system's state, all of it, in one record reached through
// System(): windows, focus, the running dialogs, live drawing objects, the
// module and its icons, and the screen. Internal to the Windows
// emulation; ResetWindowSystem (system.cpp) empties it when a run ends.
// The terminal screen's restore bytes are kept apart, in its session
// (screens/terminal/): a signal handler must reach them without this record.
#ifndef RGBHSV_PLATFORM_SYSTEM_H
#define RGBHSV_PLATFORM_SYSTEM_H

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "resource_reader.h"
#include "screen.h"

// The program's one module, which GetModuleHandleW(nullptr) names.
struct HINSTANCE__ {
    int unused;
};

// A loaded icon: its group in the resource section.
struct HICON__ {
    const platform::ResourceRecord *group;
};

namespace platform {

// The one caret: its window, size, place in that window's client area, and
// how many more HideCaret calls than ShowCaret it has had.
struct SystemCaret {
    HWND owner = nullptr;
    int width = 0, height = 0;
    int x = 0, y = 0;
    int hidden = 0;
};

struct WindowSystem {
    std::unordered_set<HWND> windows;              // every live window, for handle checks
    std::vector<HWND> top_level;                   // windows without a parent, z order, bottom first
    HWND focus = nullptr;                          // the window that keys go to
    HWND capture = nullptr;                        // the window that the pointer's moves go to
    uint8_t modifiers = 0;                         // Shift, Ctrl, Alt held for the key being handled
    std::vector<HWND> running_dialogs;             // modal dialogs, innermost last
    std::unordered_set<HDC> device_contexts;       // from BeginPaint or GetWindowDC, until released
    std::unordered_set<HGDIOBJ> brushes;           // from CreateSolidBrush, until DeleteObject
    std::vector<std::unique_ptr<HICON__>> icons;   // loaded icons, shared and never freed
    HINSTANCE__ module{};                          // the program's one module
    SystemCaret caret;
    std::string refused;                           // a focused field's text when it beeped, until it changes
    HWND refused_in = nullptr;                     // ... and that field
    Screen *screen = nullptr;                      // what shows the windows, on its device, and gives input

    WindowSystem() = default;
    WindowSystem(const WindowSystem &) = delete;
    WindowSystem &operator=(const WindowSystem &) = delete;
};

// The one instance, made on first use.
WindowSystem &System();

// The person's clipboard, which the screen keeps (for the terminal, what the
// program copied; for the page, the browser's), as UTF-16 text.
void WriteClipboard(std::u16string_view text);
std::u16string ReadClipboard();

}  // namespace platform

#endif
