/*
 * hsvconv: the converter's engine on the command line, for scripts and
 * tables. One conversion from the operands, a stream of requests from
 * standard input, or the whole table of one direction.
 *
 * Exit status: 0 done, 1 output could not be written, 2 bad input or usage.
 */
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/output.h"
#include "engine/conversion.h"

#ifndef RGBHSV_VERSION
#define RGBHSV_VERSION "unknown"
#endif

namespace {

using hsvconv::Output;

const char kUsage[] =
    "Usage: hsvconv rgb R G B        red, green, blue (0..255) to hue, saturation, value\n"
    "       hsvconv rgb '#rrggbb'    the same from a hex colour\n"
    "       hsvconv hsv H S V        hue, saturation, value (0..255) to red, green, blue\n"
    "       hsvconv table rgb|hsv    every input of one direction with its result\n"
    "       hsvconv                  read requests from standard input, one a line\n"
    "\n"
    "Hue runs 0..255 on a wheel of 256 steps. Lines on standard input are\n"
    "'rgb R G B', 'rgb #rrggbb' or 'hsv H S V'; blank lines and lines starting\n"
    "with # are passed over; a line may hold at most 4095 bytes. Values are\n"
    "decimal digits, without a sign. Conversions share one engine state, in order.\n"
    "Table lines are 'R G B H S V' or 'H S V R G B', red or hue outermost.\n"
    "\n"
    "Exit status: 0 done, 1 output could not be written, 2 bad input. A reader\n"
    "that goes away ends hsvconv by SIGPIPE, as in any pipeline.\n";

// Where a request came from, for messages: "argument 2" or "line 17".
struct Place {
    const char *kind;
    unsigned long number;
};

struct Request {
    bool to_hsv;
    int a, b, c;
};

const std::size_t kMaxTokens = 8;
const std::size_t kMessageSize = 160;

void Complain(const Place &where, const char *what)
{
    std::fprintf(stderr, "hsvconv: %s %lu: %s\n", where.kind, where.number, what);
}

// A token as it may safely appear in a message: at most 24 characters,
// anything unprintable shown as '?'.
void Quote(const char *token, char *out, std::size_t size)
{
    std::size_t n = 0;
    for (const char *p = token; *p && n + 5 < size; p++) {
        if (p - token == 24) {
            out[n++] = '.';
            out[n++] = '.';
            out[n++] = '.';
            break;
        }
        unsigned char c = static_cast<unsigned char>(*p);
        out[n++] = (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
    out[n] = '\0';
}

// A component 0..255 written in decimal. On failure fills `why`.
bool ParseComponent(const char *token, int *value, char *why, std::size_t size)
{
    char shown[32];
    Quote(token, shown, sizeof shown);
    if (token[0] == '-' || token[0] == '+') {
        std::snprintf(why, size, "'%s' has a sign (a value is digits alone, 0..255)", shown);
        return false;
    }
    const char *digits = token;
    bool all_digits = digits[0] != '\0';
    long n = 0;
    for (const char *p = digits; *p; p++) {
        if (*p < '0' || *p > '9') {
            all_digits = false;
            break;
        }
        if (n <= 255) n = n * 10 + (*p - '0');
    }
    if (!all_digits) {
        std::snprintf(why, size, "'%s' is not a number", shown);
        return false;
    }
    if (n > 255) {
        std::snprintf(why, size, "'%s' is outside 0..255", shown);
        return false;
    }
    *value = static_cast<int>(n);
    return true;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseHex(const char *token, Request *request, char *why, std::size_t size)
{
    int value[6];
    std::size_t n = 0;
    for (const char *p = token + 1; *p && n < 7; p++, n++)
        if (n < 6) value[n] = HexDigit(*p);
    bool ok = n == 6;
    for (std::size_t i = 0; ok && i < 6; i++) ok = value[i] >= 0;
    if (!ok) {
        char shown[32];
        Quote(token, shown, sizeof shown);
        std::snprintf(why, size, "'%s' is not a colour of the form #rrggbb", shown);
        return false;
    }
    request->a = value[0] * 16 + value[1];
    request->b = value[2] * 16 + value[3];
    request->c = value[4] * 16 + value[5];
    return true;
}

// One request from its words: "rgb R G B", "rgb #rrggbb" or "hsv H S V".
bool ParseRequest(const char *const *words, std::size_t count, Request *request,
                  char *why, std::size_t size)
{
    char shown[32];
    Quote(words[0], shown, sizeof shown);
    if (std::strcmp(words[0], "rgb") == 0)
        request->to_hsv = true;
    else if (std::strcmp(words[0], "hsv") == 0)
        request->to_hsv = false;
    else {
        std::snprintf(why, size, "unknown word '%s' (expected rgb or hsv)", shown);
        return false;
    }
    if (request->to_hsv && count == 2 && words[1][0] == '#')
        return ParseHex(words[1], request, why, size);
    if (count != 4) {
        std::snprintf(why, size, "%s takes three values%s, got %zu", words[0],
                      request->to_hsv ? " or one #rrggbb" : "", count - 1);
        return false;
    }
    return ParseComponent(words[1], &request->a, why, size) &&
           ParseComponent(words[2], &request->b, why, size) &&
           ParseComponent(words[3], &request->c, why, size);
}

void Convert(const Request &request, Output &out)
{
    int x = 0, y = 0, z = 0;
    if (request.to_hsv)
        RgbToHsv(request.a, request.b, request.c, &x, &y, &z);
    else
        HsvToRgb(request.a, request.b, request.c, &x, &y, &z);
    out.PutTriple(x, y, z, '\n');
}

int WriteFailure(const Output &out)
{
    // A reader that went away is not worth a message; anything else is.
    if (out.Error() != EPIPE)
        std::fprintf(stderr, "hsvconv: cannot write output: %s\n", std::strerror(out.Error()));
    return 1;
}

// Splits a line in place on blanks. Returns the word count, or kMaxTokens + 1
// when there are more words than any request has.
std::size_t SplitWords(char *line, char **words)
{
    std::size_t count = 0;
    char *p = line;
    for (;;) {
        while (*p == ' ' || *p == '\t' || *p == '\r') p++;
        if (*p == '\0') return count;
        if (count == kMaxTokens) return kMaxTokens + 1;
        words[count++] = p;
        while (*p && *p != ' ' && *p != '\t' && *p != '\r') p++;
        if (*p) *p++ = '\0';
    }
}

// Handles one line of the stream. Returns false, with the reason in `why`,
// if it was bad.
bool HandleLine(char *line, std::size_t length, Output &out, char *why, std::size_t size)
{
    if (std::memchr(line, '\0', length) != nullptr) {
        std::snprintf(why, size, "contains a NUL byte");
        return false;
    }
    char *words[kMaxTokens];
    std::size_t count = SplitWords(line, words);
    if (count == 0 || words[0][0] == '#') return true;

    Request request;
    if (count > kMaxTokens) {
        std::snprintf(why, size, "too many values");
        return false;
    }
    if (!ParseRequest(words, count, &request, why, size)) return false;
    Convert(request, out);
    return true;
}

// Requests from standard input, one a line, in order. A bad line ends the
// run with status 2; at a terminal it is reported and the session goes on.
int RunStream(Output &out)
{
    const bool interactive = isatty(STDIN_FILENO) != 0;
    if (interactive && isatty(STDERR_FILENO))
        std::fputs("Type rgb R G B, rgb #rrggbb or hsv H S V; Ctrl+D ends.\n", stderr);

    static char buffer[1 << 16];
    const std::size_t kMaxLine = 4096;
    std::size_t held = 0;        // bytes in buffer not yet handled
    unsigned long number = 0;    // lines seen so far
    bool any_bad = false;
    bool at_end = false;

    while (!at_end || held > 0) {
        char *newline = static_cast<char *>(std::memchr(buffer, '\n', held));
        if (newline == nullptr && !at_end && held < kMaxLine) {
            // Show what is done before waiting for more input.
            if (!out.Flush()) return WriteFailure(out);
            ssize_t n = read(STDIN_FILENO, buffer + held, sizeof buffer - held);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                std::fprintf(stderr, "hsvconv: cannot read standard input: %s\n",
                             std::strerror(errno));
                return 2;
            }
            if (n == 0) at_end = true;
            held += static_cast<std::size_t>(n);
            continue;
        }
        std::size_t length = newline ? static_cast<std::size_t>(newline - buffer) : held;
        number++;
        bool ok;
        char why[kMessageSize];
        if (length >= kMaxLine) {
            std::snprintf(why, sizeof why, "longer than 4095 bytes");
            ok = false;
        } else {
            buffer[length] = '\0';  // there is always room: length < held or held < size
            ok = HandleLine(buffer, length, out, why, sizeof why);
        }
        if (!ok) {
            // The results before the bad line go out first: a write that
            // fails ends the run there, before the line is reached.
            if (!out.Flush()) return WriteFailure(out);
            Complain(Place{"line", number}, why);
            if (!interactive) return 2;
            any_bad = true;
        }
        if (length >= kMaxLine && newline == nullptr) {
            // Drop the rest of an over-long line as it arrives.
            held = 0;
            for (;;) {
                ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
                if (n < 0 && errno == EINTR) continue;
                if (n <= 0) {
                    at_end = true;
                    break;
                }
                char *end = static_cast<char *>(std::memchr(buffer, '\n', static_cast<std::size_t>(n)));
                if (end) {
                    held = static_cast<std::size_t>(n) - static_cast<std::size_t>(end + 1 - buffer);
                    std::memmove(buffer, end + 1, held);
                    break;
                }
            }
            continue;
        }
        std::size_t used = newline ? length + 1 : held;
        held -= used;
        std::memmove(buffer, buffer + used, held);
        if (out.Failed()) return WriteFailure(out);
    }
    if (!out.Flush()) return WriteFailure(out);
    return any_bad ? 2 : 0;
}

int Usage(const char *what)
{
    std::fprintf(stderr, "hsvconv: %s; try 'hsvconv --help'\n", what);
    return 2;
}

}  // namespace

int main(int argc, char **argv)
{
#ifdef _WIN32
    // Lines end in \n alone, on Windows too.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    Output out(STDOUT_FILENO);

    if (argc == 1) return RunStream(out);

    const char *first = argv[1];
    if (std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0) {
        out.PutText(kUsage, sizeof kUsage - 1);
        return out.Flush() ? 0 : WriteFailure(out);
    }
    if (std::strcmp(first, "--version") == 0) {
        const char text[] = "hsvconv " RGBHSV_VERSION "\n";
        out.PutText(text, sizeof text - 1);
        return out.Flush() ? 0 : WriteFailure(out);
    }
    if (std::strcmp(first, "table") == 0) {
        if (argc != 3) return Usage("table takes one word, rgb or hsv");
        hsvconv::Direction direction;
        if (std::strcmp(argv[2], "rgb") == 0)
            direction = hsvconv::Direction::kRgbToHsv;
        else if (std::strcmp(argv[2], "hsv") == 0)
            direction = hsvconv::Direction::kHsvToRgb;
        else {
            char shown[32], why[kMessageSize];
            Quote(argv[2], shown, sizeof shown);
            std::snprintf(why, sizeof why, "unknown table '%s' (expected rgb or hsv)", shown);
            return Usage(why);
        }
        return hsvconv::WriteTable(direction, out) ? 0 : WriteFailure(out);
    }

    std::size_t count = static_cast<std::size_t>(argc - 1);
    if (count > kMaxTokens) return Usage("too many arguments");
    Request request;
    char why[kMessageSize];
    if (!ParseRequest(argv + 1, count, &request, why, sizeof why)) return Usage(why);
    Convert(request, out);
    return out.Flush() ? 0 : WriteFailure(out);
}
