// Runs the shared dialog scenarios on the platform layer's in-memory screen
// and prints one line for each report and each exit, as wine/probe.cpp
// prints them from Windows and web/browser_test.js from a browser.
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "dialog_scenarios.h"
#include "dialog_session.h"

int main(int argc, char **argv)
{
    // --scripts: the scenarios themselves, for drivers outside this build.
    if (argc == 2 && std::string(argv[1]) == "--scripts") {
        for (const DialogScenario &scenario : kDialogScenarios) std::printf("%s\t%s\n", scenario.name, scenario.script);
        return 0;
    }
    using platform::Key;
    using rgbhsv_test::Session;
    using rgbhsv_test::View;
    for (const DialogScenario &scenario : kDialogScenarios) {
        Session session;
        std::istringstream words(scenario.script);
        int reports = 0;
        for (std::string word; words >> word;) {
            if (word == "tab") session.Press(Key::kTab);
            else if (word == "btab") session.Press(Key::kTab, true);
            else if (word == "bs") session.Press(Key::kBack);
            else if (word == "esc") session.Press(Key::kEscape);
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
