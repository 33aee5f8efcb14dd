// Bytes made small and written into the page's script: deflated in zlib's
// format, as the browser's DecompressionStream('deflate') reads them, then
// in base64. Shared by the build's tools that write into the page.
#ifndef RGBHSV_TOOLS_PACKED_TEXT_H
#define RGBHSV_TOOLS_PACKED_TEXT_H

#include <zlib.h>

#include <string>

namespace packed {

inline std::string Base64(const std::string &bytes)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 2]);
        out += digits[n >> 18 & 63];
        out += digits[n >> 12 & 63];
        out += i + 1 < bytes.size() ? digits[n >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? digits[n & 63] : '=';
    }
    return out;
}

// The bytes of base64 `text`; false where it is not base64.
inline bool FromBase64(const std::string &text, std::string *out)
{
    out->clear();
    unsigned n = 0;
    int bits = 0;
    for (char c : text) {
        int v;
        if (c >= 'A' && c <= 'Z') v = c - 'A';
        else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
        else if (c >= '0' && c <= '9') v = c - '0' + 52;
        else if (c == '+') v = 62;
        else if (c == '/') v = 63;
        else if (c == '=') break;
        else return false;
        n = n << 6 | static_cast<unsigned>(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out->push_back(static_cast<char>(n >> bits & 0xFF));
        }
    }
    return true;
}

// Deflated at zlib's best; false where zlib fails.
inline bool Deflate(const std::string &bytes, std::string *out)
{
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    out->resize(size);
    if (compress2(reinterpret_cast<Bytef *>(out->data()), &size, reinterpret_cast<const Bytef *>(bytes.data()),
                  static_cast<uLong>(bytes.size()), Z_BEST_COMPRESSION) != Z_OK)
        return false;
    out->resize(size);
    return true;
}

}  // namespace packed

#endif
