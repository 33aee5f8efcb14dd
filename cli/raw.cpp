/*
 * hsvconv --raw: packed bytes in, the converted bytes out, so that images
 * pass through pipes (`convert in.png rgb:- | hsvconv --raw rgb`). Each
 * block of whole pixels goes to librgbhsv at once; the bytes of a pixel
 * split between two reads wait for the rest.
 */
#include "cli/raw.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>
#ifndef O_BINARY
#define O_BINARY 0
#endif

#include "rgbhsv.h"

namespace hsvconv {
namespace {

const std::size_t kBlock = 3 * 65536;

enum class Ended { kWhole, kPartPixel, kUnreadable, kWriteError };

Ended ConvertStream(int fd, Direction direction, Output &out, std::size_t *left_over, int *error)
{
    std::vector<uint8_t> in(kBlock), result(kBlock);
    std::size_t held = 0;  // bytes of a pixel not yet whole, at the start of `in`
    for (;;) {
        const ssize_t n = read(fd, in.data() + held, kBlock - held);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *error = errno;
            *left_over = held;
            return Ended::kUnreadable;
        }
        if (n == 0) {
            *left_over = held;
            return held ? Ended::kPartPixel : Ended::kWhole;
        }
        const std::size_t have = held + static_cast<std::size_t>(n), whole = have - have % 3;
        (direction == Direction::kRgbToHsv ? rgbhsv_rgb_to_hsv : rgbhsv_hsv_to_rgb)(in.data(), result.data(), whole / 3);
        out.PutText(reinterpret_cast<const char *>(result.data()), whole);
        if (out.Failed()) return Ended::kWriteError;
        held = have - whole;
        std::memmove(in.data(), in.data() + whole, held);
    }
}

}  // namespace

bool ConvertRaw(Direction direction, char **names, int count, Output &out, int *status)
{
    static char standard_input[] = "-";
    char *only[] = {standard_input};
    if (count == 0) {
        names = only;
        count = 1;
    }
    bool any_bad = false;
    for (int i = 0; i < count; i++) {
        const bool stdin_named = std::strcmp(names[i], "-") == 0;
        const std::string quoted = stdin_named ? std::string() : QuoteName(names[i]);
        char shown_text[300];
        std::snprintf(shown_text, sizeof shown_text, stdin_named ? "standard input" : "'%s'", quoted.c_str());
        const std::string shown = shown_text;
        const int fd = stdin_named ? STDIN_FILENO : open(names[i], O_RDONLY | O_BINARY);
        std::size_t left_over = 0;
        int error = errno;
        const Ended ended = fd < 0 ? Ended::kUnreadable : ConvertStream(fd, direction, out, &left_over, &error);
        if (fd >= 0 && !stdin_named) close(fd);
        if (ended == Ended::kWriteError || !out.Flush()) return false;
        if (ended == Ended::kUnreadable) {
            std::fprintf(stderr, "hsvconv: cannot %s %s: %s\n", fd < 0 ? "open" : "read", shown.c_str(),
                         std::strerror(error));
            any_bad = true;
        } else if (ended == Ended::kPartPixel) {
            std::fprintf(stderr, "hsvconv: %s: %zu byte%s at the end %s not a whole pixel (3 bytes each)\n",
                         shown.c_str(), left_over, left_over == 1 ? "" : "s", left_over == 1 ? "is" : "are");
            any_bad = true;
        }
    }
    *status = any_bad ? 2 : 0;
    return true;
}

}  // namespace hsvconv
