/*
 * hsvconv's output buffer: decimal triples and text, written out in large
 * blocks, with the first failed write remembered.
 */
#include "cli/output.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

namespace hsvconv {
namespace {

// Writes what it can of `data` and returns how much, or -1 with the reason
// in *error as an errno value. On Windows this is WriteFile itself: the C
// runtime reports a pipe whose reader went away as EINVAL and keeps no
// trace of why, where Windows says ERROR_NO_DATA or ERROR_BROKEN_PIPE (and
// Wine ERROR_PIPE_NOT_CONNECTED); that is EPIPE here, so that hsvconv ends
// as quietly as where there is SIGPIPE.
long WriteSome(int fd, const char *data, std::size_t size, int *error)
{
#ifdef _WIN32
    DWORD wrote = 0;
    const DWORD chunk = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
    if (WriteFile(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), data, chunk, &wrote, nullptr)) return wrote;
    switch (GetLastError()) {
    case ERROR_NO_DATA: case ERROR_BROKEN_PIPE: case ERROR_PIPE_NOT_CONNECTED: *error = EPIPE; break;
    case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL: *error = ENOSPC; break;
    default: *error = EIO; break;
    }
    return -1;
#else
    const ssize_t n = write(fd, data, size);
    *error = n < 0 ? errno : 0;
    return n;
#endif
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
        int failure = 0;
        const long n = WriteSome(fd_, buffer_ + done, used_ - done, &failure);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n < 0 && failure == EINTR)
            continue;
        else
            error_ = n < 0 ? failure : EIO;
    }
    written_ += done;
    used_ = 0;
    return error_ == 0;
}

}  // namespace hsvconv
