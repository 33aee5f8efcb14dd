/*
 * hsvconv's requests and conversions: parsing words into requests, the
 * engine call per direction, and the exhaustive tables.
 */
#include "cli/conversions.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/conversion.h"
#include "rgbhsv.h"

namespace hsvconv {
namespace {

// A component 0..255 written as decimal digits, without a sign.
bool ParseComponent(const char *word, int *value, char *why, std::size_t size)
{
    int n = 0;
    const char *p = word;
    for (; *p >= '0' && *p <= '9'; p++)
        if (n <= 255) n = n * 10 + (*p - '0');
    if (p != word && *p == '\0' && n <= 255) {
        *value = n;
        return true;
    }
    char shown[32];
    Quote(word, shown, sizeof shown);
    if (word[0] == '-' || word[0] == '+')
        std::snprintf(why, size, "'%s' has a sign (a value is digits alone, 0..255)", shown);
    else if (p == word || *p != '\0')
        std::snprintf(why, size, "'%s' is not a number", shown);
    else
        std::snprintf(why, size, "'%s' is outside 0..255", shown);
    return false;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseHex(const char *word, Request *request, char *why, std::size_t size)
{
    int value[6];
    std::size_t n = 0;
    for (const char *p = word + 1; *p && n < 7; p++, n++)
        if (n < 6) value[n] = HexDigit(*p);
    bool ok = n == 6;
    for (std::size_t i = 0; ok && i < 6; i++) ok = value[i] >= 0;
    if (!ok) {
        char shown[32];
        Quote(word, shown, sizeof shown);
        std::snprintf(why, size, "'%s' is not a colour of the form #rrggbb", shown);
        return false;
    }
    request->a = value[0] * 16 + value[1];
    request->b = value[2] * 16 + value[3];
    request->c = value[4] * 16 + value[5];
    return true;
}

}  // namespace

void Quote(const char *word, char *out, std::size_t size)
{
    std::size_t n = 0;
    for (const char *p = word; *p && n + 5 < size; p++) {
        if (p - word == 24) {
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

std::string QuoteName(const char *name)
{
    std::string out;
    const auto *p = reinterpret_cast<const unsigned char *>(name);
    while (*p) {
        const int extra = *p < 0x80 ? 0 : (*p & 0xE0) == 0xC0 ? 1 : (*p & 0xF0) == 0xE0 ? 2 : (*p & 0xF8) == 0xF0 ? 3 : -1;
        unsigned long c = extra <= 0 ? *p : *p & (0x3Fu >> extra);
        int k = 1;
        for (; extra > 0 && k <= extra && (p[k] & 0xC0) == 0x80; k++) c = c << 6 | (p[k] & 0x3F);
        const bool whole = extra >= 0 && k > extra;
        const bool control = c < 0x20 || (c >= 0x7F && c < 0xA0);
        if (!whole || control) {
            out += '?';
            p++;
            continue;
        }
        out.append(reinterpret_cast<const char *>(p), static_cast<std::size_t>(extra) + 1);
        p += extra + 1;
    }
    return out;
}

bool ParseDirection(const char *word, Direction *direction)
{
    // Compared by hand: this runs once a stream line, and strcmp's call
    // costs more than the comparison.
    auto is = [word](const char *name) {
        return word[0] == name[0] && word[1] == name[1] && word[2] == name[2] && word[3] == '\0';
    };
    if (is("rgb"))
        *direction = Direction::kRgbToHsv;
    else if (is("hsv"))
        *direction = Direction::kHsvToRgb;
    else
        return false;
    return true;
}

bool ParseRequest(const char *const *words, std::size_t count, Request *request, char *why, std::size_t size)
{
    if (!ParseDirection(words[0], &request->direction)) {
        char shown[32];
        Quote(words[0], shown, sizeof shown);
        std::snprintf(why, size, "unknown word '%s' (expected rgb or hsv)", shown);
        return false;
    }
    const bool from_rgb = request->direction == Direction::kRgbToHsv;
    if (from_rgb && count == 2 && words[1][0] == '#') return ParseHex(words[1], request, why, size);
    if (count != 4) {
        std::snprintf(why, size, "%s takes three values%s, got %zu", words[0], from_rgb ? " or one #rrggbb" : "",
                      count - 1);
        // Six hex digits alone were meant as a hex colour.
        if (from_rgb && count == 2 && std::strlen(words[1]) == 6 && std::strspn(words[1], "0123456789abcdefABCDEF") == 6) {
            const std::size_t used = std::strlen(why);
            std::snprintf(why + used, size - used, "; a hex colour is written " HSVCONV_QUOTE "#%s" HSVCONV_QUOTE,
                          words[1]);
        }
        return false;
    }
    return ParseComponent(words[1], &request->a, why, size) && ParseComponent(words[2], &request->b, why, size) &&
           ParseComponent(words[3], &request->c, why, size);
}

void Convert(Direction direction, int a, int b, int c, int *x, int *y, int *z)
{
    if (direction == Direction::kRgbToHsv)
        RgbToHsv(a, b, c, x, y, z);
    else
        HsvToRgb(a, b, c, x, y, z);
}

void WriteResult(const Request &request, bool hex, Output &out)
{
    int x = 0, y = 0, z = 0;
    Convert(request.direction, request.a, request.b, request.c, &x, &y, &z);
    if (!hex || request.direction != Direction::kHsvToRgb) {
        out.PutTriple(x, y, z, '\n');
        return;
    }
    static const char kDigits[] = "0123456789abcdef";
    const char text[] = {'#', kDigits[x >> 4 & 15], kDigits[x & 15], kDigits[y >> 4 & 15], kDigits[y & 15],
                         kDigits[z >> 4 & 15], kDigits[z & 15], '\n'};
    out.PutText(text, sizeof text);
}

// The table a block of 65,536 inputs at a time, each block converted at
// once by the library, whose every result is the engine's.
bool WriteTable(Direction direction, Output &out)
{
    std::vector<uint8_t> in(3 * 65536), result(3 * 65536);
    for (int first = 0; first < 256; first++) {
        for (size_t i = 0; i < 65536; i++) {
            in[3 * i] = static_cast<uint8_t>(first);
            in[3 * i + 1] = static_cast<uint8_t>(i >> 8);
            in[3 * i + 2] = static_cast<uint8_t>(i);
        }
        (direction == Direction::kRgbToHsv ? rgbhsv_rgb_to_hsv : rgbhsv_hsv_to_rgb)(in.data(), result.data(), 65536);
        for (size_t i = 0; i < 65536; i++) {
            out.PutLine(first, in[3 * i + 1], in[3 * i + 2], result[3 * i], result[3 * i + 1], result[3 * i + 2]);
            if ((i & 255) == 255 && out.Failed()) return false;
        }
    }
    return out.Flush();
}

}  // namespace hsvconv
