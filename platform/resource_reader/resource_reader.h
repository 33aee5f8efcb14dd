// Reads the program's compiled resources (.res bytes as windres writes them)
// into plain records: the resource list, classic dialog templates and icon
// groups. Pure functions of their bytes; nothing here touches a screen.
//
// Supports: ordinal and string names, the classic DLGTEMPLATE with or without
// DS_SETFONT, predefined control classes by atom or by name. Leaves out:
// extended (DIALOGEX) templates, which are refused, and every other resource
// type's contents.
#ifndef RGBHSV_PLATFORM_RESOURCE_READER_H
#define RGBHSV_PLATFORM_RESOURCE_READER_H

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform {

// A name field: absent (0x0000), an ordinal (0xFFFF, n) or a string.
struct NameOrOrdinal {
    enum class Kind { kNone, kOrdinal, kString };
    Kind kind = Kind::kNone;
    uint16_t ordinal = 0;
    std::u16string text;

    static NameOrOrdinal Ordinal(uint16_t n) { return {Kind::kOrdinal, n, {}}; }
    bool IsOrdinal(uint16_t n) const { return kind == Kind::kOrdinal && ordinal == n; }
    bool operator==(const NameOrOrdinal &) const = default;
};

struct ResourceRecord {
    NameOrOrdinal type;
    NameOrOrdinal name;
    uint16_t language = 0;
    uint16_t memory_flags = 0;
    std::span<const uint8_t> data;  // points into the bytes that were read
};

enum class ControlClass { kButton, kEdit, kStatic, kListBox, kScrollBar, kComboBox, kOther };

struct DialogItemRecord {
    uint32_t style = 0;
    uint32_t ex_style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint16_t id = 0;
    ControlClass control_class = ControlClass::kOther;
    NameOrOrdinal class_name;  // as stored: an atom or a name
    NameOrOrdinal title;       // text, or an ordinal naming a resource
    std::vector<uint8_t> creation_data;
};

struct DialogTemplateRecord {
    uint32_t style = 0;
    uint32_t ex_style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal window_class;
    std::u16string title;
    bool has_font = false;
    uint16_t point_size = 0;
    std::u16string typeface;
    std::vector<DialogItemRecord> items;
};

struct IconGroupEntry {
    uint8_t width = 0, height = 0, colour_count = 0;
    uint16_t planes = 0, bit_count = 0;
    uint32_t bytes = 0;
    uint16_t id = 0;
};

// One image of an icon, top row first, each pixel 0xAARRGGBB: its
// transparency mask as alpha 0 or 255.
struct IconImage {
    int width = 0, height = 0;
    std::vector<uint32_t> argb;
};

// Each returns false and a one-line reason in *error when the bytes are not
// what they should be; it never reads outside `bytes`.
bool ReadResourceFile(std::span<const uint8_t> bytes, std::vector<ResourceRecord> *resources,
                      std::string *error);
bool ReadDialogTemplate(std::span<const uint8_t> bytes, DialogTemplateRecord *dialog, std::string *error);
bool ReadIconGroup(std::span<const uint8_t> bytes, std::vector<IconGroupEntry> *entries, std::string *error);
// An icon image as an icon resource or an .ico file holds one: a DIB of 1,
// 4 or 8 bits a pixel with its palette, twice its height for the mask.
bool ReadIconImage(std::span<const uint8_t> bytes, IconImage *image, std::string *error);

// The first resource of the given type and ordinal name, or null.
const ResourceRecord *FindResourceRecord(const std::vector<ResourceRecord> &resources, uint16_t type,
                                         uint16_t name);

}  // namespace platform

#endif
