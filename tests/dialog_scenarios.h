// Scenarios for the converter dialog that run both on our platform layer
// (scenario_host) and on a real Windows implementation under Wine
// (wine/probe.cpp), whose reports must agree line for line. Each scenario
// starts the program afresh; its script is words separated by spaces:
// digits are typed, "tab", "btab" (Shift+Tab), "bs" (Backspace) and "esc"
// are keys, and "report" prints the six fields and the swatch's colour.
#ifndef RGBHSV_TESTS_DIALOG_SCENARIOS_H
#define RGBHSV_TESTS_DIALOG_SCENARIOS_H

#include <cstdint>
#include <cstring>
#include <string>

struct DialogScenario {
    const char *name;
    const char *script;
};

static const DialogScenario kDialogScenarios[] = {
    {"start-up", "report esc"},
    {"typical event", "tab tab 0 btab 2 0 report 0 report esc"},
    {"300 becomes 255", "tab tab 0 btab btab 3 0 0 report esc"},
    {"cleared field", "tab bs report esc"},
    {"hsv 50 0 128", "tab tab tab 5 0 tab 0 tab 1 2 8 report esc"},
    {"hue past 255", "tab tab tab 9 9 9 report esc"},
    {"tab wraps past the greyed button", "btab 7 report tab 9 report esc"},
    {"ctrl with a digit types nothing", "tab c-1 report esc"},
};

// A seeded random session over every key an edit field answers, for the
// differential check: each front end plays the same words and must show the
// same fields, focus and selection after every one as the Windows build.
// Words: digits are typed; "s-", "c-", "a-" and "cs-" put Shift, Ctrl, Alt
// and Ctrl+Shift on a key; "clip=DIGITS" puts text on the clipboard as
// another program would. With `terminal` set, Ctrl+C and Ctrl+Z, which a
// terminal keeps for closing and suspending, are left out, and so is
// "clip=": there the program's clipboard is only what it copied itself.
// The keys a session names, in the order of each front end's own table.
static const char *const kSessionKeyNames[] = {"tab", "bs", "esc", "left", "right", "up", "down", "home", "end",
                                               "del", "ins"};

// A key word split up: the key, by its place in kSessionKeyNames, or a
// letter or digit (with Ctrl or Alt), and the modifiers. "btab" is Shift+Tab.
struct KeyWord {
    int key = -1;
    char letter = 0;
    bool shift = false, ctrl = false, alt = false;
};

// False for a word that names no key (digits to type, "clip=", "report").
inline bool ParseKeyWord(const std::string &word, KeyWord *k)
{
    std::string name = word;
    const size_t dash = word.find('-');
    if (dash != std::string::npos && dash > 0) {
        for (char c : word.substr(0, dash)) {
            if (c == 's') k->shift = true;
            else if (c == 'c') k->ctrl = true;
            else if (c == 'a') k->alt = true;
            else return false;
        }
        name = word.substr(dash + 1);
    }
    if (name == "btab") {
        name = "tab";
        k->shift = true;
    }
    for (int i = 0; i < static_cast<int>(sizeof kSessionKeyNames / sizeof kSessionKeyNames[0]); i++)
        if (name == kSessionKeyNames[i]) {
            k->key = i;
            return true;
        }
    if (name.size() == 1 && ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= '0' && name[0] <= '9')) &&
        (k->ctrl || k->alt)) {
        k->letter = name[0];
        return true;
    }
    return false;
}

inline std::string RandomKeySession(uint32_t seed, int keys, bool terminal = false)
{
    static const char *const kWords[] = {
        "left", "right", "up", "down", "home", "end", "s-left", "s-right", "s-up", "s-down", "s-home", "s-end",
        "c-left", "c-right", "cs-left", "cs-right", "bs", "bs", "bs", "del", "del", "s-del", "c-del", "cs-del",
        "s-ins", "c-ins", "c-a", "c-c", "c-v", "c-v", "c-x", "c-z", "c-z", "a-bs", "tab", "btab"};
    const int kCount = static_cast<int>(sizeof kWords / sizeof kWords[0]);
    uint32_t x = seed ? seed : 1;
    auto next = [&x] {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x;
    };
    std::string script;
    for (int i = 0; i < keys; i++) {
        std::string word;
        const uint32_t pick = next() % 100;
        if (pick < 25) {
            word = std::string(1, static_cast<char>('0' + next() % 10));
        } else if (pick < 28) {
            word = "clip=";
            for (uint32_t n = 1 + next() % 4; n > 0; n--) word += static_cast<char>('0' + next() % 10);
        } else {
            word = kWords[next() % static_cast<uint32_t>(kCount)];
        }
        if (terminal && (word == "c-c" || word == "c-z" || word.rfind("clip=", 0) == 0)) {
            i--;
            continue;
        }
        script += (script.empty() ? "" : " ") + word;
    }
    return script;
}

#endif
