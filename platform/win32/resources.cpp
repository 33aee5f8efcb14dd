// Resources and modules: the program's one module, its compiled resource
// bytes (linked in as RgbhsvResources), FindResourceW, LoadResource and
// LoadIconW. Leaves out: other modules, string names for types, and
// resource languages (every resource here is language-neutral).
#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "resource_reader.h"
#include "resources.h"
#include "system.h"

extern "C" const unsigned char RgbhsvResources[];
extern "C" const unsigned long RgbhsvResourcesSize;

namespace platform {
namespace {

const std::vector<ResourceRecord> &Resources()
{
    static const std::vector<ResourceRecord> list = [] {
        std::vector<ResourceRecord> records;
        std::string error;
        if (!ReadResourceFile({RgbhsvResources, RgbhsvResourcesSize}, &records, &error)) records.clear();
        return records;
    }();
    return list;
}

const ResourceRecord *Find(LPCWSTR name, LPCWSTR type)
{
    if (!IS_INTRESOURCE(name) || !IS_INTRESOURCE(type)) return nullptr;
    return FindResourceRecord(Resources(), static_cast<uint16_t>(reinterpret_cast<ULONG_PTR>(type)),
                              static_cast<uint16_t>(reinterpret_cast<ULONG_PTR>(name)));
}

}  // namespace

std::span<const uint8_t> ResourceBytesAt(const void *data)
{
    for (const ResourceRecord &r : Resources())
        if (r.data.data() == data) return r.data;
    return {};
}

std::vector<IconImage> ImagesOfIcon(HICON icon)
{
    std::vector<IconImage> images;
    std::vector<IconGroupEntry> entries;
    std::string error;
    if (!icon || !ReadIconGroup(icon->group->data, &entries, &error)) return images;
    std::vector<const IconGroupEntry *> best;
    for (const IconGroupEntry &e : entries) {
        auto same = std::find_if(best.begin(), best.end(), [&](const IconGroupEntry *b) { return b->width == e.width; });
        if (same == best.end())
            best.push_back(&e);
        else if (e.bit_count > (*same)->bit_count)
            *same = &e;
    }
    for (const IconGroupEntry *e : best) {
        const ResourceRecord *record = FindResourceRecord(Resources(), 3, e->id);  // RT_ICON
        IconImage image;
        if (record && ReadIconImage(record->data, &image, &error)) images.push_back(std::move(image));
    }
    return images;
}

}  // namespace platform

using namespace platform;

extern "C" {

HMODULE WINAPI GetModuleHandleW(LPCWSTR name)
{
    return name ? nullptr : &System().module;
}

HRSRC WINAPI FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type)
{
    if (module && module != &System().module) return nullptr;
    return reinterpret_cast<HRSRC>(const_cast<ResourceRecord *>(Find(name, type)));
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC resource)
{
    if (!resource) return nullptr;
    const auto *record = reinterpret_cast<const ResourceRecord *>(resource);
    return const_cast<uint8_t *>(record->data.data());
}

DWORD WINAPI SizeofResource(HMODULE, HRSRC resource)
{
    return resource ? static_cast<DWORD>(reinterpret_cast<const ResourceRecord *>(resource)->data.size()) : 0;
}

HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name)
{
    if (instance != &System().module) return nullptr;
    const ResourceRecord *group = Find(name, RT_GROUP_ICON);
    if (!group) return nullptr;
    // Icons from resources are shared and never freed, as on Windows.
    std::vector<std::unique_ptr<HICON__>> &icons = System().icons;
    for (const auto &icon : icons)
        if (icon->group == group) return icon.get();
    icons.push_back(std::make_unique<HICON__>(HICON__{group}));
    return icons.back().get();
}

}  // extern "C"
