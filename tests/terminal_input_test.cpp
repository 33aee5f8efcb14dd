// What the terminal's escape sequences mean: every key family terminals
// send (xterm's modifier parameters, VT220's and rxvt's numbers, SS3), both
// mouse encodings, and what is passed over. The characters after the Escape.
#include <gtest/gtest.h>

#include "terminal_input.h"

namespace {

using platform::InputEvent;
using platform::Key;
constexpr uint8_t S = platform::kShift, C = platform::kCtrl, A = platform::kAlt;

struct Case {
    const char *sequence;
    bool known;
    InputEvent event;
};

TEST(TerminalInput, EscapeSequencesDecodeToTheirKeys)
{
    const Case cases[] = {
        {"[A", true, platform::KeyEvent(Key::kUp)},
        {"[B", true, platform::KeyEvent(Key::kDown)},
        {"[1;2C", true, platform::KeyEvent(Key::kRight, S)},
        {"[1;3D", true, platform::KeyEvent(Key::kLeft, A)},
        {"[1;5D", true, platform::KeyEvent(Key::kLeft, C)},
        {"[1;6C", true, platform::KeyEvent(Key::kRight, S | C)},
        {"[1;8H", true, platform::KeyEvent(Key::kHome, S | A | C)},
        {"[H", true, platform::KeyEvent(Key::kHome)},
        {"[F", true, platform::KeyEvent(Key::kEnd)},
        {"OH", true, platform::KeyEvent(Key::kHome)},
        {"OF", true, platform::KeyEvent(Key::kEnd)},
        {"O2A", true, platform::KeyEvent(Key::kUp, S)},
        {"OM", true, platform::KeyEvent(Key::kReturn)},
        {"[1~", true, platform::KeyEvent(Key::kHome)},
        {"[7~", true, platform::KeyEvent(Key::kHome)},
        {"[4~", true, platform::KeyEvent(Key::kEnd)},
        {"[8~", true, platform::KeyEvent(Key::kEnd)},
        {"[2~", true, platform::KeyEvent(Key::kInsert)},
        {"[2;5~", true, platform::KeyEvent(Key::kInsert, C)},
        {"[2;2~", true, platform::KeyEvent(Key::kInsert, S)},
        {"[3~", true, platform::KeyEvent(Key::kDelete)},
        {"[3;2~", true, platform::KeyEvent(Key::kDelete, S)},
        {"[3;5~", true, platform::KeyEvent(Key::kDelete, C)},
        {"[3$", true, platform::KeyEvent(Key::kDelete, S)},   // rxvt
        {"[3^", true, platform::KeyEvent(Key::kDelete, C)},
        {"[3@", true, platform::KeyEvent(Key::kDelete, C | S)},
        {"[7$", true, platform::KeyEvent(Key::kHome, S)},
        {"[a", true, platform::KeyEvent(Key::kUp, S)},
        {"[d", true, platform::KeyEvent(Key::kLeft, S)},
        {"Oc", true, platform::KeyEvent(Key::kRight, C)},
        {"[Z", true, platform::KeyEvent(Key::kTab, S)},
        {"[<0;10;5M", true, platform::ClickEvent(9, 4)},
        {"[<0;300;2M", true, platform::ClickEvent(299, 1)},
        {"[M !#", true, platform::ClickEvent(0, 2)},
        // Passed over: releases, other buttons, drags, the wheel, function
        // keys, Page Up, a terminal's own replies.
        {"[<0;10;5m", false, {}},
        {"[<1;10;5M", false, {}},
        {"[<32;10;5M", false, {}},
        {"[<64;10;5M", false, {}},
        {"[M#!!", false, {}},
        {"[15~", false, {}},
        {"[5~", false, {}},
        {"OP", false, {}},
        {"[?1;2c", false, {}},
        {"[", false, {}},
    };
    for (const Case &c : cases) {
        InputEvent event;
        const bool known = platform::DecodeEscapeSequence(c.sequence, &event);
        EXPECT_EQ(known, c.known) << c.sequence;
        if (!known || !c.known) continue;
        EXPECT_EQ(static_cast<int>(event.kind), static_cast<int>(c.event.kind)) << c.sequence;
        EXPECT_EQ(static_cast<int>(event.key), static_cast<int>(c.event.key)) << c.sequence;
        EXPECT_EQ(event.modifiers, c.event.modifiers) << c.sequence;
        EXPECT_EQ(event.x, c.event.x) << c.sequence;
        EXPECT_EQ(event.y, c.event.y) << c.sequence;
    }
}

}  // namespace
