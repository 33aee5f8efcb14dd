// The page's copy of Tahoma against FreeType reading the font itself: at
// every size it carries, each drawn character has the same pixels and
// advances (smoothed where Windows smooths, up to the last smoothed size,
// and unsmoothed when asked for greyed text), each printable ASCII
// character the same measured width, and a character it does not draw is
// the font's missing box. Damaged bytes are refused whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "baked_font.h"
#include "font.h"

namespace {

constexpr int kFirst = 8, kLast = 48, kSmoothLast = 24;
constexpr char16_t kDrawn[] = u"0123456789RGB colr:(c)";
constexpr char16_t kBoldDrawn[] = u"RGB <-> HSV";

// Each test its own file: ctest runs them side by side.
std::string Bake()
{
    const std::string path =
        testing::TempDir() + "tahoma-" + testing::UnitTest::GetInstance()->current_test_info()->name() + ".bin";
    const std::string command = std::string(BAKE_FONT_PATH) + " " + path + " " + std::to_string(kFirst) + " " +
                                std::to_string(kLast) + " " + std::to_string(kSmoothLast) +
                                " '0123456789RGB colr:(c)' 'RGB <-> HSV' '(c)'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool SameGlyph(const platform::PixelGlyph &a, const platform::PixelGlyph &b)
{
    return a.advance == b.advance && a.drawn_advance == b.drawn_advance && a.left == b.left && a.top == b.top &&
           a.width == b.width && a.height == b.height && a.on == b.on;
}

TEST(BakedFont, EverySizeDrawsAndMeasuresAsFreeType)
{
    std::string error;
    auto table = platform::baked::Table::Load(Bake(), &error);
    ASSERT_TRUE(table) << error;
    EXPECT_EQ(table->LargestEm(), kLast);
    for (int ppem = kFirst; ppem <= kLast; ppem++)
        for (bool bold : {false, true}) {
            auto baked = table->Open(bold, 8, ppem * 9, &error);
            auto real = platform::OpenTahoma(bold, 8, ppem * 9, &error, ppem <= kSmoothLast);
            ASSERT_TRUE(baked && real) << error;
            SCOPED_TRACE(std::to_string(ppem) + (bold ? " bold" : ""));
            EXPECT_EQ(baked->Ascent(), real->Ascent());
            EXPECT_EQ(baked->Height(), real->Height());
            for (char16_t c : std::u16string_view(bold ? kBoldDrawn : kDrawn))
                EXPECT_TRUE(SameGlyph(baked->GlyphOf(c), real->GlyphOf(c))) << static_cast<int>(c);
            if (!bold) {
                for (char16_t c : std::u16string_view(u"(c)"))
                    EXPECT_TRUE(SameGlyph(baked->GlyphOf(c, true), real->GlyphOf(c, true))) << "greyed " << static_cast<int>(c);
            }
            EXPECT_EQ(baked->TextWidth(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz ~"),
                      real->TextWidth(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz ~"));
            // Not drawn: the missing box, at the character's own advance.
            const platform::PixelGlyph &q = baked->GlyphOf(u'Q'), &box = real->GlyphOf(0xFFFF);
            EXPECT_EQ(q.advance, real->GlyphOf(u'Q').advance);
            EXPECT_TRUE(q.on == box.on && q.drawn_advance == box.drawn_advance && !box.on.empty());
        }
    EXPECT_EQ(table->Open(false, 8, (kLast + 1) * 9, &error), nullptr);
}

TEST(BakedFont, DamagedBytesAreRefusedWhole)
{
    const std::string bytes = Bake();
    std::string error;
    ASSERT_TRUE(platform::baked::Table::Load(bytes, &error)) << error;
    const std::string damaged[] = {bytes.substr(0, bytes.size() - 1), bytes + '\0', "TBK1" + bytes.substr(4), ""};
    for (const std::string &d : damaged) {
        error.clear();
        EXPECT_FALSE(platform::baked::Table::Load(d, &error));
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
