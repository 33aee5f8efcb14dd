// Internal to the Windows emulation: the resource bytes behind a pointer that
// LoadResource gave out, so that the dialog manager reads a template
// without running past its end.
#ifndef RGBHSV_PLATFORM_RESOURCES_H
#define RGBHSV_PLATFORM_RESOURCES_H

#include <cstdint>
#include <span>
#include <vector>

#include <windows.h>

#include "resource_reader.h"

namespace platform {

// Empty when `data` is not the start of a loaded resource.
std::span<const uint8_t> ResourceBytesAt(const void *data);
// The images of an icon, the one with the most colours of each size.
std::vector<IconImage> ImagesOfIcon(HICON icon);

}  // namespace platform

#endif
