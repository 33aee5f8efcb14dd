// The window system's state, all of it, in one record reached through
// System(): windows, focus, the running dialogs, the stock and live drawing
// objects, the module and its icons, and the screen. Internal to the Windows
// emulation; ResetWindowSystem (modal_loop.cpp) empties it when a run ends.
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

// A brush or one of the two fonts.
struct HGDIOBJ__ {
    enum class Kind { kBrush, kFont } kind;
    COLORREF colour = 0;  // a brush's
    bool bold = false;    // a font's
};

namespace platform {

constexpr int kSystemColours = COLOR_3DLIGHT + 1;

// The stock objects, a brush for each system colour and the two fonts:
// never counted, never freed. GDI (gdi.cpp) makes them.
struct StockObjects {
    HGDIOBJ__ brushes[kSystemColours];
    HGDIOBJ__ dialog_font{HGDIOBJ__::Kind::kFont, 0, false};
    HGDIOBJ__ caption_font{HGDIOBJ__::Kind::kFont, 0, true};
    StockObjects();
    bool Owns(HGDIOBJ object) const
    {
        return (object >= brushes && object < brushes + kSystemColours) || object == &dialog_font ||
               object == &caption_font;
    }
};

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
    StockObjects stock;
    std::string refused;                           // a focused field's text when it beeped, until it changes
    HWND refused_in = nullptr;                     // ... and that field
    Screen *screen = nullptr;                      // what shows the windows, on its device, and gives input

    WindowSystem() = default;
    WindowSystem(const WindowSystem &) = delete;
    WindowSystem &operator=(const WindowSystem &) = delete;
};

// The one instance, made on first use.
WindowSystem &System();

// The screen's own device; there is a screen whenever there are windows.
Device &Drawing();

// The one conversion between a window's UTF-16 and the screens' UTF-8:
// surrogate pairs become one character, and a lone surrogate U+FFFD.
std::string Utf8FromUtf16(std::u16string_view text);
std::u16string Utf16FromUtf8(std::string_view text);

// Forgets the record, once the windows and drawing objects in it are gone.
void DiscardSystem();

// The person's clipboard, which the screen keeps (for the terminal, what the
// program copied; for the page, the browser's), as UTF-16 text.
void WriteClipboard(std::u16string_view text);
std::u16string ReadClipboard();

}  // namespace platform

#endif
