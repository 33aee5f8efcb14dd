// The keyboard of the Wayland window, over xkbcommon. A keysym names a key
// of the screen's own (Backspace, the arrows, the keypad's with NumLock
// off); with Ctrl or Alt held, a letter or digit is reported as that
// character with its modifiers, the layout's first group standing in where
// the key types no Latin letter (so Ctrl+C copies on a Cyrillic layout
// too); otherwise the key types its text, one character at a time.
#include "wayland_keys.h"

#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdlib>
#include <string>

namespace platform::wayland {
namespace {

Key KeyOf(xkb_keysym_t sym)
{
    switch (sym) {
    case XKB_KEY_BackSpace: return Key::kBack;
    case XKB_KEY_Tab:
    case XKB_KEY_ISO_Left_Tab: return Key::kTab;
    case XKB_KEY_Return:
    case XKB_KEY_KP_Enter: return Key::kReturn;
    case XKB_KEY_Escape: return Key::kEscape;
    case XKB_KEY_Left:
    case XKB_KEY_KP_Left: return Key::kLeft;
    case XKB_KEY_Right:
    case XKB_KEY_KP_Right: return Key::kRight;
    case XKB_KEY_Up:
    case XKB_KEY_KP_Up: return Key::kUp;
    case XKB_KEY_Down:
    case XKB_KEY_KP_Down: return Key::kDown;
    case XKB_KEY_Home:
    case XKB_KEY_KP_Home: return Key::kHome;
    case XKB_KEY_End:
    case XKB_KEY_KP_End: return Key::kEnd;
    case XKB_KEY_Insert:
    case XKB_KEY_KP_Insert: return Key::kInsert;
    case XKB_KEY_Delete:
    case XKB_KEY_KP_Delete: return Key::kDelete;
    case XKB_KEY_F4: return Key::kF4;
    default: return Key::kNone;
    }
}

// A letter (lower case) or digit that a keysym stands for, or 0.
char32_t LatinOf(xkb_keysym_t sym)
{
    sym = xkb_keysym_to_lower(sym);
    if ((sym >= XKB_KEY_a && sym <= XKB_KEY_z) || (sym >= XKB_KEY_0 && sym <= XKB_KEY_9)) return sym;
    return 0;
}

void PushText(const char *utf8, std::deque<InputEvent> *out)
{
    for (char32_t c : DecodeUtf8(utf8))
        if (c >= 0x20 && c != 0x7F) out->push_back(CharEvent(c));
}

// The locale whose Compose table applies, as setlocale would choose it.
const char *ComposeLocale()
{
    for (const char *name : {"LC_ALL", "LC_CTYPE", "LANG"})
        if (const char *value = std::getenv(name); value && *value) return value;
    return "C";
}

}  // namespace

Keyboard::Keyboard() : context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS))
{
    if (!context_) return;
    compose_table_ = xkb_compose_table_new_from_locale(context_, ComposeLocale(), XKB_COMPOSE_COMPILE_NO_FLAGS);
    if (compose_table_) compose_ = xkb_compose_state_new(compose_table_, XKB_COMPOSE_STATE_NO_FLAGS);
}

Keyboard::~Keyboard()
{
    xkb_compose_state_unref(compose_);
    xkb_compose_table_unref(compose_table_);
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    xkb_context_unref(context_);
}

void Keyboard::Take(xkb_keymap *keymap)
{
    xkb_state *state = keymap ? xkb_state_new(keymap) : nullptr;
    if (!state) {
        xkb_keymap_unref(keymap);
        return;
    }
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    keymap_ = keymap;
    state_ = state;
}

bool Keyboard::Load(std::string_view keymap)
{
    if (!context_) return false;
    const std::string text(keymap.substr(0, keymap.find('\0')));
    Take(xkb_keymap_new_from_string(context_, text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS));
    return Loaded();
}

bool Keyboard::LoadLayout(const char *layout)
{
    if (!context_) return false;
    xkb_rule_names names{};
    names.layout = layout;
    Take(xkb_keymap_new_from_names(context_, &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    return Loaded();
}

void Keyboard::SetModifiers(uint32_t depressed, uint32_t latched, uint32_t locked, uint32_t group)
{
    if (state_) xkb_state_update_mask(state_, depressed, latched, locked, 0, 0, group);
}

uint32_t Keyboard::ModifierMask(const char *name) const
{
    const xkb_mod_index_t index = keymap_ ? xkb_keymap_mod_get_index(keymap_, name) : XKB_MOD_INVALID;
    return index == XKB_MOD_INVALID ? 0 : 1u << index;
}

uint8_t Keyboard::Modifiers() const
{
    if (!state_) return 0;
    const auto held = [&](const char *name) { return xkb_state_mod_name_is_active(state_, name, XKB_STATE_MODS_EFFECTIVE) > 0; };
    return static_cast<uint8_t>((held(XKB_MOD_NAME_SHIFT) ? kShift : 0) | (held(XKB_MOD_NAME_CTRL) ? kCtrl : 0) |
                                (held(XKB_MOD_NAME_ALT) ? kAlt : 0));
}

bool Keyboard::Repeats(uint32_t keycode) const
{
    return keymap_ && xkb_keymap_key_repeats(keymap_, keycode);
}

void Keyboard::Press(uint32_t keycode, std::deque<InputEvent> *out)
{
    if (!state_) return;
    const xkb_keysym_t sym = xkb_state_key_get_one_sym(state_, keycode);
    const uint8_t modifiers = Modifiers();
    const bool chord = modifiers & (kCtrl | kAlt);
    if (compose_ && !chord && xkb_compose_state_feed(compose_, sym) == XKB_COMPOSE_FEED_ACCEPTED) {
        switch (xkb_compose_state_get_status(compose_)) {
        case XKB_COMPOSE_COMPOSING:
            return;
        case XKB_COMPOSE_COMPOSED: {
            char text[64];
            xkb_compose_state_get_utf8(compose_, text, sizeof text);
            xkb_compose_state_reset(compose_);
            PushText(text, out);
            return;
        }
        case XKB_COMPOSE_CANCELLED:
            xkb_compose_state_reset(compose_);
            return;
        case XKB_COMPOSE_NOTHING:
            break;
        }
    }
    const Key key = KeyOf(sym);
    if (key != Key::kNone) {
        out->push_back(KeyEvent(key, modifiers));
        return;
    }
    if (chord) {
        char32_t latin = LatinOf(sym);
        if (!latin) {
            const xkb_keysym_t *first = nullptr;
            if (xkb_keymap_key_get_syms_by_level(keymap_, keycode, 0, 0, &first) > 0) latin = LatinOf(first[0]);
        }
        if (latin) out->push_back(CharEvent(latin, modifiers));
        return;
    }
    char text[64];
    xkb_state_key_get_utf8(state_, keycode, text, sizeof text);
    PushText(text, out);
}

}  // namespace platform::wayland
