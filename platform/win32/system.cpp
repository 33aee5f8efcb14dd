// The window system's one state record, the screen it shows, and the end of
// a run, which leaves nothing behind for the next one.
#include "system.h"

#include "gdi.h"
#include "platform.h"
#include "window.h"

namespace platform {

WindowSystem &System()
{
    static WindowSystem system;
    return system;
}

void SetScreen(Screen *screen)
{
    System().screen = screen;
    if (screen) System().frame.Resize(screen->Width(), screen->Height());
}

Screen *GetScreen()
{
    return System().screen;
}

Frame &FrameBuffer()
{
    return System().frame;
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
    System() = WindowSystem{};
}

}  // namespace platform
