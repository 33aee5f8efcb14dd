// PNG files of 8-bit RGBA pixels, deflated by zlib, for the icon tools.
#ifndef RGBHSV_RESOURCES_PNG_H
#define RGBHSV_RESOURCES_PNG_H

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace png {

using Bytes = std::vector<uint8_t>;

inline void Put32BigEndian(Bytes *out, uint32_t v)
{
    out->insert(out->end(), {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16),
                             static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)});
}

inline void PutChunk(Bytes *file, const char type[4], const Bytes &data)
{
    Put32BigEndian(file, static_cast<uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    file->insert(file->end(), body.begin(), body.end());
    Put32BigEndian(file, static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

// Writes `rgba` (width x height pixels, rows top first) as a PNG file.
// False if it cannot be written.
inline bool Write(const char *path, unsigned width, unsigned height, const Bytes &rgba)
{
    // Each row behind its filter byte: Sub, which turns the icon's smooth
    // gradients into small numbers that deflate well.
    Bytes raw;
    const size_t stride = static_cast<size_t>(width) * 4;
    for (unsigned y = 0; y < height; y++) {
        raw.push_back(1);
        const uint8_t *row = rgba.data() + y * stride;
        for (size_t i = 0; i < stride; i++) raw.push_back(static_cast<uint8_t>(row[i] - (i >= 4 ? row[i - 4] : 0)));
    }
    uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packed_size);
    if (compress2(packed.data(), &packed_size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) return false;
    packed.resize(packed_size);

    Bytes file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    Put32BigEndian(&header, width);
    Put32BigEndian(&header, height);
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, filters, no interlace
    PutChunk(&file, "IHDR", header);
    PutChunk(&file, "IDAT", packed);
    PutChunk(&file, "IEND", {});
    FILE *out = std::fopen(path, "wb");
    return out && std::fwrite(file.data(), 1, file.size(), out) == file.size() && std::fclose(out) == 0;
}

}  // namespace png

#endif
