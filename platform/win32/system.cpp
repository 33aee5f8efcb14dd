// The window system's one state record, the screen it shows, and the end of
// a run, which leaves nothing behind for the next one.
#include "system.h"

#include "gdi.h"
#include "platform.h"
#include "window.h"

namespace platform {

namespace {

std::unique_ptr<WindowSystem> &Instance()
{
    static std::unique_ptr<WindowSystem> system;
    return system;
}

}  // namespace

WindowSystem &System()
{
    std::unique_ptr<WindowSystem> &system = Instance();
    if (!system) system = std::make_unique<WindowSystem>();
    return *system;
}

// A screen of cells is drawn in the frame, sized to it; a screen with a
// device of its own sizes that.
void SetScreen(Screen *screen)
{
    System().screen = screen;
}

Screen *GetScreen()
{
    return System().screen;
}

void WriteClipboard(std::u16string_view text)
{
    if (System().screen) System().screen->WriteClipboard(Utf8FromUtf16(text));
}

std::u16string ReadClipboard()
{
    return System().screen ? Utf16FromUtf8(System().screen->ReadClipboard()) : std::u16string();
}

void ResetWindowSystem()
{
    const std::vector<HWND> left = System().top_level;
    for (HWND window : left) DestroyWindowRecord(window);
    FreeDrawingObjects();
    Instance().reset();
}

}  // namespace platform
