// Internal to the Windows emulation: the resource bytes behind a pointer that
// LoadResource gave out, so that the dialog manager reads a template
// without running past its end.
#ifndef RGBHSV_PLATFORM_RESOURCES_H
#define RGBHSV_PLATFORM_RESOURCES_H

#include <cstdint>
#include <span>

namespace platform {

// Empty when `data` is not the start of a loaded resource.
std::span<const uint8_t> ResourceBytesAt(const void *data);

}  // namespace platform

#endif
