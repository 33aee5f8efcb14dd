// Key translation for the dialog manager: what a screen's key is as a
// virtual key, and which character a key makes, as TranslateMessage says.
#ifndef RGBHSV_PLATFORM_WIN32_KEYS_H
#define RGBHSV_PLATFORM_WIN32_KEYS_H

#include <windows.h>

#include "screen.h"

namespace platform {

// The VK_ code of a screen's key; 0 for none.
int VirtualKey(Key key);
// The VK_ code of a letter or digit typed with Ctrl or Alt ('A' to 'Z',
// '0' to '9'); 0 for any other character.
int VirtualKeyOfCharacter(char32_t ch);
// The character a key (`key` a VK_ code, or a character `ch` typed with
// `modifiers`) makes besides its key message; 0 for none.
char16_t TranslatedCharacter(int key, char32_t ch, uint8_t modifiers);

}  // namespace platform

#endif
