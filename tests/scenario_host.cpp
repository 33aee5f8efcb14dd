// Runs the shared dialog scenarios on the platform layer's in-memory screen
// and prints one line for each report and each exit, as wine/probe.cpp
// prints them from Windows and web/browser_test.js from a browser.
// usage: scenario_host                          the scenarios
//        scenario_host --scripts                their scripts, for other drivers
//        scenario_host --random SEED KEYS [terminal]   a random session's script
//        scenario_host --trace SCRIPT           a session, the state after each word
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "dialog_scenarios.h"
#include "dialog_session.h"

namespace {

using platform::InputEvent;
using platform::Key;

// A key word of a session script as the event a screen reports.
bool EventOfWord(const std::string &word, InputEvent *event)
{
    static const Key kKeys[] = {Key::kTab,  Key::kBack, Key::kEscape, Key::kLeft, Key::kRight, Key::kUp,
                                Key::kDown, Key::kHome, Key::kEnd,    Key::kDelete, Key::kInsert};
    KeyWord k;
    if (!ParseKeyWord(word, &k)) return false;
    const uint8_t modifiers = static_cast<uint8_t>((k.shift ? platform::kShift : 0) | (k.ctrl ? platform::kCtrl : 0) |
                                                   (k.alt ? platform::kAlt : 0));
    *event = k.letter ? platform::CharEvent(static_cast<char32_t>(k.letter), modifiers)
                      : platform::KeyEvent(kKeys[k.key], modifiers);
    return true;
}

// The six fields, the focused field and its selection, as the probe prints
// them from Windows.
std::string State(const rgbhsv_test::View &view)
{
    HWND focus = GetFocus();
    int id = 0;
    DWORD start = 0, end = 0;
    if (focus && GetDlgItem(view.Dialog(), GetDlgCtrlID(focus)) == focus) {
        id = GetDlgCtrlID(focus);
        SendMessageW(focus, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    }
    return view.Rows() + " | focus " + std::to_string(id) + " sel " + std::to_string(start) + "-" + std::to_string(end);
}

// Plays one session script on the in-memory screen, printing the state
// before the first word and after each.
int Trace(const std::string &script)
{
    rgbhsv_test::Session session;
    int n = 0;
    auto print = [&n](const rgbhsv_test::View &v) { std::printf("%d: %s\n", n++, State(v).c_str()); };
    session.Then(print);
    std::istringstream words(script);
    for (std::string word; words >> word;) {
        InputEvent event;
        if (word.rfind("clip=", 0) == 0) {
            session.Then([word](const rgbhsv_test::View &v) { v.SetClipboard(word.substr(5)); });
        } else if (EventOfWord(word, &event)) {
            session.Add(event);
        } else {
            session.Type(word);
        }
        session.Then(print);
    }
    session.Press(Key::kEscape);
    session.Run();
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    // --random SEED KEYS [terminal]: a random session's script.
    if ((argc == 4 || argc == 5) && std::string(argv[1]) == "--random") {
        const bool terminal = argc == 5 && std::string(argv[4]) == "terminal";
        std::printf("%s\n", RandomKeySession(static_cast<uint32_t>(std::stoul(argv[2])), std::stoi(argv[3]), terminal).c_str());
        return 0;
    }
    if (argc == 3 && std::string(argv[1]) == "--trace") return Trace(argv[2]);
    // --scripts: the scenarios themselves, for drivers outside this build.
    if (argc == 2 && std::string(argv[1]) == "--scripts") {
        for (const DialogScenario &scenario : kDialogScenarios) std::printf("%s\t%s\n", scenario.name, scenario.script);
        return 0;
    }
    using rgbhsv_test::Session;
    using rgbhsv_test::View;
    for (const DialogScenario &scenario : kDialogScenarios) {
        Session session;
        std::istringstream words(scenario.script);
        int reports = 0;
        for (std::string word; words >> word;) {
            InputEvent event;
            if (EventOfWord(word, &event)) session.Add(event);
            else if (word == "report") {
                const int n = ++reports;
                session.Then([&scenario, n](const View &v) {
                    std::printf("%s, report %d: %s, swatch %06lx\n", scenario.name, n, v.Rows().c_str(),
                                static_cast<unsigned long>(v.SwatchColour()));
                });
            } else session.Type(word);
        }
        std::printf("%s: exit %d\n", scenario.name, session.Run());
    }
    return 0;
}
