#pragma once
// The 18-byte audio format record that wave files, streams and sound buffers
// exchange. It is stored packed and little-endian in files; in memory it is a
// plain struct that is read and written field by field, never by casting file
// bytes, so no record is ever read past the bytes that hold it.
#include <cstddef>
#include <cstdint>

namespace morna::platform {

inline constexpr uint16_t kWaveFormatPcm = 1;
inline constexpr std::size_t kWaveFormatSize = 18;

struct WaveFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t extraSize = 0;  // bytes of format-specific data after the 18
};

// Reads the record from up to n bytes; missing bytes read as 0.
WaveFormat ReadWaveFormat(const uint8_t* bytes, std::size_t n);
// Writes the 18 bytes.
void WriteWaveFormat(const WaveFormat& format, uint8_t* out);

// A PCM record: block align and average bytes per second follow from the rest.
WaveFormat PcmWaveFormat(uint16_t channels, uint32_t samplesPerSec, uint16_t bitsPerSample);

inline uint16_t LoadLE16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t LoadLE32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
inline void StoreLE16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreLE32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace morna::platform
