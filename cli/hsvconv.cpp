/*
 * hsvconv: the converter's engine on the command line, for scripts and
 * tables. One conversion from the operands, a stream of requests from
 * standard input, or the whole table of one direction.
 *
 * Exit status: 0 done, 1 output could not be written, 2 bad input or usage.
 */
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "cli/conversions.h"
#include "cli/line_reader.h"
#include "cli/output.h"

#ifndef RGBHSV_VERSION
#define RGBHSV_VERSION "unknown"
#endif

namespace {

using hsvconv::Direction;
using hsvconv::LineReader;
using hsvconv::Output;
using hsvconv::Request;

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

// The most words a request has, and then some: more is refused outright.
const std::size_t kMaxWords = 8;
const std::size_t kMessageSize = 160;

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
// to. Returns the word count, or kMaxWords + 1 when there are more words
// than any request has.
std::size_t SplitWords(char *line, char **words, const char **end)
{
    std::size_t count = 0;
    char *p = line;
    for (;;) {
        while (*p == ' ' || *p == '\t' || *p == '\r') p++;
        if (*p == '\0') break;
        if (count == kMaxWords) {
            *end = p + std::strlen(p);
            return kMaxWords + 1;
        }
        words[count++] = p;
        while (*p && *p != ' ' && *p != '\t' && *p != '\r') p++;
        if (*p) *p++ = '\0';
    }
    *end = p;
    return count;
}

// Converts one line of the stream. Returns false, with the reason in `why`,
// if it was bad.
bool HandleLine(char *line, std::size_t length, Output &out, char *why, std::size_t size)
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
    hsvconv::WriteResult(request, out);
    return true;
}

// Requests from standard input, one a line, in order. A bad line ends the
// run with status 2; at a terminal it is reported and the session goes on.
int RunStream(Output &out)
{
    const bool interactive = isatty(STDIN_FILENO) != 0;
    if (interactive && isatty(STDERR_FILENO))
        std::fputs("Type rgb R G B, rgb #rrggbb or hsv H S V; Ctrl+D ends.\n", stderr);

    LineReader reader(STDIN_FILENO, out);
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
            ok = HandleLine(line, length, out, why, sizeof why);
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
            std::fprintf(stderr, "hsvconv: cannot read standard input: %s\n", std::strerror(reader.Error()));
            return 2;
        }
        if (!ok) {
            // The results before the bad line go out first: a write that
            // fails ends the run there, before the line is reached.
            if (!out.Flush()) return WriteFailure(out);
            std::fprintf(stderr, "hsvconv: line %lu: %s\n", reader.Number(), why);
            if (!interactive) return 2;
            any_bad = true;
        }
        if (out.Failed()) return WriteFailure(out);
    }
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

    if (argc == 1) return RunStream(out);

    const char *first = argv[1];
    if (std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0) {
        out.PutText(kUsage, sizeof kUsage - 1);
        return Finish(out);
    }
    if (std::strcmp(first, "--version") == 0) {
        const char text[] = "hsvconv " RGBHSV_VERSION "\n";
        out.PutText(text, sizeof text - 1);
        return Finish(out);
    }
    if (std::strcmp(first, "table") == 0) {
        if (argc != 3) return Usage("table takes one word, rgb or hsv");
        Direction direction;
        if (!hsvconv::ParseDirection(argv[2], &direction)) {
            char shown[32], why[kMessageSize];
            hsvconv::Quote(argv[2], shown, sizeof shown);
            std::snprintf(why, sizeof why, "unknown table '%s' (expected rgb or hsv)", shown);
            return Usage(why);
        }
        return hsvconv::WriteTable(direction, out) ? 0 : WriteFailure(out);
    }

    const std::size_t count = static_cast<std::size_t>(argc - 1);
    if (count > kMaxWords) return Usage("too many arguments");
    // `hsvconv rgb #ffc800` unquoted: the shell took the colour as a comment.
    if (count == 1 && std::strcmp(first, "rgb") == 0)
        return Usage("rgb got no values; quote a hex colour, as in rgb '#ffc800': the shell takes an unquoted # "
                     "and what follows as a comment");
    Request request;
    char why[kMessageSize];
    if (!hsvconv::ParseRequest(argv + 1, count, &request, why, sizeof why)) return Usage(why);
    hsvconv::WriteResult(request, out);
    return Finish(out);
}
