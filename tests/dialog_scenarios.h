// Scenarios for the converter dialog that run both on our platform layer
// (scenario_host) and on a real Windows implementation under Wine
// (wine/probe.cpp), whose reports must agree line for line. Each scenario
// starts the program afresh; its script is words separated by spaces:
// digits are typed, "tab", "btab" (Shift+Tab), "bs" (Backspace) and "esc"
// are keys, and "report" prints the six fields and the swatch's colour.
#ifndef RGBHSV_TESTS_DIALOG_SCENARIOS_H
#define RGBHSV_TESTS_DIALOG_SCENARIOS_H

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
};

#endif
