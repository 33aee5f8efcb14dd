/*
 * What hsvconv converts: the direction words, requests parsed from words
 * (operands or a stream line), one conversion over a direction, and the
 * whole table of a direction.
 */
#ifndef RGBHSV_CLI_CONVERSIONS_H
#define RGBHSV_CLI_CONVERSIONS_H

#include <cstddef>
#include <string>

#include "cli/output.h"

namespace hsvconv {

// How a hex colour is quoted on this system's command line: cmd.exe passes
// single quotes on and PowerShell takes an unquoted # as a comment, so
// Windows gets double quotes; a Unix shell, single ones.
#ifdef _WIN32
#define HSVCONV_QUOTE "\""
#define HSVCONV_SHELL "PowerShell"
#else
#define HSVCONV_QUOTE "'"
#define HSVCONV_SHELL "the shell"
#endif

// "rgb": red, green, blue in, hue, saturation, value out; "hsv" the reverse.
enum class Direction { kRgbToHsv, kHsvToRgb };

// The word for a direction, "rgb" or "hsv". False for any other word.
bool ParseDirection(const char *word, Direction *direction);

struct Request {
    Direction direction;
    int a, b, c;
};

// A request from its words: "rgb R G B", "rgb #rrggbb" or "hsv H S V".
// On failure, `why` says what is wrong, with the offending word quoted.
bool ParseRequest(const char *const *words, std::size_t count, Request *request, char *why, std::size_t size);

// The one conversion every path uses: the engine's call for the direction.
void Convert(Direction direction, int a, int b, int c, int *x, int *y, int *z);

// Writes a request's result, "x y z\n"; with `hex`, red, green and blue as
// "#rrggbb\n".
void WriteResult(const Request &request, bool hex, Output &out);

// The whole table of one direction, red (or hue) outermost and the last
// component innermost: "R G B H S V" or "H S V R G B" per line. False if
// the output failed.
bool WriteTable(Direction direction, Output &out);

// A word as it may safely appear in a message: at most 24 characters,
// anything unprintable shown as '?'. For the error path only.
void Quote(const char *word, char *out, std::size_t size);
// A file's name as it may safely appear in a message, whole: characters
// other than controls as they are, anything else (a control character, a
// byte that is not UTF-8) shown as '?'.
std::string QuoteName(const char *name);

}  // namespace hsvconv

#endif
