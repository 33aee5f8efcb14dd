// What the terminal screen writes: colours exact where the terminal allows,
// decoration dropped under NO_COLOR, plain characters without UTF-8, a clear
// message on a small terminal, and few bytes per keystroke.
#include <gtest/gtest.h>

#include "dialog_session.h"
#include "terminal_writer.h"

namespace {

using platform::ColourDepth;
using platform::Key;
using platform::FrameWriter;
using rgbhsv_test::Session;
using rgbhsv_test::View;

TEST(TerminalColours, DepthFromEnvironmentAndTerminfo)
{
    const struct {
        const char *colorterm;
        int colours;
        bool rgb;
        ColourDepth depth;
    } cases[] = {
        {"truecolor", 256, false, ColourDepth::kDirect}, {"24bit", 8, false, ColourDepth::kDirect},
        {nullptr, 0x1000000, false, ColourDepth::kDirect}, {nullptr, 256, true, ColourDepth::kDirect},
        {"yes", 256, false, ColourDepth::k256},           {nullptr, 256, false, ColourDepth::k256},
        {nullptr, 8, false, ColourDepth::kBasic8},        {nullptr, -1, false, ColourDepth::kNone},
    };
    for (const auto &c : cases)
        EXPECT_EQ(platform::ChooseColourDepth(c.colorterm, c.colours, c.rgb), c.depth)
            << (c.colorterm ? c.colorterm : "(unset)") << ", " << c.colours;
}

TEST(TerminalColours, Nearest256UsesTheCubeAndGreysOnly)
{
    const struct {
        platform::Colour colour;
        int index;
    } cases[] = {
        {RGB(0, 0, 0), 16},      {RGB(255, 255, 255), 231}, {RGB(255, 0, 0), 196},
        {RGB(0, 0, 128), 18},    {RGB(128, 128, 128), 244}, {RGB(192, 192, 192), 250},
        {RGB(255, 200, 0), 220},
    };
    for (const auto &c : cases) EXPECT_EQ(platform::Nearest256(c.colour), c.index) << std::hex << c.colour;
}

// Runs a session whose every frame also goes through a FrameWriter, and
// keeps what each frame cost in bytes.
struct Written {
    std::vector<std::string> frames;
};

class WritingScreen : public platform::MemoryScreen {
public:
    WritingScreen(FrameWriter writer, Written *written, Driver driver)
        : MemoryScreen(80, 24, std::move(driver)), writer_(std::move(writer)), written_(written)
    {
    }
    void Present() override
    {
        MemoryScreen::Present();
        std::string out;
        writer_.Write(LastFrame(), &out);
        written_->frames.push_back(out);
    }

private:
    FrameWriter writer_;
    Written *written_;
};

Written RunWritten(FrameWriter writer, std::vector<platform::InputEvent> events)
{
    Written written;
    size_t next = 0;
    WritingScreen screen(std::move(writer), &written, [&](const platform::MemoryScreen &, platform::InputEvent *e) {
        if (next == events.size()) return false;
        *e = events[next++];
        return true;
    });
    platform::RunOnScreen(screen);
    return written;
}

std::vector<platform::InputEvent> Typing(const std::string &keys)
{
    std::vector<platform::InputEvent> events;
    for (char c : keys)
        events.push_back(c == '\t' ? platform::KeyEvent(Key::kTab) : platform::CharEvent(static_cast<char32_t>(c)));
    events.push_back(platform::KeyEvent(Key::kEscape));
    return events;
}

TEST(TerminalWriter, SwatchColoursAreExactInDirectColourEvenNearBlack)
{
    // Black and the darkest blues are palette numbers 0 to 7 in a direct-
    // colour terminfo entry; written as RGB they stay exact.
    const Written w = RunWritten(FrameWriter(ColourDepth::kDirect, true, true), Typing("0\t0\t03"));
    std::string all;
    for (const std::string &f : w.frames) all += f;
    EXPECT_NE(all.find("48;2;255;255;255"), std::string::npos);
    EXPECT_NE(all.find("48;2;0;0;0"), std::string::npos);  // after red and green are 0
    EXPECT_NE(all.find("48;2;0;0;3"), std::string::npos);
}

TEST(TerminalWriter, NoColorDropsDecorationButNotTheSwatch)
{
    const Written w = RunWritten(FrameWriter(ColourDepth::kDirect, false, true), Typing("0"));
    const std::string &first = w.frames.at(0);
    EXPECT_EQ(first.find("38;5;"), std::string::npos);
    EXPECT_EQ(first.find("48;5;"), std::string::npos);
    EXPECT_NE(first.find("48;2;255;255;255"), std::string::npos);
}

TEST(TerminalWriter, PlainCharactersWhereTheLocaleIsNotUtf8)
{
    const Written w = RunWritten(FrameWriter(ColourDepth::kNone, true, false), Typing("1"));
    for (const std::string &f : w.frames)
        for (char c : f) ASSERT_LT(static_cast<unsigned char>(c), 0x80u);
    EXPECT_NE(w.frames.at(0).find("+-----"), std::string::npos);
}

TEST(TerminalWriter, AColourChangingDigitCostsAtMost320Bytes)
{
    // Blue to 0, then digits into green: every one changes the colour, so
    // the swatch's 77 cells and the other row change each time. The
    // swatch's outline is 32 of those cells, in three-byte line characters.
    for (ColourDepth depth : {ColourDepth::kDirect, ColourDepth::k256}) {
        const Written w = RunWritten(FrameWriter(depth, true, true), Typing("\t\t0\t\t\t1"));
        // Frames: start, then one per key; the digits are frames 3 and 7.
        ASSERT_GE(w.frames.size(), 8u);
        for (size_t i : {3u, 7u}) {
            EXPECT_LE(w.frames[i].size(), 320u) << "frame " << i << " at depth " << static_cast<int>(depth);
            EXPECT_GT(w.frames[i].size(), 77u) << "the swatch did not change";
        }
    }
}

}  // namespace
