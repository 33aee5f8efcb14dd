/*
 * Buffered output to a file descriptor for hsvconv, with the small decimal
 * formatting it needs. No iostreams or printf on the hot path: the tables
 * are 16.7 million lines each.
 */
#ifndef RGBHSV_CLI_OUTPUT_H
#define RGBHSV_CLI_OUTPUT_H

#include <cstddef>

namespace hsvconv {

class Output {
public:
    explicit Output(int fd) : fd_(fd) {}
    Output(const Output &) = delete;
    Output &operator=(const Output &) = delete;

    // Appends three numbers 0..255 followed by the given separator each
    // ("a b c" then `last`). Values are taken modulo 256.
    void PutTriple(int a, int b, int c, char last);
    // Appends "a b c d e f\n".
    void PutLine(int a, int b, int c, int d, int e, int f)
    {
        PutTriple(a, b, c, ' ');
        PutTriple(d, e, f, '\n');
    }
    void PutText(const char *text, std::size_t length);

    // Writes out what is buffered. Returns false once a write has failed;
    // after that, nothing more is written.
    bool Flush();
    bool Failed() const { return error_ != 0; }
    int Error() const { return error_; }
    // Bytes handed to the descriptor so far.
    unsigned long long Written() const { return written_; }

private:
    static constexpr std::size_t kCapacity = 1 << 18;
    // Room at the end so one triple can always be appended without a check
    // per digit.
    static constexpr std::size_t kSlack = 16;

    int fd_;
    int error_ = 0;
    unsigned long long written_ = 0;
    std::size_t used_ = 0;
    char buffer_[kCapacity + kSlack];
};

}  // namespace hsvconv

#endif
