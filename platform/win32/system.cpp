// The window system's one state record, the screen it shows and its
// device, the clipboard through it, and the conversion between UTF-16 and
// UTF-8 that everything passing between windows and screens takes.
#include "system.h"

#include "platform.h"

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

Device &Drawing()
{
    return *System().screen->OwnDevice();
}

std::string Utf8FromUtf16(std::u16string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        char32_t c = text[i];
        const bool high = c >= 0xD800 && c < 0xDC00;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (c >= 0xD800 && c < 0xE000)
            c = U'\uFFFD';
        AppendUtf8(&out, c);
    }
    return out;
}

std::u16string Utf16FromUtf8(std::string_view text)
{
    std::u16string out;
    for (char32_t c : DecodeUtf8(text)) {
        if (c < 0x10000) {
            out.push_back(static_cast<char16_t>(c >= 0xD800 && c < 0xE000 ? 0xFFFD : c));
        } else if (c < 0x110000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(u'\uFFFD');
        }
    }
    return out;
}

void DiscardSystem()
{
    Instance().reset();
}

}  // namespace platform
