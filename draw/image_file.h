#pragma once
// The stored layouts of the image files that the system writes and reads.
//
// tvg: a header of six 32-bit little-endian words (magic "tvg\0", width, height, packed flag
// 0/1, unpacked size = width x height x 4, stored size = the bytes after the header), then the
// ARGB8888 pixels (bytes B, G, R, A), rows top down, raw or as one LZSS stream.
// BMP: 14-byte file header, 40-byte info header, 24-bit rows bottom-up, each padded with zero
// bytes to a multiple of 4.
#include <cstdint>

namespace tovarineGameSDK3rd::Draw {

constexpr uint32_t kTvgHeaderSize = 24;
constexpr uint32_t kBmpFileHeaderSize = 14;
constexpr uint32_t kBmpHeadersSize = 54;  // file header and 40-byte info header
constexpr int32_t kBmpPixelsPerMetre = 3780;

// Bytes of one 24-bit BMP row of width pixels.
constexpr uint64_t BmpStride24(uint64_t width) { return (3 * width + 3) & ~uint64_t{3}; }

}  // namespace tovarineGameSDK3rd::Draw
