// The converter dialog as a person uses it: the real dialog procedure on the
// real platform layer, an in-memory screen, keys, characters and clicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include "dialog_session.h"
#include "engine/conversion.h"

namespace {

using platform::Key;
using rgbhsv_test::Session;
using rgbhsv_test::View;

constexpr long kWhite = 0xFFFFFF;

void ExpectIdleAndTidy(const View &)
{
    EXPECT_EQ(platform::LiveDrawingObjects(), 0) << "a paint left a drawing object behind";
}

TEST(Dialog, StartsWhiteWithTheRedFieldReadyForTyping)
{
    Session s;
    s.Then([](const View &v) {
        EXPECT_EQ(v.Rows(), "255 255 255 / 0 0 255");
        EXPECT_EQ(v.SwatchColour(), kWhite);
        EXPECT_EQ(GetFocus(), GetDlgItem(v.Dialog(), IDC_RED));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(v.Dialog(), IDC_SELECT)));
        EXPECT_EQ(v.Beeps(), 0);
        ExpectIdleAndTidy(v);
        // Centred: 53 x 10 cells of client, a frame round them.
        const RECT r = v.ScreenRect(0);
        EXPECT_EQ(r.right - r.left, 55);
        EXPECT_EQ(r.bottom - r.top, 12);
        EXPECT_EQ(r.left, (80 - 55) / 2);
        EXPECT_EQ(r.top, (24 - 12) / 2);
        // The swatch is 11 x 7 cells at the left edge.
        const RECT sw = v.ScreenRect(IDC_SWATCH);
        EXPECT_EQ(sw.right - sw.left, 11);
        EXPECT_EQ(sw.bottom - sw.top, 7);
        EXPECT_NE(v.Frame().RowText(r.top).find("RGB <-> HSV"), std::string::npos);
        // Both icons were set to the application icon: setting one again
        // hands back what was there.
        HICON app = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APP));
        ASSERT_NE(app, nullptr);
        for (WPARAM which : {ICON_BIG, ICON_SMALL})
            EXPECT_EQ(SendMessageW(v.Dialog(), WM_SETICON, which, reinterpret_cast<LPARAM>(app)),
                      reinterpret_cast<LRESULT>(app));
    });
    s.Type("9");  // the selected 255 is replaced
    s.Then([](const View &v) { EXPECT_EQ(v.Field(IDC_RED), "9"); });
    s.Press(Key::kEscape);
    EXPECT_EQ(s.Run(), 0);
}

TEST(Dialog, TypicalEventGreenTo200)
{
    Session s;
    s.Press(Key::kTab).Press(Key::kTab).Type("0");  // blue 0
    s.Then([](const View &v) { EXPECT_EQ(v.Rows(), "255 255 0 / 42 255 255"); });
    s.Press(Key::kTab, true).Type("20");
    s.Then([](const View &v) { EXPECT_EQ(v.Field(IDC_GREEN), "20"); });
    s.Type("0");  // the third digit
    s.Then([](const View &v) {
        EXPECT_EQ(v.Rows(), "255 200 0 / 34 255 255");
        EXPECT_EQ(v.SwatchColour(), static_cast<long>(RGB(255, 200, 0)));
        EXPECT_EQ(v.Described(IDC_SWATCH).colour, RGB(255, 200, 0));  // as a screen reader is told it
        EXPECT_EQ(v.Beeps(), 0);
        ExpectIdleAndTidy(v);
    });
    s.Press(Key::kEscape);
    EXPECT_EQ(s.Run(), 0);
}

TEST(Dialog, NumberAbove255IsRefusedWithABeep)
{
    Session s;
    s.Press(Key::kTab).Press(Key::kTab).Type("0").Press(Key::kTab, true).Press(Key::kTab, true);  // blue 0, back to red
    s.Type("300");
    s.Then([](const View &v) {
        EXPECT_EQ(v.Beeps(), 1);
        EXPECT_EQ(v.Rows(), "255 255 0 / 42 255 255");
        EXPECT_EQ(v.SwatchColour(), static_cast<long>(RGB(255, 255, 0)));
    });
    s.Press(Key::kTab).Press(Key::kTab).Press(Key::kTab).Type("999");  // into the hue
    s.Then([](const View &v) {
        EXPECT_EQ(v.Beeps(), 2);
        EXPECT_EQ(v.Field(IDC_HUE), "255");
        EXPECT_EQ(v.Rows(), "255 0 6 / 255 255 255");
    });
    s.Press(Key::kEscape);
    EXPECT_EQ(s.Run(), 0);
}

TEST(Dialog, ClearedFieldCountsAsZeroWithoutABeep)
{
    Session s;
    s.Press(Key::kTab).Press(Key::kBack);  // green selected, then cleared
    s.Then([](const View &v) {
        EXPECT_EQ(v.Rows(), "255  255 / 213 255 255");
        EXPECT_EQ(v.SwatchColour(), static_cast<long>(RGB(255, 0, 255)));
        EXPECT_EQ(v.Beeps(), 0);
    });
    s.Press(Key::kEscape);
    EXPECT_EQ(s.Run(), 0);
}

TEST(Dialog, HsvRowKeepsWhatWasTypedAndOtherNotificationsChangeNothing)
{
    Session s;
    s.Press(Key::kTab).Press(Key::kTab).Press(Key::kTab).Type("50");
    s.Press(Key::kTab).Type("0").Press(Key::kTab).Type("128");
    s.Then([](const View &v) {
        EXPECT_EQ(v.Rows(), "128 128 128 / 50 0 128");  // grey 128 alone would give hue 0
        EXPECT_EQ(v.SwatchColour(), static_cast<long>(RGB(128, 128, 128)));
    });
    // Focus moving through every field sends EN_KILLFOCUS and EN_SETFOCUS;
    // clicks and caret keys send nothing. None of them converts.
    for (int i = 0; i < 7; i++) s.Press(Key::kTab);
    s.ClickControl(IDC_GREEN, 1).Press(Key::kLeft).Press(Key::kEnd).Press(Key::kHome, true);
    s.Then([](const View &v) {
        EXPECT_EQ(v.Rows(), "128 128 128 / 50 0 128");
        HWND dialog = v.Dialog();
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_RED, EN_MAXTEXT),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_RED)));
        EXPECT_EQ(v.Rows(), "128 128 128 / 50 0 128");
    });
    s.Press(Key::kEscape);
    EXPECT_EQ(s.Run(), 0);
}

TEST(Dialog, FieldsTakeDigitsOnlyAndAtMostThree)
{
    Session s;
    s.Type("1a2b3c4");
    s.Then([](const View &v) {
        EXPECT_EQ(v.Field(IDC_RED), "123");
        EXPECT_EQ(v.Rows(), "123 255 255 / 128 132 255");
    });
    s.ClickControl(IDC_RED, 1).Press(Key::kBack).Type("0");  // caret after the 1
    s.Then([](const View &v) { EXPECT_EQ(v.Field(IDC_RED), "023"); });
    s.Press(Key::kHome).Press(Key::kDelete);
    s.Then([](const View &v) { EXPECT_EQ(v.Field(IDC_RED), "23"); });
    s.Press(Key::kEscape);
    EXPECT_EQ(s.Run(), 0);
}

TEST(Dialog, CloseBoxAndEndOfInputEndWithZero)
{
    Session close_box;
    close_box.Then([&close_box](const View &v) {
        const RECT r = v.ScreenRect(0);
        close_box.Click(r.right - 3, r.top);  // the x of [x]
    });
    EXPECT_EQ(close_box.Run(), 0);

    Session nothing;
    EXPECT_EQ(nothing.Run(), 0);
}

TEST(Dialog, ResizeRecentres)
{
    Session s;
    s.Resize(100, 40).Then([](const View &v) {
        const RECT r = v.ScreenRect(0);
        EXPECT_EQ(r.left, (100 - 55) / 2);
        EXPECT_EQ(r.top, (40 - 12) / 2);
        EXPECT_EQ(v.SwatchColour(), kWhite);
        EXPECT_EQ(v.Frame().width, 100);
    });
    s.Press(Key::kEscape);
    EXPECT_EQ(s.Run(), 0);
}

// The swatch's border frames it whatever its colour, the dialog's face
// (192 192 192) included: lines over its edge cells, the fill beneath.
TEST(Dialog, SwatchIsOutlinedWhateverItsColour)
{
    Session s;
    auto outlined = [](const View &v) {
        const RECT sw = v.ScreenRect(IDC_SWATCH);
        const platform::Colour fill = static_cast<platform::Colour>(v.SwatchColour());
        int lines = 0, blanks = 0;
        for (LONG y = sw.top; y < sw.bottom; y++)
            for (LONG x = sw.left; x < sw.right; x++) {
                const platform::Cell &c = v.Frame().At(x, y);
                EXPECT_EQ(c.bg, fill) << x << "," << y;
                const bool edge = x == sw.left || x == sw.right - 1 || y == sw.top || y == sw.bottom - 1;
                if (edge && c.ch != U' ' && c.fg != fill) lines++;
                if (!edge && c.ch == U' ') blanks++;
            }
        EXPECT_EQ(lines, 2 * (sw.right - sw.left) + 2 * (sw.bottom - sw.top) - 4);
        EXPECT_EQ(blanks, (sw.right - sw.left - 2) * (sw.bottom - sw.top - 2));
        EXPECT_EQ(v.Frame().At(sw.left, sw.top).ch, U'┌');
    };
    s.Then(outlined);
    s.Type("192").Press(Key::kTab).Type("192").Press(Key::kTab).Type("192");
    s.Then([&](const View &v) {
        EXPECT_EQ(v.SwatchColour(), 0xC0C0C0);
        outlined(v);
    });
    s.Press(Key::kEscape);
    EXPECT_EQ(s.Run(), 0);
}

// A screen smaller than the dialog gets one line in its place until it
// grows: the longest message that fits the width, of the size needed and
// the size there is.
TEST(Dialog, SmallScreenGetsOneLineUntilItGrows)
{
    static const struct {
        int width;
        const char *message;
    } kCases[] = {
        {90, "The dialog needs a screen of 55 x 12; this one is 90 x 10. Escape or Ctrl+C closes."},
        {54, "Needs 55x12, has 54x10; Escape or Ctrl+C closes"},
        {40, "Needs 55x12, has 40x10; Esc closes"},
        {24, "Needs 55x12, has 24x10"},
        {12, "Needs 55x12"},
        {6, "55x12"},
        {3, "55x"},
    };
    for (const auto &c : kCases) {
        Session s;
        s.Resize(c.width, 10).Type("7");
        s.Then([&](const View &v) {
            std::string row = c.message;
            row.resize(static_cast<size_t>(c.width), ' ');
            EXPECT_EQ(v.Frame().RowText(0), row);
            EXPECT_FALSE(v.Frame().caret_visible);
            for (int y = 1; y < v.Frame().height; y++) EXPECT_EQ(v.Frame().RowText(y), std::string(c.width, ' '));
        });
        s.Resize(80, 24);
        s.Then([](const View &v) {
            EXPECT_NE(v.Frame().RowText(v.ScreenRect(0).top).find("RGB <-> HSV"), std::string::npos);
            EXPECT_EQ(v.Rows(), "255 255 255 / 0 0 255") << "a key typed while hidden";
        });
        s.Press(Key::kEscape);
        EXPECT_EQ(s.Run(), 0);
    }
}

TEST(Platform, DialogItemNumbersReadAndWriteAsOnWindows)
{
    const struct {
        const char *text;
        BOOL is_signed;
        UINT value;
        BOOL translated;
    } cases[] = {
        {"", FALSE, 0, FALSE},          {"42", FALSE, 42, TRUE},       {" 7 ", FALSE, 7, TRUE},
        {"12a", FALSE, 12, TRUE},       {"3 4", TRUE, 3, TRUE},        {"a1", FALSE, 0, FALSE},
        {"-5", FALSE, 0, FALSE},       {"-5", TRUE, static_cast<UINT>(-5), TRUE},
        {"+9", TRUE, 9, TRUE},          {"4294967295", FALSE, 4294967295u, TRUE},
        {"4294967296", FALSE, 0, FALSE}, {"2147483648", TRUE, 0, FALSE},
    };
    Session s;
    s.Then([&](const View &v) {
        // The credits line: a control whose text no one converts.
        HWND dialog = v.Dialog();
        HWND credits = GetDlgItem(dialog, -1);
        for (const auto &c : cases) {
            const std::u16string text(c.text, c.text + std::strlen(c.text));
            SetWindowTextW(credits, text.c_str());
            BOOL translated = 2;
            EXPECT_EQ(GetDlgItemInt(dialog, -1, &translated, c.is_signed), c.value) << '"' << c.text << '"';
            EXPECT_EQ(translated, c.translated) << '"' << c.text << '"';
        }
        // A window's text as UTF-8, a surrogate pair as one character.
        SetWindowTextW(credits, u"(c) \u00e9 \U0001F600");
        EXPECT_EQ(v.Field(-1), "(c) \u00e9 \U0001F600");
        SetDlgItemInt(dialog, -1, static_cast<UINT>(-12), TRUE);
        EXPECT_EQ(v.Field(-1), "-12");
        SetDlgItemInt(dialog, -1, static_cast<UINT>(-12), FALSE);
        EXPECT_EQ(v.Field(-1), "4294967284");
    });
    EXPECT_EQ(s.Run(), 0);
}

// Many thousands of random keystrokes and clicks. After every one, the row
// the person did not edit must show the conversion of the row they did,
// the swatch the RGB row's colour, no field more than three digits, and no
// drawing object left alive.
TEST(Dialog, RandomSessionKeepsTheRowsInStep)
{
    const int kEvents = 20000;
    std::mt19937 random(20261208);
    const int fields[6] = {IDC_RED, IDC_GREEN, IDC_BLUE, IDC_HUE, IDC_SAT, IDC_VAL};
    bool rgb_edited_last = false;  // the start-up writes end in the HSV row
    std::string before;
    int focused_row = 0;
    long failures = 0;
    int remaining = kEvents;

    Session s;
    std::function<void(const View &)> step = [&](const View &v) {
        // Judge the event that just happened.
        const long failures_before = failures;
        const std::string rows = v.Rows();
        if (rows != before && focused_row != 0) rgb_edited_last = focused_row == 1;
        auto number = [&](int id) {
            const std::string text = v.Field(id);
            return text.empty() ? 0 : std::stoi(text);
        };
        int values[6];
        for (int i = 0; i < 6; i++) {
            const std::string text = v.Field(fields[i]);
            if (text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos) failures++;
            values[i] = number(fields[i]);
            if (values[i] > 255) failures++;
        }
        int expected[3];
        if (rgb_edited_last) {
            RgbToHsv(values[0], values[1], values[2], &expected[0], &expected[1], &expected[2]);
            for (int i = 0; i < 3; i++) failures += expected[i] != values[3 + i];
        } else {
            HsvToRgb(values[3], values[4], values[5], &expected[0], &expected[1], &expected[2]);
            for (int i = 0; i < 3; i++) failures += expected[i] != values[i];
        }
        failures += v.SwatchColour() != static_cast<long>(RGB(values[0], values[1], values[2]));
        failures += platform::LiveDrawingObjects() != 0;
        if (failures != failures_before && failures_before < 3)
            ADD_FAILURE() << "after event " << kEvents - remaining << ": " << before << " became " << rows
                          << (rgb_edited_last ? ", RGB edited last" : ", HSV edited last");
        if (remaining-- == 0 || failures > 10) {
            s.Press(Key::kEscape);
            return;
        }

        // Choose the next one.
        before = rows;
        HWND focus = GetFocus();
        const int id = focus ? GetDlgCtrlID(focus) : 0;
        focused_row = id >= IDC_RED && id <= IDC_BLUE ? 1 : id >= IDC_HUE && id <= IDC_VAL ? 2 : 0;
        const int pick = static_cast<int>(random() % 100);
        if (pick < 55) {
            s.Type(std::string(1, static_cast<char>('0' + random() % 10)));
        } else if (pick < 62) {
            s.Press(Key::kBack);
        } else if (pick < 66) {
            s.Press(Key::kDelete);
        } else if (pick < 74) {
            static const Key moves[] = {Key::kLeft, Key::kRight, Key::kHome, Key::kEnd};
            s.Press(moves[random() % 4], random() % 3 == 0);
        } else if (pick < 86) {
            s.Press(Key::kTab, random() % 2 == 0);
        } else if (pick < 90) {
            s.Type(std::string(1, static_cast<char>('a' + random() % 26)));
        } else if (pick < 97) {
            // A click, which may move the focus before anything is typed.
            const RECT r = v.ScreenRect(fields[random() % 6]);
            s.Click(r.left + static_cast<int>(random() % 5), r.top);
            focused_row = 0;
        } else {
            // Anywhere in the dialog below its caption (whose close box ends it).
            const RECT d = v.ScreenRect(0);
            s.Click(d.left + static_cast<int>(random() % 55), d.top + 1 + static_cast<int>(random() % 11));
            focused_row = 0;
        }
        s.Then(step);
    };
    s.Then(step);
    EXPECT_EQ(s.Run(), 0);
    EXPECT_EQ(failures, 0);
    EXPECT_LT(remaining, 0) << "the session ended early";
}

}  // namespace

// What the terminal shows, cell for cell: each row's characters and under
// it a letter per cell for its look, named in the legend below the rows.
std::string CellPicture(const platform::Frame &frame, const RECT &r)
{
    std::vector<platform::Cell> looks;
    std::string picture;
    for (LONG y = r.top; y < r.bottom; y++) {
        std::string text, letters;
        for (LONG x = r.left; x < r.right; x++) {
            platform::Cell look = frame.At(x, y);
            platform::AppendUtf8(&text, look.ch);
            look.ch = 0;
            auto it = std::find(looks.begin(), looks.end(), look);
            if (it == looks.end()) it = looks.insert(looks.end(), look);
            letters.push_back(static_cast<char>('a' + (it - looks.begin())));
        }
        picture += text + "\n" + letters + "\n";
    }
    for (size_t i = 0; i < looks.size(); i++) {
        const platform::Cell &c = looks[i];
        char line[64];
        std::snprintf(line, sizeof line, "%c: %06X on %06X", static_cast<char>('a' + i), c.fg, c.bg);
        picture += line;
        if (c.attrs & platform::kAttrBold) picture += " bold";
        if (c.attrs & platform::kAttrReverse) picture += " reverse";
        if (c.role == platform::Role::kCaption) picture += " caption";
        if (c.role == platform::Role::kField) picture += " field";
        if (c.role == platform::Role::kContent) picture += " content";
        picture += "\n";
    }
    return picture;
}

// The whole dialog as the terminal shows it, at the start (the red field's
// 255 selected, its caret after it) and with one character of a field
// selected: the frame and caption bar, the swatch's outline on its colour,
// the fields with the gaps between them, the disabled button and credits.
TEST(Dialog, DrawnInCellsAsTheTerminalShowsIt)
{
    const char *const kRows[] = {
        " RGB <-> HSV                                       [×] ",
        "│ ┌─────────┐  RGB color:                             │",
        "│ │         │                                         │",
        "│ │         │  255     255     255       [ Select... ]│",
        "│ │         │                                         │",
        "│ │         │  HSV color:                             │",
        "│ │         │                                         │",
        "│ └─────────┘  0       0       255                    │",
        "│                                                     │",
        "│ (c) 2026 the rgbhsv developers                      │",
        "│                                                     │",
        "└─────────────────────────────────────────────────────┘",
    };
    const char *const kStart[] = {
        "abbbbbbbbbbbaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaabaa",
        "ccdddddddddddcccccccccccccccccccccccccccccccccccccccccc",
        "ccdddddddddddcccccccccccccccccccccccccccccccccccccccccc",
        "ccdddddddddddcceeeffffcfffffffcfffffffcccgggggggggggggc",
        "ccdddddddddddcccccccccccccccccccccccccccccccccccccccccc",
        "ccdddddddddddcccccccccccccccccccccccccccccccccccccccccc",
        "ccdddddddddddcccccccccccccccccccccccccccccccccccccccccc",
        "ccdddddddddddccfffffffcfffffffcfffffffccccccccccccccccc",
        "ccccccccccccccccccccccccccccccccccccccccccccccccccccccc",
        "ccggggggggggggggggggggggggggggggccccccccccccccccccccccc",
        "ccccccccccccccccccccccccccccccccccccccccccccccccccccccc",
        "ccccccccccccccccccccccccccccccccccccccccccccccccccccccc",
    };
    const char kLegend[] =
        "a: FFFFFF on 800000 caption\n"
        "b: FFFFFF on 800000 bold caption\n"
        "c: 000000 on C0C0C0\n"
        "d: 000000 on FFFFFF content\n"
        "e: 000000 on FFFFFF reverse field\n"
        "f: 000000 on FFFFFF field\n"
        "g: 808080 on C0C0C0\n";
    std::string start;
    for (size_t y = 0; y < std::size(kRows); y++) start += std::string(kRows[y]) + "\n" + kStart[y] + "\n";
    start += kLegend;

    Session s;
    s.Then([&](const View &v) {
        EXPECT_EQ(CellPicture(v.Frame(), v.ScreenRect(0)), start);
        EXPECT_TRUE(v.Frame().caret_visible);
        EXPECT_EQ(v.Frame().caret_x, v.ScreenRect(IDC_RED).left + 3);
        EXPECT_EQ(v.Frame().caret_y, v.ScreenRect(IDC_RED).top);
    });
    s.Type("12").Press(Key::kLeft, true);
    s.Then([&](const View &v) {
        const RECT red = v.ScreenRect(IDC_RED);
        const platform::Cell &one = v.Frame().At(red.left, red.top), &two = v.Frame().At(red.left + 1, red.top);
        EXPECT_EQ(one.ch, U'1');
        EXPECT_EQ(one.attrs & platform::kAttrReverse, 0);
        EXPECT_EQ(two.ch, U'2');
        EXPECT_NE(two.attrs & platform::kAttrReverse, 0);
        EXPECT_EQ(v.Frame().caret_x, red.left + 1);
    });
    s.Press(Key::kEscape);
    EXPECT_EQ(s.Run(), 0);
}
