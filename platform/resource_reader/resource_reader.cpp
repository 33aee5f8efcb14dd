// Resource bytes to records. Every read goes through Cursor, which checks
// the length first, so a truncated or corrupted input ends in a refusal.
#include "resource_reader.h"

#include <cstdio>
#include <cstring>

namespace platform {
namespace {

class Cursor {
public:
    Cursor(std::span<const uint8_t> bytes, std::string *error) : bytes_(bytes), error_(error) {}

    size_t Offset() const { return pos_; }
    size_t Remaining() const { return bytes_.size() - pos_; }

    bool Fail(const char *what)
    {
        if (error_) {
            char text[160];
            std::snprintf(text, sizeof text, "%s at byte %zu", what, pos_);
            *error_ = text;
        }
        return false;
    }

    bool Word(uint16_t *out, const char *what)
    {
        if (Remaining() < 2) return Fail(what);
        *out = static_cast<uint16_t>(bytes_[pos_] | bytes_[pos_ + 1] << 8);
        pos_ += 2;
        return true;
    }

    bool Short(int16_t *out, const char *what)
    {
        uint16_t w;
        if (!Word(&w, what)) return false;
        *out = static_cast<int16_t>(w);
        return true;
    }

    bool Dword(uint32_t *out, const char *what)
    {
        uint16_t low = 0, high = 0;
        if (Remaining() < 4) return Fail(what);
        Word(&low, what);
        Word(&high, what);
        *out = static_cast<uint32_t>(low) | static_cast<uint32_t>(high) << 16;
        return true;
    }

    bool Byte(uint8_t *out, const char *what)
    {
        if (Remaining() < 1) return Fail(what);
        *out = bytes_[pos_++];
        return true;
    }

    // A zero-terminated UTF-16 string whose first unit has been read.
    bool StringFrom(uint16_t first, std::u16string *out, const char *what)
    {
        out->clear();
        for (uint16_t unit = first; unit != 0;) {
            out->push_back(static_cast<char16_t>(unit));
            if (!Word(&unit, what)) return false;
        }
        return true;
    }

    bool String(std::u16string *out, const char *what)
    {
        uint16_t first;
        return Word(&first, what) && StringFrom(first, out, what);
    }

    // 0x0000 (absent, when allowed), 0xFFFF and an ordinal, or a string.
    bool Name(NameOrOrdinal *out, bool zero_is_absent, const char *what)
    {
        uint16_t first;
        if (!Word(&first, what)) return false;
        if (first == 0xFFFF) {
            out->kind = NameOrOrdinal::Kind::kOrdinal;
            return Word(&out->ordinal, what);
        }
        if (first == 0 && zero_is_absent) {
            out->kind = NameOrOrdinal::Kind::kNone;
            return true;
        }
        out->kind = NameOrOrdinal::Kind::kString;
        return StringFrom(first, &out->text, what);
    }

    // Alignment counts from the start of the bytes, which the resource
    // format keeps on a DWORD boundary.
    bool Align(size_t to, const char *what)
    {
        size_t aligned = (pos_ + to - 1) / to * to;
        if (aligned > bytes_.size()) return Fail(what);
        pos_ = aligned;
        return true;
    }

    bool Skip(size_t n, const char *what)
    {
        if (Remaining() < n) return Fail(what);
        pos_ += n;
        return true;
    }

    std::span<const uint8_t> Take(size_t n) { return bytes_.subspan(pos_, n); }

private:
    std::span<const uint8_t> bytes_;
    std::string *error_;
    size_t pos_ = 0;
};

bool SameIgnoringCase(const std::u16string &a, const char *b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; i++) {
        char16_t x = a[i], y = static_cast<unsigned char>(b[i]);
        if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x - u'A' + u'a');
        if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y - u'A' + u'a');
        if (x != y) return false;
    }
    return i == a.size() && b[i] == '\0';
}

ControlClass ClassOf(const NameOrOrdinal &name)
{
    static const char *const kNames[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
    for (uint16_t i = 0; i < 6; i++) {
        if (name.IsOrdinal(static_cast<uint16_t>(0x0080 + i)) ||
            (name.kind == NameOrOrdinal::Kind::kString && SameIgnoringCase(name.text, kNames[i])))
            return static_cast<ControlClass>(i);
    }
    return ControlClass::kOther;
}

bool ReadItem(Cursor &in, DialogItemRecord *item)
{
    const char *what = "dialog item cut short";
    if (!in.Align(4, what) || !in.Dword(&item->style, what) || !in.Dword(&item->ex_style, what) ||
        !in.Short(&item->x, what) || !in.Short(&item->y, what) || !in.Short(&item->cx, what) ||
        !in.Short(&item->cy, what) || !in.Word(&item->id, what))
        return false;
    if (!in.Name(&item->class_name, false, "dialog item class cut short") ||
        !in.Name(&item->title, false, "dialog item text cut short"))
        return false;
    item->control_class = ClassOf(item->class_name);

    // Creation data: a size word that counts itself, then the data.
    uint16_t size;
    if (!in.Word(&size, "dialog item creation data cut short")) return false;
    if (size == 0) return true;
    if (size < 2) return in.Fail("dialog item creation data size is impossible");
    const size_t data = size - 2u;
    if (in.Remaining() < data) return in.Fail("dialog item creation data runs past the end");
    std::span<const uint8_t> bytes = in.Take(data);
    item->creation_data.assign(bytes.begin(), bytes.end());
    return in.Skip(data, "dialog item creation data runs past the end");
}

}  // namespace

bool ReadResourceFile(std::span<const uint8_t> bytes, std::vector<ResourceRecord> *resources,
                      std::string *error)
{
    resources->clear();
    Cursor in(bytes, error);
    while (in.Remaining() > 0) {
        const size_t start = in.Offset();
        uint32_t data_size, header_size;
        ResourceRecord record;
        uint32_t data_version, version, characteristics;
        const char *what = "resource header cut short";
        if (!in.Dword(&data_size, what) || !in.Dword(&header_size, what) ||
            !in.Name(&record.type, false, what) || !in.Name(&record.name, false, what) ||
            !in.Align(4, what) || !in.Dword(&data_version, what) || !in.Word(&record.memory_flags, what) ||
            !in.Word(&record.language, what) || !in.Dword(&version, what) ||
            !in.Dword(&characteristics, what))
            return false;
        if (header_size < in.Offset() - start || header_size > bytes.size() - start)
            return in.Fail("resource header size does not match its fields");
        if (!in.Skip(start + header_size - in.Offset(), what)) return false;
        if (data_size > in.Remaining()) return in.Fail("resource data runs past the end");
        record.data = in.Take(data_size);
        in.Skip(data_size, what);
        // The file opens with an empty entry of type 0; it names nothing.
        if (!(data_size == 0 && record.type.IsOrdinal(0))) resources->push_back(record);
        if (in.Remaining() > 0 && !in.Align(4, "resource entry padding cut short")) return false;
    }
    return true;
}

bool ReadDialogTemplate(std::span<const uint8_t> bytes, DialogTemplateRecord *dialog, std::string *error)
{
    *dialog = DialogTemplateRecord{};
    Cursor in(bytes, error);
    const char *what = "dialog header cut short";
    uint16_t count;
    if (bytes.size() >= 4 && bytes[0] == 0x01 && bytes[1] == 0x00 && bytes[2] == 0xFF && bytes[3] == 0xFF)
        return in.Fail("extended dialog templates are not supported");
    if (!in.Dword(&dialog->style, what) || !in.Dword(&dialog->ex_style, what) || !in.Word(&count, what) ||
        !in.Short(&dialog->x, what) || !in.Short(&dialog->y, what) || !in.Short(&dialog->cx, what) ||
        !in.Short(&dialog->cy, what))
        return false;
    if (!in.Name(&dialog->menu, true, "dialog menu cut short") ||
        !in.Name(&dialog->window_class, true, "dialog class cut short") ||
        !in.String(&dialog->title, "dialog caption cut short"))
        return false;
    const uint32_t kSetFont = 0x40;
    if (dialog->style & kSetFont) {
        dialog->has_font = true;
        if (!in.Word(&dialog->point_size, "dialog font cut short") ||
            !in.String(&dialog->typeface, "dialog font cut short"))
            return false;
    }
    // Each item takes at least 24 bytes, so a count the bytes cannot hold
    // is refused before anything is reserved for it.
    if (count > in.Remaining() / 24 + 1) return in.Fail("dialog items cut short: more than the bytes can hold");
    dialog->items.resize(count);
    for (DialogItemRecord &item : dialog->items)
        if (!ReadItem(in, &item)) return false;
    return true;
}

bool ReadIconImage(std::span<const uint8_t> bytes, IconImage *image, std::string *error)
{
    *image = IconImage{};
    Cursor in(bytes, error);
    const char *what = "icon image header cut short";
    uint32_t header, width, height_twice, colours;
    uint16_t planes, bits;
    if (!in.Dword(&header, what) || !in.Dword(&width, what) || !in.Dword(&height_twice, what) ||
        !in.Word(&planes, what) || !in.Word(&bits, what))
        return false;
    if (header < 40 || header > bytes.size()) return in.Fail("not an icon image: its header is not a DIB's");
    if (bits != 1 && bits != 4 && bits != 8) return in.Fail("only icon images of 1, 4 or 8 bits a pixel are read");
    const uint32_t height = height_twice / 2;
    if (width == 0 || width > 256 || height == 0 || height > 256 || height_twice % 2)
        return in.Fail("an icon image's size must be 1 to 256 pixels each way");
    std::memcpy(&colours, bytes.data() + 32, sizeof colours);
    if (colours == 0 || colours > (1u << bits)) colours = 1u << bits;
    const size_t palette = header, stride = (width * bits + 31) / 32 * 4, mask_stride = (width + 31) / 32 * 4;
    const size_t pixels = palette + 4 * size_t{colours}, mask = pixels + stride * height;
    if (mask + mask_stride * height > bytes.size()) return in.Fail("icon image cut short");
    image->width = static_cast<int>(width);
    image->height = static_cast<int>(height);
    image->argb.reserve(size_t{width} * height);
    for (uint32_t y = 0; y < height; y++) {
        const size_t row = height - 1 - y;  // the rows are stored bottom first
        for (uint32_t x = 0; x < width; x++) {
            const uint8_t byte = bytes[pixels + row * stride + x * bits / 8];
            const unsigned shift = 8 - bits - (x * bits) % 8;
            const unsigned index = (byte >> shift) & ((1u << bits) - 1);
            const size_t entry = palette + 4 * (index < colours ? index : 0);
            const bool clear = bytes[mask + row * mask_stride + x / 8] & (0x80 >> (x % 8));
            image->argb.push_back((clear ? 0u : 0xFF000000u) | uint32_t{bytes[entry + 2]} << 16 |
                                  uint32_t{bytes[entry + 1]} << 8 | bytes[entry]);
        }
    }
    return true;
}

bool ReadIconGroup(std::span<const uint8_t> bytes, std::vector<IconGroupEntry> *entries, std::string *error)
{
    entries->clear();
    Cursor in(bytes, error);
    uint16_t reserved, type, count;
    const char *what = "icon group cut short";
    if (!in.Word(&reserved, what) || !in.Word(&type, what) || !in.Word(&count, what)) return false;
    if (reserved != 0 || type != 1) return in.Fail("not an icon group");
    for (uint16_t i = 0; i < count; i++) {
        IconGroupEntry e;
        uint8_t unused;
        if (!in.Byte(&e.width, what) || !in.Byte(&e.height, what) || !in.Byte(&e.colour_count, what) ||
            !in.Byte(&unused, what) || !in.Word(&e.planes, what) || !in.Word(&e.bit_count, what) ||
            !in.Dword(&e.bytes, what) || !in.Word(&e.id, what))
            return false;
        entries->push_back(e);
    }
    return true;
}

const ResourceRecord *FindResourceRecord(const std::vector<ResourceRecord> &resources, uint16_t type,
                                         uint16_t name)
{
    for (const ResourceRecord &r : resources)
        if (r.type.IsOrdinal(type) && r.name.IsOrdinal(name)) return &r;
    return nullptr;
}

}  // namespace platform
