// libFuzzer target for the resource reader: any bytes, read as a resource
// file (and each dialog, icon group and icon image found in it), as a
// dialog template, an icon group and an icon image. A crash or a sanitizer report is a finding.
#include <cstddef>
#include <cstdint>

#include "resource_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    std::string error;

    std::vector<platform::ResourceRecord> resources;
    platform::DialogTemplateRecord dialog;
    std::vector<platform::IconGroupEntry> icons;
    platform::IconImage image;
    if (platform::ReadResourceFile(bytes, &resources, &error)) {
        for (const platform::ResourceRecord &r : resources) {
            if (r.type.IsOrdinal(5)) platform::ReadDialogTemplate(r.data, &dialog, &error);
            if (r.type.IsOrdinal(14)) platform::ReadIconGroup(r.data, &icons, &error);
            if (r.type.IsOrdinal(3)) platform::ReadIconImage(r.data, &image, &error);
        }
    }
    platform::ReadDialogTemplate(bytes, &dialog, &error);
    platform::ReadIconGroup(bytes, &icons, &error);
    platform::ReadIconImage(bytes, &image, &error);
    return 0;
}
