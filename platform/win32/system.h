// The window system's state, all of it, in one record reached through
// System(): windows, focus, the running dialogs, live drawing objects, the
// module and its icons, the frame and the screen. Internal to the Windows
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

struct WindowSystem {
    std::unordered_set<HWND> windows;              // every live window, for handle checks
    std::vector<HWND> top_level;                   // windows without a parent, z order, bottom first
    HWND focus = nullptr;                          // the window that keys go to
    uint8_t modifiers = 0;                         // Shift, Ctrl, Alt held for the key being handled
    std::vector<HWND> running_dialogs;             // modal dialogs, innermost last
    std::unordered_set<HDC> paint_contexts;        // from BeginPaint, until EndPaint
    std::unordered_set<HGDIOBJ> brushes;           // from CreateSolidBrush, until DeleteObject
    std::vector<std::unique_ptr<HICON__>> icons;   // loaded icons, shared and never freed
    HINSTANCE__ module{};                          // the program's one module
    Frame frame;                                   // the cells the windows draw into
    Screen *screen = nullptr;                      // what shows the frame and gives input
};

// The one instance, made on first use.
WindowSystem &System();
// The frame the windows draw into, sized to the screen.
Frame &FrameBuffer();

// The person's clipboard, which the screen keeps (for the terminal, what the
// program copied; for the page, the browser's), as UTF-16 text.
void WriteClipboard(std::u16string_view text);
std::u16string ReadClipboard();

}  // namespace platform

#endif
