/*
 * The request stream's line reader: a line costs one search for its
 * newline; the buffer is compacted only when it runs out of whole lines.
 */
#include "cli/line_reader.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace hsvconv {

LineReader::Status LineReader::Take(std::size_t length, std::size_t used)
{
    number_++;
    line_ = buffer_ + start_;
    length_ = length;
    start_ += used;
    if (length >= kMaxLine) return Status::kTooLong;
    line_[length] = '\0';
    return Status::kLine;
}

LineReader::Status LineReader::Next()
{
    for (;;) {
        char *from = buffer_ + start_;
        const std::size_t held = end_ - start_;
        char *newline = static_cast<char *>(std::memchr(from, '\n', held));
        if (skipping_) {
            // The rest of a line already reported: drop it up to its end.
            if (newline) {
                start_ += static_cast<std::size_t>(newline - from) + 1;
                skipping_ = false;
                continue;
            }
            start_ = end_;
            if (at_end_) {
                skipping_ = false;
                continue;
            }
        } else if (newline) {
            const std::size_t length = static_cast<std::size_t>(newline - from);
            return Take(length, length + 1);
        } else if (held >= kMaxLine) {
            skipping_ = true;
            return Take(held, held);
        } else if (at_end_) {
            if (held == 0) return Status::kEnd;
            return Take(held, held);
        }
        Status failure;
        if (!Fill(&failure)) return failure;
    }
}

bool LineReader::Fill(Status *failure)
{
    const std::size_t held = end_ - start_;
    std::memmove(buffer_, buffer_ + start_, held);
    start_ = 0;
    end_ = held;
    if (!out_.Flush()) {
        *failure = Status::kWriteError;
        return false;
    }
    for (;;) {
        const ssize_t n = read(fd_, buffer_ + end_, kCapacity - end_);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error_ = errno;
            *failure = Status::kReadError;
            return false;
        }
        if (n == 0) at_end_ = true;
        end_ += static_cast<std::size_t>(n);
        return true;
    }
}

}  // namespace hsvconv
