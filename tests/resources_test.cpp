// The compiled resource script, read back through the platform's reader and
// checked field by field against the converter's dialog as designed; then
// the reader itself on truncated, shifted and corrupted bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "resource_reader.h"

extern "C" const unsigned char RgbhsvResources[];
extern "C" const unsigned long RgbhsvResourcesSize;

namespace {

using platform::ControlClass;
using platform::DialogTemplateRecord;
using platform::NameOrOrdinal;
using platform::ResourceRecord;

std::span<const uint8_t> ResBytes()
{
    return {RgbhsvResources, RgbhsvResourcesSize};
}

std::vector<ResourceRecord> Resources()
{
    std::vector<ResourceRecord> list;
    std::string error;
    EXPECT_TRUE(platform::ReadResourceFile(ResBytes(), &list, &error)) << error;
    return list;
}

std::span<const uint8_t> TemplateBytes()
{
    static const std::vector<ResourceRecord> list = Resources();
    const ResourceRecord *r = platform::FindResourceRecord(list, 5, 101);
    return r ? r->data : std::span<const uint8_t>();
}

std::string Narrow(const std::u16string &s)
{
    std::string out;
    for (char16_t c : s) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

TEST(Resources, ExactlyTheDialogTheIconGroupAndItsFourImages)
{
    struct Expected {
        uint16_t type, name;
    } expected[] = {{3, 1}, {3, 2}, {3, 3}, {3, 4}, {14, 102}, {5, 101}};
    const std::vector<ResourceRecord> list = Resources();
    ASSERT_EQ(list.size(), std::size(expected));
    for (const Expected &e : expected) {
        const ResourceRecord *r = platform::FindResourceRecord(list, e.type, e.name);
        ASSERT_NE(r, nullptr) << "type " << e.type << ", name " << e.name;
        EXPECT_EQ(r->language, 0) << "type " << e.type << ", name " << e.name << " is not language-neutral";
    }
}

TEST(Resources, DialogTemplateHeader)
{
    DialogTemplateRecord d;
    std::string error;
    ASSERT_TRUE(platform::ReadDialogTemplate(TemplateBytes(), &d, &error)) << error;
    EXPECT_EQ(d.style, 0x00C80800u);
    EXPECT_EQ(d.ex_style, 0u);
    EXPECT_EQ(d.x, 0);
    EXPECT_EQ(d.y, 0);
    EXPECT_EQ(d.cx, 213);
    EXPECT_EQ(d.cy, 78);
    EXPECT_EQ(d.menu.kind, NameOrOrdinal::Kind::kNone);
    EXPECT_EQ(d.window_class.kind, NameOrOrdinal::Kind::kNone);
    EXPECT_EQ(Narrow(d.title), "RGB <-> HSV");
    EXPECT_FALSE(d.has_font);
    EXPECT_EQ(d.items.size(), 11u);
}

TEST(Resources, DialogControlsInTabOrder)
{
    struct Expected {
        int id;
        ControlClass cls;
        const char *text;
        int x, y, cx, cy;
        uint32_t style;
    } expected[] = {
        {1001, ControlClass::kButton, "Select...", 160, 14, 50, 14, 0x50010000},
        {1002, ControlClass::kStatic, "", 3, 3, 45, 57, 0x50800004},
        {1003, ControlClass::kEdit, "", 55, 14, 31, 14, 0x50812080},
        {1004, ControlClass::kEdit, "", 87, 14, 31, 14, 0x50812080},
        {1005, ControlClass::kEdit, "", 119, 14, 31, 14, 0x50812080},
        {0xFFFF, ControlClass::kStatic, nullptr, 3, 66, 150, 8, 0x58020000},
        {1006, ControlClass::kEdit, "", 55, 47, 31, 14, 0x50812080},
        {1007, ControlClass::kEdit, "", 87, 47, 31, 14, 0x50812080},
        {1008, ControlClass::kEdit, "", 119, 47, 31, 14, 0x50812080},
        {0xFFFF, ControlClass::kStatic, "RGB color:", 55, 3, 61, 8, 0x50020000},
        {0xFFFF, ControlClass::kStatic, "HSV color:", 55, 34, 34, 8, 0x50020000},
    };
    DialogTemplateRecord d;
    std::string error;
    ASSERT_TRUE(platform::ReadDialogTemplate(TemplateBytes(), &d, &error)) << error;
    ASSERT_EQ(d.items.size(), std::size(expected));
    for (size_t i = 0; i < d.items.size(); i++) {
        const auto &item = d.items[i];
        const Expected &e = expected[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        EXPECT_EQ(item.id, e.id);
        EXPECT_EQ(item.control_class, e.cls);
        EXPECT_EQ(item.title.kind, NameOrOrdinal::Kind::kString);
        if (e.text)
            EXPECT_EQ(Narrow(item.title.text), e.text);
        else  // the credits line: some words and a year
            EXPECT_NE(Narrow(item.title.text).find("2026"), std::string::npos) << Narrow(item.title.text);
        EXPECT_EQ(item.x, e.x);
        EXPECT_EQ(item.y, e.y);
        EXPECT_EQ(item.cx, e.cx);
        EXPECT_EQ(item.cy, e.cy);
        EXPECT_EQ(item.style, e.style);
        EXPECT_EQ(item.ex_style, 0u);
        EXPECT_TRUE(item.creation_data.empty());
    }
}

TEST(Resources, IconGroupHasFourImagesOfTheRightSizesAndDepths)
{
    const std::vector<ResourceRecord> list = Resources();
    const ResourceRecord *group = platform::FindResourceRecord(list, 14, 102);
    ASSERT_NE(group, nullptr);
    std::vector<platform::IconGroupEntry> entries;
    std::string error;
    ASSERT_TRUE(platform::ReadIconGroup(group->data, &entries, &error)) << error;
    struct Expected {
        int size, colours, bits, id;
    } expected[] = {{16, 16, 4, 1}, {16, 0, 8, 2}, {32, 16, 4, 3}, {32, 0, 8, 4}};
    ASSERT_EQ(entries.size(), std::size(expected));
    for (size_t i = 0; i < entries.size(); i++) {
        const Expected &e = expected[i];
        SCOPED_TRACE("image " + std::to_string(e.id));
        EXPECT_EQ(entries[i].width, e.size);
        EXPECT_EQ(entries[i].height, e.size);
        EXPECT_EQ(entries[i].colour_count, e.colours);
        EXPECT_EQ(entries[i].bit_count, e.bits);
        EXPECT_EQ(entries[i].id, e.id);
        // The image itself: a bitmap header of the same size and depth
        // (height doubled for the mask), as long as the group says.
        const ResourceRecord *image = platform::FindResourceRecord(list, 3, static_cast<uint16_t>(e.id));
        ASSERT_NE(image, nullptr);
        ASSERT_GE(image->data.size(), 40u);
        EXPECT_EQ(image->data.size(), entries[i].bytes);
        auto dword = [&](size_t at) {
            const uint8_t *p = image->data.data() + at;
            return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16 | p[3] << 24);
        };
        EXPECT_EQ(dword(0), 40u);
        EXPECT_EQ(dword(4), static_cast<uint32_t>(e.size));
        EXPECT_EQ(dword(8), static_cast<uint32_t>(2 * e.size));
        EXPECT_EQ(image->data[14], e.bits);
    }
}

// ---------------------------------------------------------------------------
// The reader on bad input. Every case must end in a clean refusal (or, where
// the damage happens to leave a valid template, a clean parse); the sanitizer
// build shows that nothing was read out of bounds.

TEST(ResourceReader, RefusesEveryTruncationOfTheTemplate)
{
    const std::span<const uint8_t> full = TemplateBytes();
    ASSERT_GT(full.size(), 0u);
    for (size_t length = 0; length < full.size(); length++) {
        // A copy of exactly `length` bytes, so that reading past it is a
        // heap overflow the sanitizers catch.
        std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(length));
        DialogTemplateRecord d;
        std::string error;
        EXPECT_FALSE(platform::ReadDialogTemplate(cut, &d, &error)) << "length " << length;
        EXPECT_NE(error.find("cut short"), std::string::npos) << "length " << length << ": " << error;
    }
}

TEST(ResourceReader, RefusesEveryTruncationOfTheResourceFileThatSplitsAnEntry)
{
    const std::span<const uint8_t> full = ResBytes();
    std::vector<size_t> boundaries;  // lengths at which the file is whole
    {
        size_t at = 0;
        while (at < full.size()) {
            uint32_t data, header;
            std::memcpy(&data, full.data() + at, 4);
            std::memcpy(&header, full.data() + at + 4, 4);
            boundaries.push_back(at + header + data);  // padding after the last is optional
            at += (header + data + 3) / 4 * 4;
            boundaries.push_back(at);
        }
    }
    for (size_t length = 1; length < full.size(); length++) {
        std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(length));
        std::vector<ResourceRecord> list;
        std::string error;
        const bool whole = std::find(boundaries.begin(), boundaries.end(), length) != boundaries.end();
        EXPECT_EQ(platform::ReadResourceFile(cut, &list, &error), whole) << "length " << length << ": " << error;
    }
}

TEST(ResourceReader, ReadsTheSameFromAnyAddress)
{
    const std::span<const uint8_t> full = TemplateBytes();
    DialogTemplateRecord reference;
    std::string error;
    ASSERT_TRUE(platform::ReadDialogTemplate(full, &reference, &error));
    for (size_t shift = 1; shift < 4; shift++) {
        std::vector<uint8_t> buffer(shift, 0xEE);
        buffer.insert(buffer.end(), full.begin(), full.end());
        DialogTemplateRecord d;
        ASSERT_TRUE(platform::ReadDialogTemplate(std::span(buffer).subspan(shift), &d, &error)) << shift;
        EXPECT_EQ(d.items.size(), reference.items.size());
        EXPECT_EQ(d.items.back().title, reference.items.back().title);
    }
}

TEST(ResourceReader, RefusesCorruptedTemplates)
{
    const std::span<const uint8_t> good = TemplateBytes();
    auto with = [&](size_t at, std::initializer_list<uint8_t> bytes) {
        std::vector<uint8_t> v(good.begin(), good.end());
        for (uint8_t b : bytes) v.at(at++) = b;
        return v;
    };
    // Offsets in the real template: 8 is the item count; 22 the caption.
    const size_t creation = good.size() - 2;  // the last item's size word
    std::vector<uint8_t> unterminated(good.begin(), good.begin() + 22);  // header, menu, class
    for (char c : std::string("RGB")) unterminated.insert(unterminated.end(), {static_cast<uint8_t>(c), 0});
    const struct {
        const char *why;
        std::vector<uint8_t> bytes;
        const char *message;
    } cases[] = {
        {"more items than the bytes hold", with(8, {0xFF, 0x00}), "dialog items cut short"},
        {"extended template", with(0, {0x01, 0x00, 0xFF, 0xFF}), "extended dialog templates are not supported"},
        {"caption never ends", unterminated, "dialog caption cut short"},
        {"creation data past the end", with(creation, {0x40, 0x00}), "runs past the end"},
        {"creation data size of one byte", with(creation, {0x01, 0x00}), "impossible"},
    };
    for (const auto &c : cases) {
        DialogTemplateRecord d;
        std::string error;
        EXPECT_FALSE(platform::ReadDialogTemplate(c.bytes, &d, &error)) << c.why;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.why << ": " << error;
    }
}

TEST(ResourceReader, SurvivesEveryByteOfTheTemplateCorrupted)
{
    const std::span<const uint8_t> good = TemplateBytes();
    for (size_t at = 0; at < good.size(); at++) {
        for (uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            std::vector<uint8_t> v(good.begin(), good.end());
            v[at] = value;
            DialogTemplateRecord d;
            std::string error;
            if (!platform::ReadDialogTemplate(v, &d, &error)) {
                EXPECT_FALSE(error.empty()) << at;
            }
        }
    }
}

TEST(ResourceReader, ReadsClassesByNameIgnoringCase)
{
    // A one-item template written by hand: class "eDiT" as a string,
    // text given as ordinal 7, and four bytes of creation data.
    const std::vector<uint8_t> bytes = {
        0x00, 0x00, 0xC8, 0x00, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 10, 0, 10, 0,  // header
        0, 0, 0, 0, 0, 0,                                                      // menu, class, title
        0x00, 0x00, 0x00, 0x50, 0, 0, 0, 0, 1, 0, 2, 0, 3, 0, 4, 0, 0x2A, 0,  // item
        'e', 0, 'D', 0, 'i', 0, 'T', 0, 0, 0,                                  // class
        0xFF, 0xFF, 7, 0,                                                      // title
        6, 0, 0xDE, 0xAD, 0xBE, 0xEF,                                          // creation data
    };
    DialogTemplateRecord d;
    std::string error;
    ASSERT_TRUE(platform::ReadDialogTemplate(bytes, &d, &error)) << error;
    ASSERT_EQ(d.items.size(), 1u);
    EXPECT_EQ(d.items[0].control_class, ControlClass::kEdit);
    EXPECT_TRUE(d.items[0].title.IsOrdinal(7));
    EXPECT_EQ(d.items[0].id, 0x2A);
    EXPECT_EQ(d.items[0].creation_data, (std::vector<uint8_t>{0xDE, 0xAD, 0xBE, 0xEF}));
}

TEST(Resources, IconIsWhatTheDrawingProgramMakes)
{
    const std::string made = ::testing::TempDir() + "app.ico";
    ASSERT_EQ(std::system((std::string(DRAW_ICON_PATH) + " " + made).c_str()), 0);
    std::ifstream a(made, std::ios::binary), b(APP_ICO_PATH, std::ios::binary);
    const std::string drawn((std::istreambuf_iterator<char>(a)), {});
    const std::string committed((std::istreambuf_iterator<char>(b)), {});
    EXPECT_FALSE(committed.empty());
    EXPECT_TRUE(drawn == committed) << "resources/app.ico differs from what draw_icon makes now";
}

}  // namespace
