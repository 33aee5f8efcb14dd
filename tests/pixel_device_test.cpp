// The pixel device's primitives as classic Windows draws them at 96 DPI,
// each against a small picture of the Windows build's own pixels, so that a
// fault in one fails here, without Wine or a display: raised and sunken
// edges, a push button up and pushed in, a caption's close box, the focus
// rectangle's dots, and greyed text. In the pictures each
// character is a colour of the classic scheme: '#' black, '+' dark grey,
// '.' the face's grey, 'o' white, 'N' navy, 'x' the face inverted.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "pixel_device.h"

namespace {

using platform::Box;
using platform::PixelDevice;

char Letter(platform::Colour c)
{
    switch (c) {
    case 0x000000: return '#';
    case 0x808080: return '+';
    case 0xC0C0C0: return '.';
    case 0xFFFFFF: return 'o';
    case 0x800000: return 'N';
    case 0x3F3F3F: return 'x';
    default: return '?';
    }
}

// What `draw` leaves in a w x h patch of face grey, row by row.
std::vector<std::string> Picture(int w, int h, const std::function<void(PixelDevice &, const Box &)> &draw)
{
    std::string error;
    auto device = PixelDevice::Open(platform::TahomaFile(), w, h, 96, &error);
    EXPECT_TRUE(device) << error << " (make test installs fonts-wine)";
    if (!device) return {};
    const Box all{0, 0, w, h};
    device->Fill(all, platform::kColourFace, 0);
    draw(*device, all);
    std::vector<std::string> rows;
    for (int y = 0; y < h; y++) {
        std::string row;
        for (int x = 0; x < w; x++) row += Letter(device->At(x, y));
        rows.push_back(row);
    }
    return rows;
}

struct Case {
    const char *name;
    int w, h;
    std::function<void(PixelDevice &, const Box &)> draw;
    std::vector<std::string> expected;
};

TEST(PixelDevice, PrimitivesAreDrawnAsClassicWindowsDrawsThem)
{
    const Case kCases[] = {
        {"a raised edge (a dialog's frame)", 8, 7, [](PixelDevice &d, const Box &c) {
             d.DrawEdge(Box{1, 1, 7, 6}, platform::Edge::kRaised, platform::Role::kNone, c);
         }, {
             "........",
             "......#.",
             "..ooo+#.",
             "..o..+#.",
             "..++++#.",
             ".######.",
             "........"}},
        {"a sunken edge (an edit field's)", 8, 7, [](PixelDevice &d, const Box &c) {
             d.DrawEdge(Box{1, 1, 7, 6}, platform::Edge::kSunken, platform::Role::kField, c);
         }, {
             "........",
             ".+++++o.",
             ".+###.o.",
             ".+#...o.",
             ".+....o.",
             ".oooooo.",
             "........"}},
        {"a push button, up", 9, 7, [](PixelDevice &d, const Box &c) { d.PushButton(Box{1, 1, 8, 6}, false, false, c); }, {
             ".........",
             ".oooooo#.",
             ".o....+#.",
             ".o....+#.",
             ".o+++++#.",
             ".#######.",
             "........."}},
        {"a push button, pushed in", 9, 7, [](PixelDevice &d, const Box &c) { d.PushButton(Box{1, 1, 8, 6}, true, false, c); }, {
             ".........",
             ".######o.",
             ".#++++.o.",
             ".#+....o.",
             ".#.....o.",
             ".ooooooo.",
             "........."}},
        {"a caption's close box", 18, 16, [](PixelDevice &d, const Box &c) { d.CloseBox(Box{1, 1, 17, 15}, c); }, {
             "..................",
             ".ooooooooooooooo#.",
             ".o.............+#.",
             ".o.............+#.",
             ".o..##....##...+#.",
             ".o...##..##....+#.",
             ".o....####.....+#.",
             ".o.....##......+#.",
             ".o....####.....+#.",
             ".o...##..##....+#.",
             ".o..##....##...+#.",
             ".o.............+#.",
             ".o.............+#.",
             ".o++++++++++++++#.",
             ".################.",
             ".................."}},
        {"the focus rectangle's dots", 9, 7, [](PixelDevice &d, const Box &c) { d.FocusRect(Box{1, 1, 8, 6}, c); }, {
             ".........",
             ".x.x.x.x.",
             ".........",
             ".x.....x.",
             ".........",
             ".x.x.x.x.",
             "........."}},
        {"greyed text, its lit copy a pixel down and right", 8, 14, [](PixelDevice &d, const Box &c) {
             platform::TextLook look;
             look.embossed = true;
             d.Text(1, 1, u"1", c, look);
         }, {
             "........",
             "........",
             "........",
             "........",
             "..++....",
             "...+o...",
             "...+o...",
             "...+o...",
             "...+o...",
             "...+o...",
             "...+o...",
             "..+++...",
             "...ooo..",
             "........"}},
    };
    for (const Case &c : kCases) {
        const std::vector<std::string> seen = Picture(c.w, c.h, c.draw);
        std::string shown;
        for (const std::string &row : seen) shown += "    \"" + row + "\",\n";
        EXPECT_EQ(seen, c.expected) << c.name << ", drawn:\n" << shown;
    }
}

}  // namespace
