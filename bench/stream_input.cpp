/*
 * Writes the request stream that times hsvconv's stream mode: the same
 * lines on every run (a seeded generator), conversions of both kinds with
 * some hex colours, and a few comments and blank lines among them.
 * usage: stream_input [LINES]   (default 10,000,000)
 */
#include <cstdint>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    const long lines = argc > 1 ? std::atol(argv[1]) : 10000000;
    uint32_t state = 0x2545F491u;
    auto next = [&state] {
        // xorshift32: fixed, and the same on every machine
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    for (long i = 0; i < lines; i++) {
        const uint32_t r = next();
        const unsigned a = r & 0xFF, b = r >> 8 & 0xFF, c = r >> 16 & 0xFF;
        switch ((r >> 24) % 20) {
        case 0: std::fputs("# a comment\n", stdout); break;
        case 1: std::fputs("\n", stdout); break;
        case 2: case 3: std::printf("rgb #%02x%02x%02x\n", a, b, c); break;
        case 4: case 5: case 6: case 7: case 8: case 9: case 10: case 11: std::printf("hsv %u %u %u\n", a, b, c); break;
        default: std::printf("rgb %u %u %u\n", a, b, c); break;
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
