// Test helper: small image files built byte by byte, and reading a file back.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace morna::test {

inline void PutLe(std::vector<uint8_t>& v, uint32_t x, int bytes) {
    for (int i = 0; i < bytes; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

// A BMP file: headers, optional colour masks, colour table (0x00RRGGBB each), bits.
inline std::vector<uint8_t> MakeBmp(int32_t w, int32_t h, int bitCount, uint32_t compression,
                                    const std::vector<uint32_t>& table, const std::vector<uint8_t>& bits,
                                    const std::vector<uint32_t>& masks = {}) {
    const uint32_t offset = 54 + static_cast<uint32_t>(masks.size() * 4 + table.size() * 4);
    std::vector<uint8_t> f = {'B', 'M'};
    PutLe(f, offset + static_cast<uint32_t>(bits.size()), 4);
    PutLe(f, 0, 4);
    PutLe(f, offset, 4);
    PutLe(f, 40, 4);
    PutLe(f, static_cast<uint32_t>(w), 4);
    PutLe(f, static_cast<uint32_t>(h), 4);
    PutLe(f, 1, 2);
    PutLe(f, static_cast<uint32_t>(bitCount), 2);
    PutLe(f, compression, 4);
    PutLe(f, static_cast<uint32_t>(bits.size()), 4);
    PutLe(f, 3780, 4);
    PutLe(f, 3780, 4);
    PutLe(f, static_cast<uint32_t>(table.size()), 4);
    PutLe(f, 0, 4);
    for (uint32_t m : masks) PutLe(f, m, 4);
    for (uint32_t c : table) PutLe(f, c, 4);
    f.insert(f.end(), bits.begin(), bits.end());
    return f;
}

inline std::vector<uint8_t> MakeTvg(uint32_t w, uint32_t h, uint32_t packed, uint32_t unpacked,
                                    const std::vector<uint8_t>& data) {
    std::vector<uint8_t> f = {'t', 'v', 'g', 0};
    PutLe(f, w, 4);
    PutLe(f, h, 4);
    PutLe(f, packed, 4);
    PutLe(f, unpacked, 4);
    PutLe(f, static_cast<uint32_t>(data.size()), 4);
    f.insert(f.end(), data.begin(), data.end());
    return f;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace morna::test
