// The Wayland window's keys, from keymaps made by layout name: what each
// key with its modifiers reports, as the X11 window reports it.
#include "wayland_keys.h"

#include <gtest/gtest.h>

#include <string>

namespace platform::wayland {
namespace {

// evdev's key codes; xkbcommon numbers them 8 higher.
constexpr uint32_t kKey1 = 2, kKeyTab = 15, kKeyE = 18, kKeyC = 46, kKeyApostrophe = 40, kKeypad7 = 71;

std::string Described(const std::deque<InputEvent> &events)
{
    std::string out;
    for (const InputEvent &e : events) {
        if (!out.empty()) out += ' ';
        static const char *const kNames[] = {"", "Back", "Tab", "Return", "Escape", "Left", "Right",
                                             "Up", "Down", "Home", "End", "Insert", "Delete", "F4"};
        if (e.kind == InputEvent::Kind::kKey) out += kNames[static_cast<int>(e.key)];
        else AppendUtf8(&out, e.ch);
        if (e.modifiers) (out += '+') += std::to_string(e.modifiers);
    }
    return out;
}

TEST(WaylandKeys, EachKeyReportsWhatTheX11WindowReports)
{
    struct Case {
        const char *layout;
        uint32_t group;
        std::string depressed, locked;  // modifiers by xkbcommon's names
        std::vector<uint32_t> keys;
        std::string reported;
    } cases[] = {
        {"us", 0, "", "", {kKey1}, "1"},
        {"us", 0, "", "Mod2", {kKeypad7}, "7"},  // NumLock on: a digit
        {"us", 0, "", "", {kKeypad7}, "Home"},  // off: Home
        {"us", 0, "Shift", "", {kKeyTab}, "Tab+1"},  // ISO_Left_Tab
        {"us", 0, "Control", "", {kKeyC}, "c+2"},
        {"us", 0, "Shift Control", "", {kKeyC}, "c+3"},
        {"us,ru", 1, "Control", "", {kKeyC}, "c+2"},  // Ctrl+C on a Cyrillic layout still copies
        {"us,ru", 1, "", "", {kKeyC}, "с"},           // ... and the key types its own letter
        {"us(intl)", 0, "", "", {kKeyApostrophe, kKeyE}, "é"},  // a dead key, then the letter
    };
    setenv("LANG", "en_US.UTF-8", 1);
    for (const Case &c : cases) {
        Keyboard keyboard;
        ASSERT_TRUE(keyboard.LoadLayout(c.layout)) << c.layout;
        const auto mask = [&](const std::string &names) {
            uint32_t m = 0;
            for (size_t at = 0; at < names.size();) {
                const size_t end = names.find(' ', at) == std::string::npos ? names.size() : names.find(' ', at);
                m |= keyboard.ModifierMask(names.substr(at, end - at).c_str());
                at = end + 1;
            }
            return m;
        };
        keyboard.SetModifiers(mask(c.depressed), 0, mask(c.locked), c.group);
        std::deque<InputEvent> events;
        for (uint32_t key : c.keys) keyboard.Press(key + 8, &events);
        EXPECT_EQ(Described(events), c.reported) << c.layout << " " << c.depressed << " " << c.locked;
    }
}

}  // namespace
}  // namespace platform::wayland
