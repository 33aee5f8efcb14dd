// Key translation: the screen's keys as the platform's virtual keys, and
// the characters that TranslateMessage adds to them, in one place.
#include "keys.h"

#include <cctype>

namespace platform {

int VirtualKey(Key key)
{
    switch (key) {
    case Key::kBack: return VK_BACK;
    case Key::kTab: return VK_TAB;
    case Key::kReturn: return VK_RETURN;
    case Key::kEscape: return VK_ESCAPE;
    case Key::kLeft: return VK_LEFT;
    case Key::kRight: return VK_RIGHT;
    case Key::kUp: return VK_UP;
    case Key::kDown: return VK_DOWN;
    case Key::kHome: return VK_HOME;
    case Key::kEnd: return VK_END;
    case Key::kInsert: return VK_INSERT;
    case Key::kDelete: return VK_DELETE;
    case Key::kF4: return VK_F4;
    case Key::kNone: break;
    }
    return 0;
}

int VirtualKeyOfCharacter(char32_t ch)
{
    return ch < 0x80 && std::isalnum(static_cast<int>(ch)) ? std::toupper(static_cast<int>(ch)) : 0;
}

// The one place that says which keys make a character, as TranslateMessage
// does: Backspace makes 8 (with Ctrl, 0x7F); with Alt a character is itself,
// for WM_SYSCHAR; with Ctrl a letter makes its control character (Ctrl+C is
// 3) and [ \ ] make 0x1B to 0x1D, while a digit or any other key makes
// none; a character typed alone is itself. 0 for none.
char16_t TranslatedCharacter(int key, char32_t ch, uint8_t modifiers)
{
    if (key == VK_BACK) return (modifiers & kCtrl) ? 0x7F : u'\b';
    if (ch == 0 || ch >= 0x10000) return 0;
    if ((modifiers & kAlt) || !(modifiers & kCtrl)) return static_cast<char16_t>(ch);
    if (ch < 0x80 && std::isalpha(static_cast<int>(ch))) return static_cast<char16_t>(std::toupper(static_cast<int>(ch)) & 0x1F);
    if (ch == U'[' || ch == U'\\' || ch == U']') return static_cast<char16_t>(ch & 0x1F);
    return 0;
}

}  // namespace platform
