// A Wayland window's keyboard: the keymap the compositor hands over, read
// by xkbcommon, turning each key pressed into what the screen reports (a
// key, a character with Ctrl or Alt, or the text it types), as the X11
// window reports them: the keypad's keys as NumLock has them, dead keys
// and Compose sequences as the locale's Compose table composes them.
#ifndef RGBHSV_PLATFORM_WAYLAND_KEYS_H
#define RGBHSV_PLATFORM_WAYLAND_KEYS_H

#include <cstdint>
#include <deque>
#include <string_view>

#include "screen.h"

struct xkb_context;
struct xkb_keymap;
struct xkb_state;
struct xkb_compose_table;
struct xkb_compose_state;

namespace platform::wayland {

class Keyboard {
public:
    Keyboard();
    ~Keyboard();
    Keyboard(const Keyboard &) = delete;
    Keyboard &operator=(const Keyboard &) = delete;

    // A keymap in xkbcommon's text form (the compositor's), or one made
    // from a layout's name ("us", "de"); false, keeping the last, where it
    // cannot be read.
    bool Load(std::string_view keymap);
    bool LoadLayout(const char *layout);
    bool Loaded() const { return state_ != nullptr; }

    // The modifiers' state as the compositor reports it, and the mask of
    // one of them by its xkbcommon name ("Shift", "Mod2" for NumLock).
    void SetModifiers(uint32_t depressed, uint32_t latched, uint32_t locked, uint32_t group);
    uint32_t ModifierMask(const char *name) const;
    // Shift, Ctrl and Alt as held now, as Modifier bits.
    uint8_t Modifiers() const;

    // What pressing the key with xkbcommon's `keycode` (evdev's + 8) makes,
    // appended to `out`; nothing while a dead key or Compose sequence is
    // under way.
    void Press(uint32_t keycode, std::deque<InputEvent> *out);
    // Whether holding the key repeats it.
    bool Repeats(uint32_t keycode) const;

private:
    void Take(xkb_keymap *keymap);

    xkb_context *context_ = nullptr;
    xkb_keymap *keymap_ = nullptr;
    xkb_state *state_ = nullptr;
    xkb_compose_table *compose_table_ = nullptr;
    xkb_compose_state *compose_ = nullptr;
};

}  // namespace platform::wayland

#endif
