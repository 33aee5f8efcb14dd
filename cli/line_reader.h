/*
 * Lines from a file descriptor for hsvconv's request stream: one read fills
 * a large buffer, and lines are handed out in place, each ended by a NUL
 * where its newline was. A line of kMaxLine bytes or more is not kept; it
 * is reported by number and the rest of it skipped as it arrives.
 */
#ifndef RGBHSV_CLI_LINE_READER_H
#define RGBHSV_CLI_LINE_READER_H

#include <cstddef>

#include "cli/output.h"

namespace hsvconv {

class LineReader {
public:
    // The longest line taken is kMaxLine - 1 bytes, newline not counted.
    static constexpr std::size_t kMaxLine = 4096;

    enum class Status { kLine, kTooLong, kEnd, kReadError, kWriteError };

    // Before each wait for input, what `out` holds is written out, so that
    // a person or a program at the other end sees every answer so far.
    LineReader(int fd, Output &out) : fd_(fd), out_(out) {}
    LineReader(const LineReader &) = delete;
    LineReader &operator=(const LineReader &) = delete;

    // The next line (kLine: Line() and Length() name it, Number() counts
    // it), a line too long (kTooLong, counted too), or the end.
    Status Next();
    char *Line() const { return line_; }
    std::size_t Length() const { return length_; }
    unsigned long Number() const { return number_; }
    // The errno of a failed read.
    int Error() const { return error_; }

private:
    static constexpr std::size_t kCapacity = 1 << 16;

    // Moves what is left to the front and reads more behind it. False,
    // with kReadError or kWriteError, when that fails.
    bool Fill(Status *failure);
    Status Take(std::size_t length, std::size_t used);

    int fd_;
    Output &out_;
    char buffer_[kCapacity + 1];  // + 1: a last line without a newline gets its NUL
    std::size_t start_ = 0;       // the first byte not handed out
    std::size_t end_ = 0;         // one past the last byte read
    bool at_end_ = false;
    bool skipping_ = false;       // inside a line already reported as too long
    char *line_ = nullptr;
    std::size_t length_ = 0;
    unsigned long number_ = 0;
    int error_ = 0;
};

}  // namespace hsvconv

#endif
