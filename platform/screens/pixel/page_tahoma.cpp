// In the page, Tahoma is the copy it carries (baked_font.h).
#include "baked_font.h"

namespace platform {

std::unique_ptr<PixelFont> OpenTahoma(bool bold, int points, int dpi, std::string *error)
{
    return baked::Open(bold, points, dpi, error);
}

}  // namespace platform
