#pragma once
// Writes RIFF WAVE files: a "fmt " chunk with the 18-byte format record and any
// format-specific bytes after it (a compressed format's coefficients), optional
// chunks between it and "data", the data, and optional chunks after it. Used by
// the tests and the data-set generator.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/wave_format.h"

namespace morna::tools {

using Bytes = std::vector<uint8_t>;

struct WaveLayout {
    // 16 writes the short PCM form (no extra-size field); otherwise the 18 bytes
    // and the extra bytes, whose count goes into the extra-size field.
    bool shortPcmFormat = false;
    Bytes extra;
    std::vector<std::pair<std::string, Bytes>> before;  // between "fmt " and "data"
    std::vector<std::pair<std::string, Bytes>> after;   // behind "data"
};

// One chunk: id, little-endian size, the bytes and a pad byte for an odd size.
Bytes RiffChunkBytes(const std::string& id, const Bytes& data);
Bytes WaveFileBytes(const platform::WaveFormat& format, const Bytes& data, const WaveLayout& layout = {});
Bytes PcmWaveFileBytes(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& data);
// Writes bytes to a POSIX path; false on failure.
bool SaveBytes(const std::string& path, const Bytes& bytes);

}  // namespace morna::tools
