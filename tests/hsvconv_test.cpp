// hsvconv as a user meets it: the real program run with arguments and
// standard input, its output, messages and exit status read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "engine/conversion.h"

namespace {

struct Result {
    std::string out, err;
    int status;  // exit status, or 128 + signal
};

std::string Slurp(int fd)
{
    std::string text;
    char chunk[4096];
    lseek(fd, 0, SEEK_SET);
    for (ssize_t n; (n = read(fd, chunk, sizeof chunk)) > 0;) text.append(chunk, static_cast<size_t>(n));
    return text;
}

int TempFile(const std::string &content)
{
    FILE *f = std::tmpfile();
    std::fwrite(content.data(), 1, content.size(), f);
    std::fflush(f);
    int fd = dup(fileno(f));
    std::fclose(f);
    lseek(fd, 0, SEEK_SET);
    return fd;
}

// Runs hsvconv with the given arguments; `stdin_fd` < 0 means feed `input`.
Result RunHsvconv(const std::vector<std::string> &args, const std::string &input = "", int stdin_fd = -1,
           int stdout_fd = -1)
{
    int in = stdin_fd >= 0 ? stdin_fd : TempFile(input);
    int out = stdout_fd >= 0 ? stdout_fd : TempFile("");
    int err = TempFile("");
    pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGPIPE, SIG_DFL);  // as a shell starts a command
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char *> argv{const_cast<char *>(HSVCONV_PATH)};
        for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        execv(HSVCONV_PATH, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    Result r{stdout_fd >= 0 ? "" : Slurp(out), Slurp(err),
             WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)};
    if (stdin_fd < 0) close(in);
    if (stdout_fd < 0) close(out);
    close(err);
    return r;
}

struct Case {
    const char *why;
    std::vector<std::string> args;
    const char *input;
    const char *out;
    int status;
    const char *message;  // all of standard error
};

TEST(Hsvconv, ConversionsAndRefusals)
{
    const Case cases[] = {
        {"rgb operands", {"rgb", "200", "100", "50"}, "", "15 192 200\n", 0, ""},
        {"hex operand", {"rgb", "#C86432"}, "", "15 192 200\n", 0, ""},
        {"hsv operands", {"hsv", "43", "100", "200"}, "", "199 200 121\n", 0, ""},
        {"leading zeros are still decimal", {"hsv", "000", "0", "010"}, "", "10 10 10\n", 0, ""},
        {"above 255 is refused, not wrapped", {"rgb", "256", "0", "0"}, "", "", 2,
         "hsvconv: '256' is outside 0..255; try 'hsvconv --help'\n"},
        {"negative", {"hsv", "0", "-3", "0"}, "", "", 2,
         "hsvconv: '-3' has a sign (a value is digits alone, 0..255); try 'hsvconv --help'\n"},
        {"a plus sign is refused like a minus", {"rgb", "+5", "0", "0"}, "", "", 2,
         "hsvconv: '+5' has a sign (a value is digits alone, 0..255); try 'hsvconv --help'\n"},
        {"minus zero is refused in the stream too", {}, "rgb 0 0 0\nrgb -0 0 0\n", "0 0 0\n", 2,
         "hsvconv: line 2: '-0' has a sign (a value is digits alone, 0..255)\n"},
        {"not a number", {"rgb", "1", "2x", "3"}, "", "", 2,
         "hsvconv: '2x' is not a number; try 'hsvconv --help'\n"},
        {"too few", {"hsv", "1", "2"}, "", "", 2,
         "hsvconv: hsv takes three values, got 2; try 'hsvconv --help'\n"},
        {"six hex digits without their #", {"rgb", "ffc800"}, "", "", 2,
         "hsvconv: rgb takes three values or one #rrggbb, got 1; a hex colour is written '#ffc800'; "
         "try 'hsvconv --help'\n"},
        {"an unquoted #ffc800, which the shell took as a comment", {"rgb"}, "", "", 2,
         "hsvconv: rgb got no values; quote a hex colour, as in rgb '#ffc800': the shell takes an unquoted # and "
         "what follows as a comment; try 'hsvconv --help'\n"},
        {"a byte order mark before the first request", {}, "\xEF\xBB\xBFrgb 255 200 0\n", "34 255 255\n", 0, ""},
        {"hex for hsv", {"hsv", "#000000"}, "", "", 2,
         "hsvconv: hsv takes three values, got 1; try 'hsvconv --help'\n"},
        {"short hex", {"rgb", "#12345"}, "", "", 2,
         "hsvconv: '#12345' is not a colour of the form #rrggbb; try 'hsvconv --help'\n"},
        {"a first word that is no request is a file", {"lab", "1", "2", "3"}, "", "", 2,
         "hsvconv: cannot open 'lab': No such file or directory\nhsvconv: cannot open '1': No such file or directory\n"
         "hsvconv: cannot open '2': No such file or directory\nhsvconv: cannot open '3': No such file or directory\n"},
        {"--hex writes red, green, blue as a hex colour", {"--hex", "hsv", "34", "255", "255"}, "", "#ffcc00\n", 0, ""},
        {"and leaves hue, saturation, value decimal", {"--hex", "rgb", "#ffc800"}, "", "34 255 255\n", 0, ""},
        {"--hex in the stream, a comment after a request", {"--hex"},
         "hsv 0 255 255 # red\nrgb #ffc800 # the same orange\nrgb 1 2 3 #ffc800 is no value here\n",
         "#ff0000\n34 255 255\n149 170 3\n", 0, ""},
        {"a comment does not count as values", {}, "hsv 1 2 # 3\n", "", 2,
         "hsvconv: line 1: hsv takes three values, got 2\n"},
        {"--version takes nothing after it", {"--version", "x"}, "", "", 2,
         "hsvconv: unexpected argument 'x' after --version; try 'hsvconv --help'\n"},
        {"an unknown option", {"--hexa", "hsv", "1", "2", "3"}, "", "", 2,
         "hsvconv: unknown option '--hexa'; try 'hsvconv --help'\n"},
        {"unknown table", {"table", "lab"}, "", "", 2,
         "hsvconv: unknown table 'lab' (expected rgb or hsv); try 'hsvconv --help'\n"},
        {"control characters are not echoed", {"rgb", "1\x1b[2J", "2", "3"}, "", "", 2,
         "hsvconv: '1?[2J' is not a number; try 'hsvconv --help'\n"},
        {"stream, one state shared in order",
         {},
         "# a comment\n\nrgb 255 200 0\n  hsv 50 0 128\r\nrgb #808080\n",
         "34 255 255\n128 128 128\n0 0 128\n",
         0,
         ""},
        {"last line without a newline", {}, "hsv 0 255 255", "255 0 0\n", 0, ""},
        {"bad line stops the stream, earlier results stay", {}, "rgb 1 2 0\nrgb 1 2 999\nrgb 0 0 0\n",
         "64 255 2\n", 2, "hsvconv: line 2: '999' is outside 0..255\n"},
        {"wrong count in the stream", {}, "\nhsv 1 2 3 4\n", "", 2,
         "hsvconv: line 2: hsv takes three values, got 4\n"},
        {"unknown word in the stream", {}, "cmyk 1 2 3\n", "", 2,
         "hsvconv: line 1: unknown word 'cmyk' (expected rgb or hsv)\n"},
    };
    for (const Case &c : cases) {
        const Result r = RunHsvconv(c.args, c.input);
        EXPECT_EQ(r.out, c.out) << c.why;
        EXPECT_EQ(r.status, c.status) << c.why;
        EXPECT_EQ(r.err, c.message) << c.why;
    }
}

TEST(Hsvconv, LineWithNulByteIsRefusedByNumber)
{
    const Result r = RunHsvconv({}, std::string("rgb 1 2 3\nrgb 1 2\0 3\n", 21));
    EXPECT_EQ(r.out, "149 170 3\n");
    EXPECT_EQ(r.err, "hsvconv: line 2: contains a NUL byte\n");
    EXPECT_EQ(r.status, 2);
}

TEST(Hsvconv, LinesUpTo4095BytesAreRead)
{
    const std::string longest = "rgb 1 1 1" + std::string(4095 - 9, ' ') + "\n";
    const Result r = RunHsvconv({}, longest + "rgb 1 1 1 " + std::string(4086, ' ') + "\nrgb 0 0 0\n");
    EXPECT_EQ(r.out, "0 0 1\n");
    EXPECT_EQ(r.err, "hsvconv: line 2: longer than 4095 bytes\n");
    EXPECT_EQ(r.status, 2);
}

// Megabytes of requests, so that lines straddle the reader's buffer
// boundaries at every offset, padded, with CRLF ends, blank lines and
// comments, and a bad line last. Every result must equal the engine's own,
// request by request in the same order, and the bad line keep its number.
TEST(Hsvconv, LongStreamMatchesConversionsOneByOne)
{
    uint32_t seed = 0x9E3779B9u;
    auto next = [&seed] {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        return seed;
    };
    std::string input, expected;
    unsigned long lines = 0;
    char text[64];
    while (input.size() < (3u << 20)) {
        const uint32_t r = next();
        const int a = static_cast<int>(r & 0xFF), b = static_cast<int>(r >> 8 & 0xFF), c = static_cast<int>(r >> 16 & 0xFF);
        input.append(next() % 200, ' ');
        int x, y, z;
        switch (r >> 24 & 7) {
        case 0: input += "# comment"; break;
        case 1: break;
        case 2:
            std::snprintf(text, sizeof text, "rgb #%02X%02x%02X", a, b, c);
            input += text;
            RgbToHsv(a, b, c, &x, &y, &z);
            break;
        case 3: case 4: case 5:
            std::snprintf(text, sizeof text, "hsv %d\t%d %d", a, b, c);
            input += text;
            HsvToRgb(a, b, c, &x, &y, &z);
            break;
        default:
            std::snprintf(text, sizeof text, "rgb %d %d  %d", a, b, c);
            input += text;
            RgbToHsv(a, b, c, &x, &y, &z);
            break;
        }
        if ((r >> 24 & 7) >= 2) {
            std::snprintf(text, sizeof text, "%d %d %d\n", x, y, z);
            expected += text;
        }
        input += r & 0x100 ? "\r\n" : "\n";
        lines++;
    }
    input += "rgb 1 2 256\nrgb 0 0 0\n";
    const Result result = RunHsvconv({}, input);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "hsvconv: line " + std::to_string(lines + 1) + ": '256' is outside 0..255\n");
    ASSERT_EQ(result.out.size(), expected.size());
    EXPECT_TRUE(result.out == expected) << "the first difference is at byte "
                                        << std::mismatch(expected.begin(), expected.end(), result.out.begin()).first -
                                               expected.begin();
}

TEST(Hsvconv, UnreadableInputIsReported)
{
    const int dir = open("/", O_RDONLY | O_DIRECTORY);
    const Result r = RunHsvconv({}, "", dir);
    close(dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind("hsvconv: cannot read standard input: ", 0), 0u) << r.err;
}

// Request files in order with standard input among them, one engine state
// through all; a file that cannot be opened or read is named whole and
// passed over, the rest converted and the status 2; a bad line ends the
// run with what came before it written.
TEST(Hsvconv, FilesAreReadLikeAnyFilter)
{
    char first[] = "/tmp/hsvconv-test-XXXXXX";
    const int fd = mkstemp(first);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "rgb 255 200 0\n", 14), 14);
    close(fd);
    const std::string name(first);
    const Result both = RunHsvconv({name, "-", name}, "hsv 0 0 9\n");
    EXPECT_EQ(both.out, "34 255 255\n9 9 9\n34 255 255\n");
    EXPECT_EQ(both.status, 0) << both.err;
    const std::string long_name = "/nonexistent/a-folder-of-requests/kept-for-the-colour-tables\x1b.txt";
    const Result missing = RunHsvconv({name, long_name, "/", name});
    EXPECT_EQ(missing.out, "34 255 255\n34 255 255\n");
    EXPECT_EQ(missing.err, "hsvconv: cannot open '/nonexistent/a-folder-of-requests/kept-for-the-colour-tables?.txt': "
                           "No such file or directory\nhsvconv: cannot read '/': Is a directory\n");
    EXPECT_EQ(missing.status, 2);
    const Result bad = RunHsvconv({"-"}, "rgb 1 2\n");
    EXPECT_EQ(bad.err, "hsvconv: line 1: rgb takes three values or one #rrggbb, got 2\n");
    unlink(first);
}

// --raw: packed bytes in, converted bytes out, whatever the reads' sizes;
// part of a pixel at the end is reported after every whole one is written.
TEST(Hsvconv, RawBytesInConvertedBytesOut)
{
    std::string rgb, hsv, rgb_of_hsv;
    for (int i = 0; i < 70000; i++) {
        const int r = i * 7 & 255, g = i * 13 & 255, b = i * 29 & 255;
        int h, s, v, x, y, z;
        RgbToHsv(r, g, b, &h, &s, &v);
        HsvToRgb(r, g, b, &x, &y, &z);
        rgb += {static_cast<char>(r), static_cast<char>(g), static_cast<char>(b)};
        hsv += {static_cast<char>(h), static_cast<char>(s), static_cast<char>(v)};
        rgb_of_hsv += {static_cast<char>(x), static_cast<char>(y), static_cast<char>(z)};
    }
    const struct {
        std::vector<std::string> args;
        std::string input, out, err;
        int status;
    } cases[] = {
        {{"--raw", "rgb"}, rgb, hsv, "", 0},
        {{"--raw", "hsv", "-"}, rgb, rgb_of_hsv, "", 0},
        {{"--raw", "rgb"}, rgb + "\x01\x02", hsv,
         "hsvconv: standard input: 2 bytes at the end are not a whole pixel (3 bytes each)\n", 2},
        {{"--raw", "rgb", "/nonexistent/image.raw", "-"}, rgb.substr(0, 3), hsv.substr(0, 3),
         "hsvconv: cannot open '/nonexistent/image.raw': No such file or directory\n", 2},
        {{"--raw"}, "", "", "hsvconv: --raw takes rgb or hsv, then the files to convert; try 'hsvconv --help'\n", 2},
        {{"--raw", "--hex", "rgb"}, "", "", "hsvconv: --hex is for requests; --raw writes bytes; try 'hsvconv --help'\n", 2},
    };
    for (const auto &c : cases) {
        const Result r = RunHsvconv(c.args, c.input);
        EXPECT_TRUE(r.out == c.out) << c.args.back() << ": " << r.out.size() << " bytes, not " << c.out.size();
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.status, c.status) << c.args.back();
    }
}

TEST(Hsvconv, WriteErrorsEndTheRun)
{
    // A full device is worth a message; a reader that went away is not.
    const int full = open("/dev/full", O_WRONLY);
    ASSERT_GE(full, 0);
    const Result r = RunHsvconv({"rgb", "1", "2", "3"}, "", -1, full);
    close(full);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "hsvconv: cannot write output: No space left on device\n");

    // The failed write came first, so it is what ends the run.
    const int full_again = open("/dev/full", O_WRONLY);
    const Result then_bad = RunHsvconv({}, "rgb 1 2 3\nfoo\n", -1, full_again);
    close(full_again);
    EXPECT_EQ(then_bad.status, 1);
    EXPECT_EQ(then_bad.err, "hsvconv: cannot write output: No space left on device\n");

    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    const Result closed = RunHsvconv({"table", "hsv"}, "", -1, fds[1]);
    close(fds[1]);
    EXPECT_EQ(closed.status, 128 + SIGPIPE) << "a pipeline's reader went away: SIGPIPE, as usual";
    EXPECT_EQ(closed.err, "");
}

TEST(Hsvconv, TablesHaveEveryInputInOrder)
{
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        execl(HSVCONV_PATH, HSVCONV_PATH, "table", "rgb", static_cast<char *>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    // Each line must be "R G B H S V\n" in decimal, single spaces, with R G B
    // counting up from 0 0 0, blue fastest.
    long lines = 0, bad = 0;
    int field = 0, value = 0, digits = 0, key = 0;
    char chunk[1 << 16];
    for (ssize_t n; (n = read(fds[0], chunk, sizeof chunk)) > 0;) {
        for (ssize_t i = 0; i < n; i++) {
            const char c = chunk[i];
            if (c >= '0' && c <= '9') {
                value = value * 10 + (c - '0');
                digits++;
                continue;
            }
            const bool ok = digits > 0 && digits <= 3 && value <= 255 && (c == ' ') == (field < 5) &&
                            (c == '\n') == (field == 5);
            if (field < 3) key = key << 8 | value;
            if (!ok) bad++;
            value = digits = 0;
            if (c == '\n' || field == 5) {
                if (key != lines || field != 5) bad++;
                lines++;
                field = key = 0;
            } else {
                field++;
            }
        }
    }
    close(fds[0]);
    int status;
    waitpid(pid, &status, 0);
    EXPECT_EQ(lines, 16777216);
    EXPECT_EQ(bad, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(Hsvconv, HelpAndVersion)
{
    const Result help = RunHsvconv({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("hsvconv table rgb|hsv"), std::string::npos);
    const Result version = RunHsvconv({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("hsvconv ", 0), 0u);
}

}  // namespace
