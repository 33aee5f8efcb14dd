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
    std::string utf8;
    for (char16_t c : text) AppendUtf8(&utf8, c);
    if (System().screen) System().screen->WriteClipboard(utf8);
}

std::u16string ReadClipboard()
{
    std::u16string text;
    if (!System().screen) return text;
    for (char32_t c : DecodeUtf8(System().screen->ReadClipboard()))
        if (c < 0x10000) text.push_back(static_cast<char16_t>(c));
    return text;
}

void ResetWindowSystem()
{
    const std::vector<HWND> left = System().top_level;
    for (HWND window : left) DestroyWindowRecord(window);
    FreeDrawingObjects();
    System() = WindowSystem{};
}

}  // namespace platform
