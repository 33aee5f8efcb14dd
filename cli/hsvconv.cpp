/*
 * hsvconv: the converter's engine on the command line, for scripts and
 * tables. One conversion from the operands, streams of requests from files
 * or standard input, or the whole table of one direction.
 *
 * Exit status: 0 done, 1 output could not be written, 2 bad input or usage.
 */
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#ifdef _WIN32
#include <io.h>
#else
#define O_BINARY 0
#endif

#include "cli/conversions.h"
#include "cli/line_reader.h"
#include "cli/output.h"
#include "cli/raw.h"

#ifndef RGBHSV_VERSION
#define RGBHSV_VERSION "unknown"
#endif

namespace {

using hsvconv::Direction;
using hsvconv::LineReader;
using hsvconv::Output;
using hsvconv::Request;

const char kUsage[] =
    "Usage: hsvconv [--hex] rgb R G B    red, green, blue (0..255) to hue, saturation, value\n"
    "       hsvconv rgb " HSVCONV_QUOTE "#rrggbb" HSVCONV_QUOTE "        the same from a hex colour\n"
    "       hsvconv [--hex] hsv H S V    hue, saturation, value (0..255) to red, green, blue\n"
    "       hsvconv table rgb|hsv        every input of one direction with its result\n"
    "       hsvconv --raw rgb|hsv [FILE...]  packed bytes, 3 a pixel, converted\n"
    "       hsvconv [--hex] [FILE...]    requests from the files, one a line; - or none\n"
    "                                    is standard input\n"
    "\n"
    "Hue runs 0..255 on a wheel of 256 steps. --hex writes red, green and blue\n"
    "as #rrggbb. Request lines are 'rgb R G B', 'rgb #rrggbb' or 'hsv H S V'; a\n"
    "# after a request begins a comment; blank lines and lines starting with #\n"
    "are passed over; a line may hold at most 4095 bytes. Values are decimal\n"
    "digits, without a sign. Conversions share one engine state, in order.\n"
    "Table lines are 'R G B H S V' or 'H S V R G B', red or hue outermost.\n"
    "--raw reads bytes (an image's pixels, red or hue first) and writes bytes.\n"
    "\n"
    "Exit status: 0 done, 1 output could not be written, 2 bad input, or a file\n"
    "that cannot be read. A reader that goes away ends hsvconv by SIGPIPE, as in\n"
    "any pipeline.\n";

// The most words a request has, and then some: more is refused outright.
const std::size_t kMaxWords = 8;
const std::size_t kMessageSize = 160;
// RunStream's status for input that could not be read: 2 to the shell, but
// a list of files goes on past it.
const int kUnreadable = 3;

int WriteFailure(const Output &out)
{
    // A reader that went away is not worth a message; anything else is.
    if (out.Error() != EPIPE)
        std::fprintf(stderr, "hsvconv: cannot write output: %s\n", std::strerror(out.Error()));
    return 1;
}

int Usage(const char *what)
{
    std::fprintf(stderr, "hsvconv: %s; try 'hsvconv --help'\n", what);
    return 2;
}

// Splits a line in place on blanks, up to its first NUL, which *end is set
// to, or up to a comment: a word after the first that starts with #, other
// than the hex colour of "rgb #rrggbb". Returns the word count, or
// kMaxWords + 1 when there are more words than any request has.
std::size_t SplitWords(char *line, char **words, const char **end)
{
    std::size_t count = 0;
    char *p = line;
    for (;;) {
        while (*p == ' ' || *p == '\t' || *p == '\r') p++;
        if (*p == '\0') break;
        if (*p == '#' && count > 0 &&
            !(count == 1 && std::strcmp(words[0], "rgb") == 0 && p[1] && p[1] != ' ' && p[1] != '\t' && p[1] != '\r'))
            break;
        if (count == kMaxWords) break;
        words[count++] = p;
        while (*p && *p != ' ' && *p != '\t' && *p != '\r') p++;
        if (*p) *p++ = '\0';
    }
    const bool more = *p && *p != '#';
    *end = p + std::strlen(p);
    return more ? kMaxWords + 1 : count;
}

// Converts one line of the stream. Returns false, with the reason in `why`,
// if it was bad.
bool HandleLine(char *line, std::size_t length, bool hex, Output &out, char *why, std::size_t size)
{
    char *words[kMaxWords];
    const char *end = nullptr;
    const std::size_t count = SplitWords(line, words, &end);
    // The splitter stops at the first NUL: before the line's own end, that
    // NUL was a byte of the line.
    if (end != line + length) {
        std::snprintf(why, size, "contains a NUL byte");
        return false;
    }
    if (count == 0 || words[0][0] == '#') return true;
    if (count > kMaxWords) {
        std::snprintf(why, size, "too many values");
        return false;
    }
    Request request;
    if (!hsvconv::ParseRequest(words, count, &request, why, size)) return false;
    hsvconv::WriteResult(request, hex, out);
    return true;
}

// Requests from one file, or standard input where `name` is null, one a
// line, in order. A bad line ends the run with status 2; at a terminal it
// is reported and the session goes on.
int RunStream(int fd, const char *name, bool hex, Output &out)
{
    const bool interactive = isatty(fd) != 0;
    if (!name && interactive && isatty(STDERR_FILENO))
        std::fputs("Type rgb R G B, rgb #rrggbb or hsv H S V; Ctrl+D ends.\n", stderr);
    const std::string shown = name ? hsvconv::QuoteName(name) : "";
    const std::string where = name ? shown + ": " : "";

    LineReader reader(fd, out);
    bool any_bad = false;
    for (;;) {
        char why[kMessageSize];
        bool ok = false;
        switch (reader.Next()) {
        case LineReader::Status::kLine: {
            // A byte order mark, as Windows editors write one, is not part
            // of the first request.
            char *line = reader.Line();
            std::size_t length = reader.Length();
            if (reader.Number() == 1 && length >= 3 && std::memcmp(line, "\xEF\xBB\xBF", 3) == 0) {
                line += 3;
                length -= 3;
            }
            ok = HandleLine(line, length, hex, out, why, sizeof why);
            break;
        }
        case LineReader::Status::kTooLong:
            std::snprintf(why, sizeof why, "longer than %zu bytes", LineReader::kMaxLine - 1);
            break;
        case LineReader::Status::kEnd:
            if (!out.Flush()) return WriteFailure(out);
            return any_bad ? 2 : 0;
        case LineReader::Status::kWriteError:
            return WriteFailure(out);
        case LineReader::Status::kReadError:
            if (!out.Flush()) return WriteFailure(out);
            if (name)
                std::fprintf(stderr, "hsvconv: cannot read '%s': %s\n", shown.c_str(), std::strerror(reader.Error()));
            else
                std::fprintf(stderr, "hsvconv: cannot read standard input: %s\n", std::strerror(reader.Error()));
            return kUnreadable;
        }
        if (!ok) {
            // The results before the bad line go out first: a write that
            // fails ends the run there, before the line is reached.
            if (!out.Flush()) return WriteFailure(out);
            std::fprintf(stderr, "hsvconv: %sline %lu: %s\n", where.c_str(), reader.Number(), why);
            if (!interactive) return 2;
            any_bad = true;
        }
        if (out.Failed()) return WriteFailure(out);
    }
}

// The files in order, "-" standard input, as one stream of requests. A
// file that cannot be opened or read is reported and passed over, as cat
// and grep do, and the run ends with status 2 once the rest are done; a bad
// line ends it at once.
int RunFiles(char **names, int count, bool hex, Output &out)
{
    bool any_unreadable = false;
    for (int i = 0; i < count; i++) {
        int status = 0;
        if (std::strcmp(names[i], "-") == 0) {
            status = RunStream(STDIN_FILENO, nullptr, hex, out);
        } else {
            const int fd = open(names[i], O_RDONLY | O_BINARY);
            if (fd < 0) {
                const int error = errno;
                if (!out.Flush()) return WriteFailure(out);
                std::fprintf(stderr, "hsvconv: cannot open '%s': %s\n", hsvconv::QuoteName(names[i]).c_str(),
                             std::strerror(error));
                any_unreadable = true;
                continue;
            }
            status = RunStream(fd, names[i], hex, out);
            close(fd);
        }
        if (status == kUnreadable) {
            any_unreadable = true;
            continue;
        }
        if (status != 0) return status;
    }
    return any_unreadable ? 2 : 0;
}

int Finish(Output &out)
{
    return out.Flush() ? 0 : WriteFailure(out);
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

    // --help and --version stand alone.
    const char *first = argc > 1 ? argv[1] : "";
    const bool help = std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0;
    if (help || std::strcmp(first, "--version") == 0) {
        if (argc > 2) {
            char shown[32], why[kMessageSize];
            hsvconv::Quote(argv[2], shown, sizeof shown);
            std::snprintf(why, sizeof why, "unexpected argument '%s' after %s", shown, first);
            return Usage(why);
        }
        if (help) {
            out.PutText(kUsage, sizeof kUsage - 1);
        } else {
            const char text[] = "hsvconv " RGBHSV_VERSION "\n";
            out.PutText(text, sizeof text - 1);
        }
        return Finish(out);
    }

    int next = 1;
    bool hex = false, raw = false;
    for (; next < argc && argv[next][0] == '-' && argv[next][1]; next++) {
        if (std::strcmp(argv[next], "--") == 0) {
            next++;
            break;
        }
        if (std::strcmp(argv[next], "--raw") == 0) {
            raw = true;
            continue;
        }
        if (std::strcmp(argv[next], "--hex") != 0) {
            char shown[32], why[kMessageSize];
            hsvconv::Quote(argv[next], shown, sizeof shown);
            std::snprintf(why, sizeof why, "unknown option '%s'", shown);
            return Usage(why);
        }
        hex = true;
    }
    char **words = argv + next;
    const std::size_t count = static_cast<std::size_t>(argc - next);
    if (raw) {
        Direction direction;
        if (hex) return Usage("--hex is for requests; --raw writes bytes");
        if (count == 0 || !hsvconv::ParseDirection(words[0], &direction))
            return Usage("--raw takes rgb or hsv, then the files to convert");
        int status = 0;
        return hsvconv::ConvertRaw(direction, words + 1, static_cast<int>(count - 1), out, &status) ? status
                                                                                                    : WriteFailure(out);
    }
    if (count == 0) {
        const int status = RunStream(STDIN_FILENO, nullptr, hex, out);
        return status == kUnreadable ? 2 : status;
    }

    Direction direction;
    const bool request = hsvconv::ParseDirection(words[0], &direction);
    if (std::strcmp(words[0], "table") == 0) {
        if (hex) return Usage("--hex is for requests; a table is written in decimal");
        if (count != 2) return Usage("table takes one word, rgb or hsv");
        if (!hsvconv::ParseDirection(words[1], &direction)) {
            char shown[32], why[kMessageSize];
            hsvconv::Quote(words[1], shown, sizeof shown);
            std::snprintf(why, sizeof why, "unknown table '%s' (expected rgb or hsv)", shown);
            return Usage(why);
        }
        return hsvconv::WriteTable(direction, out) ? 0 : WriteFailure(out);
    }
    if (!request) return RunFiles(words, static_cast<int>(count), hex, out);

    if (count > kMaxWords) return Usage("too many arguments");
    // `hsvconv rgb #ffc800` unquoted: the shell took the colour as a comment.
    if (count == 1 && direction == Direction::kRgbToHsv)
        return Usage("rgb got no values; quote a hex colour, as in rgb " HSVCONV_QUOTE "#ffc800" HSVCONV_QUOTE ": " HSVCONV_SHELL
                     " takes an unquoted # and what follows as a comment");
    Request parsed;
    char why[kMessageSize];
    if (!hsvconv::ParseRequest(words, count, &parsed, why, sizeof why)) return Usage(why);
    hsvconv::WriteResult(parsed, hex, out);
    return Finish(out);
}
