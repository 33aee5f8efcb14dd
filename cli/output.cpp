/*
 * hsvconv's output buffer: decimal triples and text, written out in large
 * blocks, with the first failed write remembered.
 */
#include "cli/output.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>
#ifdef _WIN32
#include <windows.h>
#endif

namespace hsvconv {
namespace {

// errno for a failed write. Windows has no EPIPE: a pipe whose reader went
// away fails with ERROR_NO_DATA or ERROR_BROKEN_PIPE, which the C runtime
// reports as EINVAL; it is EPIPE here, so that it ends as quietly as there.
int WriteError()
{
#ifdef _WIN32
    const DWORD why = GetLastError();
    if (why == ERROR_NO_DATA || why == ERROR_BROKEN_PIPE) return EPIPE;
#endif
    return errno;
}


// "0 " .. "255 ": the digits with one byte after them for the separator.
struct Decimal {
    char text[4];
    unsigned char length;  // digits only
};

constexpr Decimal MakeDecimal(int n)
{
    Decimal d{{' ', ' ', ' ', ' '}, 0};
    if (n >= 100) d.text[d.length++] = static_cast<char>('0' + n / 100);
    if (n >= 10) d.text[d.length++] = static_cast<char>('0' + n / 10 % 10);
    d.text[d.length++] = static_cast<char>('0' + n % 10);
    return d;
}

struct DecimalTable {
    Decimal entry[256];
    constexpr DecimalTable() : entry()
    {
        for (int i = 0; i < 256; i++) entry[i] = MakeDecimal(i);
    }
};

constexpr DecimalTable kDecimals;

}  // namespace

void Output::PutTriple(int a, int b, int c, char last)
{
    if (used_ > kCapacity) Flush();
    char *p = buffer_ + used_;
    const Decimal &da = kDecimals.entry[a & 0xFF];
    const Decimal &db = kDecimals.entry[b & 0xFF];
    const Decimal &dc = kDecimals.entry[c & 0xFF];
    // Each copy is four bytes whatever the width; the next copy overwrites
    // what lies past the digits and the separator.
    std::memcpy(p, da.text, 4);
    p += da.length;
    *p++ = ' ';
    std::memcpy(p, db.text, 4);
    p += db.length;
    *p++ = ' ';
    std::memcpy(p, dc.text, 4);
    p += dc.length;
    *p++ = last;
    used_ = static_cast<std::size_t>(p - buffer_);
}

void Output::PutText(const char *text, std::size_t length)
{
    while (length > 0) {
        if (used_ >= kCapacity && !Flush()) return;
        std::size_t room = kCapacity - used_;
        std::size_t n = length < room ? length : room;
        std::memcpy(buffer_ + used_, text, n);
        used_ += n;
        text += n;
        length -= n;
    }
}

bool Output::Flush()
{
    std::size_t done = 0;
    while (error_ == 0 && done < used_) {
        ssize_t n = write(fd_, buffer_ + done, used_ - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            error_ = n < 0 ? WriteError() : EIO;
    }
    written_ += done;
    used_ = 0;
    return error_ == 0;
}

}  // namespace hsvconv
